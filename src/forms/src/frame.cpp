#include "forms/frame.h"

#include <QMouseEvent>

namespace forms {

Frame::Frame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void Frame::mousePressEvent(QMouseEvent* event) {
    // A press on the frame is the frame's, never its container's.
    event->accept();
    RaiseMouseDown(MouseDown, this, event);
}

}  // namespace forms
