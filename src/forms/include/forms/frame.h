#pragma once

#include <QGroupBox>

#include "forms/mouse.h"

namespace forms {

// A frame with a caption. Its children are placed relative to its top-left corner.
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
};

}  // namespace forms
