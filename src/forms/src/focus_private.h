#pragma once

class QWidget;

namespace forms {
class Form;
class ModalForm;
}  // namespace forms

namespace forms::detail {

// Starts watching the application's focus changes (once; needs a QApplication).
void InstallFocusTracker();

// The next focus inside form is its first one since it was shown: it raises GotFocus.
void MarkFreshlyShown(ModalForm* form);

// form has just been enabled: gives the focus back inside it when its window lost it (see
// focus.h).
void FormEnabled(Form* form);

// Code disabled `place`, the control holding the focus of form's window: parks the focus on
// form (see focus.h).
void Park(Form* form, QWidget* place);

// Where Tab goes on from while the focus is parked on form: the control that last held it.
QWidget* ParkedPlace(const Form* form);

// True when a press on control should do nothing because the focus it was to take went
// elsewhere (a LostFocus handler moved it): the press is lost, as the platform loses it.
bool FocusRefused(const QWidget* control);

// Marks a window whose focus the policy ignores (message boxes).
inline constexpr const char* kIgnoredWindowProperty = "zonitra_forms_ignore_focus";

}  // namespace forms::detail
