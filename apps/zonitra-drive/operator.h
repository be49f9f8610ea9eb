#pragma once
// What an operator does with the keyboard and the mouse, done with real Qt key
// and mouse events on the real widgets. Every action ends when the application
// is idle again. An action the operator could not do (a hidden or disabled
// control, a control behind an open dialog, no open menu...) throws
// OperatorError saying why, before any event is sent.

#include <QPoint>
#include <QString>
#include <stdexcept>

#include "script.h"

class QWidget;

namespace drive {

class OperatorError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The display name of a widget for messages: its object name.
QString NameOf(const QWidget* widget);

// Clicks into a text box or list (the caret then goes to the end of its text,
// nothing selected); a button is pressed and released outside it, which gives
// it the focus without clicking it.
void Focus(QWidget* control);
// Focuses the control unless it holds the focus already.
void FocusIfNeeded(QWidget* control);
// Ctrl+A in the control, focused first if needed.
void SelectAll(QWidget* control);
// Types `text` character by character at the caret.
void Type(QWidget* control, const QString& text);
void PressKey(QWidget* control, KeyName key);
// Select all, then Delete.
void Clear(QWidget* control);
// A click at the centre of the widget, received by whatever shows there. A
// frame or a form whose centre a control covers is clicked at the nearest point
// of its own surface instead, so that it receives the press itself.
void Click(QWidget* widget, Qt::MouseButton button);
// Opens the list with the mouse (on its arrow) and clicks entry `index`.
void Choose(QWidget* list, int index);
// Clicks the entry named `name` of the pop-up menu open now.
void ChooseMenuEntry(const QString& name);
// Presses the close box of the window.
void CloseWindow(QWidget* window);

// Lets pending events run until the application is idle.
void Settle();

}  // namespace drive
