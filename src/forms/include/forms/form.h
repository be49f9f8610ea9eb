#pragma once

#include <QWidget>

#include <functional>
#include <map>
#include <vector>

#include "forms/mouse.h"

namespace forms {

// A window or component surface that owns a tab order. Tab and Shift+Tab inside it move the
// focus through the registered controls by increasing (decreasing) tab index, skipping
// controls that are hidden, disabled (themselves or through a parent) or take no focus,
// and wrapping around. Unregistered widgets are never reached by Tab.
//
// EnterFocus runs when the focus enters the form from outside (see focus.h for the whole
// policy); MouseDown on a press on the form's own background.
class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~Form() override;

    // Registers control at tabIndex (a number of the screen model; gaps are fine). A control
    // registered again moves; two controls with one index keep their registration order.
    void SetTabIndex(QWidget* control, int tabIndex);
    // -1 when control is not registered.
    int TabIndex(const QWidget* control) const;
    // Registered controls in tab order.
    std::vector<QWidget*> TabOrder() const;

    std::function<void()> EnterFocus;
    MouseHandler MouseDown;

protected:
    bool focusNextPrevChild(bool next) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // The registered control that is or holds `focus`, else nullptr.
    QWidget* RegisteredHolder(QWidget* focus) const;

    struct Entry {
        int index;
        long serial;
    };
    std::map<const QWidget*, Entry> tabs_;
    long serial_ = 0;
};

// Closes the top-level window holding widget, as the platform unloads a host form (its
// close handling runs). Returns whether it closed.
bool UnloadWindowOf(QWidget* widget);

}  // namespace forms
