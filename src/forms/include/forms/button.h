#pragma once

#include <QPushButton>

#include <functional>

#include "forms/focus.h"

namespace forms {

// A command button. Click runs on a left click, on Space and on Enter while it has the
// focus. It is never a dialog's default button: Enter elsewhere does not press it.
class Button : public QPushButton, public FocusEvents {
    Q_OBJECT
public:
    explicit Button(const QString& caption = {}, QWidget* parent = nullptr);

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }

    std::function<void()> Click;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace forms
