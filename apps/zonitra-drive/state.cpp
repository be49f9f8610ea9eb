#include "state.h"

#include <algorithm>

#include <forms/combobox.h>
#include <forms/popupmenu.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace drive {
namespace {

QString TextOf(const QWidget* widget) {
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) return combo->currentText();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (const auto* frame = qobject_cast<const QGroupBox*>(widget)) return frame->title();
    if (const auto* menu = qobject_cast<const QMenu*>(widget)) return menu->title();
    return {};
}

constexpr int kMaxItemsShown = 1000;

Json WidgetState(QWidget* form, QWidget* widget) {
    Json state{{"text", ToStd(TextOf(widget))},
               {"enabled", widget->isEnabled()},
               {"visible", widget->isVisibleTo(form->window())}};
    if (qobject_cast<const QMenu*>(widget)) state["visible"] = widget->isVisible();
    if (const auto* box = qobject_cast<const QCheckBox*>(widget))
        state["checked"] = box->isChecked();
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        // A list refilled with an empty prefix may hold millions of entries: the
        // first kMaxItemsShown are printed, the true count always.
        Json items = Json::array();
        const int shown = std::min(combo->count(), kMaxItemsShown);
        for (int i = 0; i < shown; ++i) items.push_back(ToStd(combo->itemText(i)));
        state["items"] = std::move(items);
        if (combo->count() > kMaxItemsShown) state["itemCount"] = combo->count();
    }
    return state;
}

Json ActionState(const QAction* action) {
    return Json{{"text", ToStd(action->text())},
                {"enabled", action->isEnabled()},
                {"visible", action->isVisible()}};
}

// The widget or menu entry of that name inside form.
Json StateOf(QWidget* form, const QString& name, bool& found) {
    found = true;
    if (auto* widget = form->findChild<QWidget*>(name)) return WidgetState(form, widget);
    if (auto* action = form->findChild<QAction*>(name)) return ActionState(action);
    found = false;
    return {};
}

}  // namespace

std::string ToStd(const QString& text) {
    return text.toStdString();
}

Json ControlsOf(QWidget* form, const std::vector<QString>& order) {
    Json controls = Json::object();
    for (const QString& name : order) {
        bool found = false;
        Json state = StateOf(form, name, found);
        if (found) controls[ToStd(name)] = std::move(state);
    }
    return controls;
}

Json ControlsOf(QWidget* form) {
    std::vector<QString> order;
    for (QWidget* widget : form->findChildren<QWidget*>())
        if (!widget->objectName().isEmpty() && !widget->objectName().startsWith("qt_"))
            order.push_back(widget->objectName());
    for (QAction* action : form->findChildren<QAction*>())
        if (!action->objectName().isEmpty()) order.push_back(action->objectName());
    return ControlsOf(form, order);
}

}  // namespace drive
