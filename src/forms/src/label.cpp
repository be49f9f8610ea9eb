#include "forms/label.h"

#include <QMouseEvent>

namespace forms {

Label::Label(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void Label::mousePressEvent(QMouseEvent* event) {
    // A label is a control of its own: its presses do not fall through to the frame.
    event->accept();
}

}  // namespace forms
