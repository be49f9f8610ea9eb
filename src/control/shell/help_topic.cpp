#include "control/help_topic.h"

#include "help/help_viewer.h"

namespace zonitra {

void ShowHelpTopic(SharedState& state, const QString& page, const QString& letter,
                   const QString& title) {
    help::HelpViewer& viewer = state.Help();
    // The viewer is handed the host objects again at every request.
    viewer.SetClient(state.client);
    viewer.SetDatabase(state.database);
    viewer.ShowTopic(page, letter, title, QString());
}

}  // namespace zonitra
