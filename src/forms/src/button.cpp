#include "forms/button.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "focus_private.h"
#include "forms/handler.h"

namespace forms {

Button::Button(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setAutoDefault(false);
    setDefault(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
    connect(this, &QPushButton::clicked, this, [this] { Raise(this, "Click", Click); });
}

void Button::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier) {
        // Enter presses the focused button, as Space does.
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void Button::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || detail::FocusRefused(this)) {
        // Other buttons press nothing and do not reach the frame underneath.
        event->accept();
        return;
    }
    QPushButton::mousePressEvent(event);
}

}  // namespace forms
