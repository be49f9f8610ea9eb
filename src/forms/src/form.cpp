#include "forms/form.h"

#include <QApplication>
#include <QMouseEvent>

#include <algorithm>

#include "focus_private.h"

namespace forms {
namespace {

bool CanTab(const QWidget* control) {
    return control->isVisible() && control->isEnabled() &&
           (control->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

}  // namespace

Form::Form(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {
    detail::InstallFocusTracker();
    setContextMenuPolicy(Qt::PreventContextMenu);
}

Form::~Form() {
    // Children outlive this body: their destruction must not reach the map any more.
    for (const auto& [control, entry] : tabs_) {
        disconnect(control, &QObject::destroyed, this, nullptr);
    }
}

void Form::SetTabIndex(QWidget* control, int tabIndex) {
    const bool known = tabs_.count(control) > 0;
    tabs_[control] = Entry{tabIndex, serial_++};
    if (!known)
        connect(control, &QObject::destroyed, this, [this, control] { tabs_.erase(control); });
}

int Form::TabIndex(const QWidget* control) const {
    const auto it = tabs_.find(control);
    return it == tabs_.end() ? -1 : it->second.index;
}

std::vector<QWidget*> Form::TabOrder() const {
    std::vector<std::pair<Entry, QWidget*>> entries;
    for (const auto& [control, entry] : tabs_) {
        entries.emplace_back(entry, const_cast<QWidget*>(control));
    }
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        if (a.first.index != b.first.index) return a.first.index < b.first.index;
        return a.first.serial < b.first.serial;
    });
    std::vector<QWidget*> order;
    for (const auto& e : entries) order.push_back(e.second);
    return order;
}

QWidget* Form::RegisteredHolder(QWidget* focus) const {
    // A focus proxy (the edit of a drop-down list) stands for its owner.
    while (focus && !tabs_.count(focus) && focus != this && isAncestorOf(focus)) {
        focus = focus->parentWidget();
    }
    return focus && tabs_.count(focus) ? focus : nullptr;
}

bool Form::focusNextPrevChild(bool next) {
    const std::vector<QWidget*> order = TabOrder();
    if (order.empty()) return QWidget::focusNextPrevChild(next);
    // Disabled with the focus inside: Qt then clears the focus, as the policy wants.
    if (!isEnabled()) return false;
    // Qt asks for the next control when code disables the one holding the focus: the
    // platform moves nothing then, so the focus is parked here.
    if (QWidget* held = RegisteredHolder(window()->focusWidget()); held && !held->isEnabled()) {
        detail::Park(this, held);
        return true;
    }
    QWidget* focus = RegisteredHolder(QApplication::focusWidget());
    if (!focus && QApplication::focusWidget() == this) focus = detail::ParkedPlace(this);
    const auto n = static_cast<std::ptrdiff_t>(order.size());
    std::ptrdiff_t start = std::find(order.begin(), order.end(), focus) - order.begin();
    if (start == n) start = next ? -1 : n;  // nothing of ours has the focus
    for (std::ptrdiff_t step = 1; step <= n; ++step) {
        const std::ptrdiff_t i = ((start + (next ? step : -step)) % n + n) % n;
        QWidget* candidate = order[static_cast<std::size_t>(i)];
        if (CanTab(candidate)) {
            candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return true;  // nothing can take the focus: it stays where it is
}

void Form::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && isEnabled()) detail::FormEnabled(this);
}

void Form::mousePressEvent(QMouseEvent* event) {
    event->accept();
    RaiseMouseDown(MouseDown, this, event);
}

bool UnloadWindowOf(QWidget* widget) {
    if (!widget) return false;
    return widget->window()->close();
}

}  // namespace forms
