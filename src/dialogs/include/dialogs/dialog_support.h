#pragma once
// What the sector dialogs share: the operator's message boxes, handlers run
// with errors resumed, and the "Aide" pop-up menu with its help request.

#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string_view>

#include "forms/form.h"
#include "forms/popupmenu.h"

namespace zonitra {

struct SharedState;

namespace dialogs {

inline constexpr const char* kMessageTitle = "Message ORVANIS";

// Shows a message box titled "Message ORVANIS"; style as in forms/msgbox.h.
int Message(const QString& text, int style);

// Runs call; returns 0 when it completed, else the error number of its failure
// (a kelmor::Error's number, else 0x80004005), which goes no further. Failures
// other than the not-found error of a probe are logged with `where`.
std::int32_t Resumed(std::string_view where, const std::function<void()>& call) noexcept;

// Runs the steps in order; a step that fails is logged and skipped, and the
// next one runs (a procedure called from a step stops at its own failure).
void ResumeSteps(std::string_view where,
                 std::initializer_list<std::function<void()>> steps) noexcept;

// The "Aide" pop-up of a dialog, with its one entry Mnu_Sommaire captioned
// "Aide_ORVANIS". Both are children of the dialog, named for the scripted
// operator; the dialog connects them to its own handlers.
struct HelpMenu {
    forms::PopupMenu* Mnu_Aide = nullptr;
    forms::MenuEntry* Mnu_Sommaire = nullptr;
};
HelpMenu AddHelpMenu(forms::Form& dialog);

// A dialog's Form_MouseDown: with the right button (2), enables the menu and
// its entry and opens the menu where the mouse was pressed; any other button
// does nothing.
void PopupHelpMenu(const HelpMenu& menu, std::int16_t button);

// Creates the component's help viewer on first use, hands it the client and
// database objects again, then shows `page` in the window of `letter` under
// `title`. The viewer's errors propagate.
void ShowHelpTopic(SharedState& state, const QString& page, const QString& letter,
                   const QString& title);

}  // namespace dialogs
}  // namespace zonitra
