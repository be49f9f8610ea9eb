#pragma once
// The help request shared by the editor and its dialogs.

#include <QString>

#include "control/shared_state.h"

namespace zonitra {

// Creates the component's help viewer on first use, hands it the client and
// database objects again, then shows the page in the window of `letter`
// ("P" main, "S" secondary) under `title`. The viewer's errors propagate.
void ShowHelpTopic(SharedState& state, const QString& page, const QString& letter,
                   const QString& title);

}  // namespace zonitra
