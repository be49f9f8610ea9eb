#pragma once

#include <functional>

class QWidget;

namespace forms {

// Focus events of a control. Every forms control that can take the focus inherits this.
//
// The focus policy, in one place (implemented by the focus tracker in focus.cpp, which
// watches the application's focus changes):
// - When the focus moves between two controls of the same window (Tab, Shift+Tab, a mouse
//   click, code calling setFocus or forms::SetFocus), LostFocus of the control that loses it
//   runs first, then GotFocus of the one that gains it. If LostFocus moves the focus
//   elsewhere, the control it was going to gets no GotFocus; the new target gets it.
// - The first focus of the application (or after the widget that had it was destroyed),
//   and the first focus inside a ModalForm just shown, raise GotFocus on the control that
//   receives it.
// - Focus leaving for, or coming back from, another window raises neither event on the
//   control underneath: a message box, a modal form, a popup list or menu opening and closing
//   leaves it untouched. It keeps its focus for our purposes, so leaving it later by Tab or
//   click raises its LostFocus as usual.
// - Message boxes, popup lists and menus are invisible to the policy: focus passing through
//   them is as if it had never moved.
// - Form::EnterFocus runs when the focus enters a Form from a widget outside it: on the
//   first focus, from another window (the return from a modal form opened from it included),
//   or from a sibling widget of the host. It runs after LostFocus of the control left (same
//   window only) and before GotFocus of the control entered.
// - A mouse press on a button or a list whose focus a LostFocus handler took back does
//   nothing: no Click, no open list. Returning from a message box
//   does not raise it, since the focus never left as far as the policy is concerned.
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

// The control that holds the focus for the policy above (the last control focused outside
// message boxes and popups), or nullptr.
QWidget* FocusedControl();

}  // namespace forms
