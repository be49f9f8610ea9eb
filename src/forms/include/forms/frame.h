#pragma once

#include <QGroupBox>

#include "forms/mouse.h"

namespace forms {

// A frame with a caption, drawn as the platform draws it: an etched border whose top line
// runs through the middle of the caption, the caption a little right of the left edge.
// Its children are placed relative to its top-left corner, so a control placed near the
// top lies inside the border, below the caption's line.
// MouseDown runs on a press on the frame itself (not on a control inside it).
class Frame : public QGroupBox {
    Q_OBJECT
public:
    explicit Frame(const QString& caption = {}, QWidget* parent = nullptr);

    QString Caption() const { return title(); }
    void SetCaption(const QString& caption) { setTitle(caption); }

    MouseHandler MouseDown;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace forms
