#pragma once

#include <functional>

class QWidget;

namespace forms {

// Focus events of a control. Every forms control that can take the focus inherits this.
//
// The focus policy, in one place (implemented by the focus tracker in focus.cpp, which
// watches the application's focus changes). Each window keeps the control holding its
// focus, as if it were alone:
// - When the focus moves to another control of a window (Tab, Shift+Tab, a mouse click,
//   code calling setFocus or forms::SetFocus), LostFocus of the window's previous control
//   runs first, then GotFocus of the new one. If LostFocus moves the focus elsewhere, the
//   control it was going to gets no event; the new target gets GotFocus.
// - The first focus of a window, and the first focus of a ModalForm each time it is shown,
//   raise GotFocus only.
// - Focus going to another window and coming back to the same control raises nothing on it:
//   a message box, a modal form, a help window opening and closing leave the control
//   underneath untouched. Coming back to another control of the window (a click on it)
//   raises LostFocus of the old one and GotFocus of the new one.
// - Message boxes, popup lists and menus are invisible to the policy: focus passing through
//   them is as if it had never moved.
// - Form::EnterFocus runs when the focus enters a Form from a widget outside it: on the
//   first focus, from another window (the return from a modal form opened from it included),
//   or from a sibling widget of the host. It runs after LostFocus of the control left and
//   before GotFocus of the control entered. Returning from a message box does not raise it,
//   since the focus never left as far as the policy is concerned.
// - A mouse press on a button or a list whose focus a LostFocus handler took back does
//   nothing: no Click, no open list.
// - A window closing after a modal form or a message box gives the focus back to the window
//   that was active when it opened (UiService does it, as window managers do).
// - Code disabling the control that holds its window's focus (the control itself, or a frame
//   around it) moves the focus nowhere, as the platform does: the focus is parked on the
//   control's Form. Nothing runs, then or later, for the disabled control (no LostFocus),
//   keys reach no control, and FocusedControl() is the Form. The next Tab or Shift+Tab goes on
//   from the disabled control's place in the tab order; a click or code moving the focus to a
//   control raises that control's GotFocus only.
// - Disabling a Form takes the focus from the control inside it, silently (no LostFocus).
//   When the Form is enabled again while its window is active and no widget of that window
//   has the focus (typically: a handler disabled the control, showed a modal form, then
//   enabled it again), the control that last had the focus in that Form gets it back at once,
//   inside the call that enabled it (the first of the Form's tab order that can take it when
//   that control is hidden or gone; nothing when the focus was never in the Form). It takes
//   the focus anew: EnterFocus runs when the focus had left the Form meanwhile (a modal form
//   or another window, not a message box), then its GotFocus. A control that was disabled
//   meanwhile does not: the focus is parked at its place, as above (EnterFocus still runs).
// - A handler's exception ends that handler and is reported (see handler.h); the policy
//   carries on with the next event as if it had returned.
class FocusEvents {
public:
    FocusEvents();
    virtual ~FocusEvents();
    FocusEvents(const FocusEvents&) = delete;
    FocusEvents& operator=(const FocusEvents&) = delete;

    std::function<void()> GotFocus;
    std::function<void()> LostFocus;
};

// Moves the focus to control as code does (the events above follow). Returns false and
// prints a warning naming the control when it cannot take the focus (hidden, disabled, no
// focus policy), as the platform refuses it.
bool SetFocus(QWidget* control);

// True when the operator could act on widget now: visible, enabled (its parents included)
// and not behind a modal form.
bool CanOperate(const QWidget* widget);

// The control that last took the focus outside message boxes and popups (the Form while the
// focus is parked on it), or nullptr.
QWidget* FocusedControl();

}  // namespace forms
