#pragma once

#include <QColor>
#include <QWidget>

namespace forms {

// A straight line between two points given in twips in its parent's coordinates.
// Mouse presses go through it to the widget underneath.
class Line : public QWidget {
    Q_OBJECT
public:
    // Raster-operation codes for DrawMode.
    static constexpr int kNotCopyPen = 4;  // draws the inverse of the pen colour
    static constexpr int kCopyPen = 13;    // draws the pen colour

    explicit Line(QWidget* parent = nullptr);

    void SetEnds(int x1, int y1, int x2, int y2);

    int DrawMode() const { return drawMode_; }
    // Only kCopyPen and kNotCopyPen are drawn; any other value throws std::invalid_argument.
    void SetDrawMode(int mode);

    QColor BorderColor() const { return color_; }
    void SetBorderColor(const QColor& color);

    // The colour actually painted, from the pen colour and the draw mode.
    QColor PaintedColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    int drawMode_ = kCopyPen;
    QColor color_ = Qt::black;
};

}  // namespace forms
