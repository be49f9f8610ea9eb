#include "forms/line.h"

#include <QPainter>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "forms/twips.h"

namespace forms {

Line::Line(QWidget* parent) : QWidget(parent) {
    // The line is drawn on its container, which gets the presses made on it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void Line::SetEnds(int x1, int y1, int x2, int y2) {
    x1_ = TwipsToPixelsX(x1, this);
    y1_ = TwipsToPixelsY(y1, this);
    x2_ = TwipsToPixelsX(x2, this);
    y2_ = TwipsToPixelsY(y2, this);
    const int left = std::min(x1_, x2_);
    const int top = std::min(y1_, y2_);
    setGeometry(left, top, std::abs(x2_ - x1_) + 1, std::abs(y2_ - y1_) + 1);
    update();
}

void Line::SetDrawMode(int mode) {
    if (mode != kCopyPen && mode != kNotCopyPen) {
        throw std::invalid_argument("Line " + objectName().toStdString() +
                                    ": unsupported draw mode " + std::to_string(mode));
    }
    if (mode == drawMode_) return;
    drawMode_ = mode;
    update();
}

void Line::SetBorderColor(const QColor& color) {
    if (color == color_) return;
    color_ = color;
    update();
}

QColor Line::PaintedColor() const {
    if (drawMode_ == kCopyPen) return color_;
    return QColor(255 - color_.red(), 255 - color_.green(), 255 - color_.blue());
}

void Line::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(PaintedColor(), 1));
    const QPoint origin = geometry().topLeft();
    painter.drawLine(QPoint(x1_, y1_) - origin, QPoint(x2_, y2_) - origin);
}

}  // namespace forms
