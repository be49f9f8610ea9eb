#include "operator.h"

#include <forms/combobox.h>
#include <forms/focus.h>
#include <forms/form.h>
#include <forms/idle.h>
#include <forms/popupmenu.h>
#include <forms/textbox.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <optional>

namespace drive {
namespace {

std::string Name(const QWidget* widget) {
    return NameOf(widget).toStdString();
}

// The named forms control that holds `widget` (a list's inner edit belongs to its list).
const QWidget* ControlOf(const QWidget* widget) {
    while (widget && widget->objectName().isEmpty() && !widget->isWindow())
        widget = widget->parentWidget();
    return widget;
}

// Why the operator could not act on widget now, or nothing when they could.
std::optional<std::string> Obstacle(const QWidget* widget) {
    if (!widget->window()->isVisible())
        return Name(widget) + " is not on screen (its window " + Name(widget->window()) +
               " is closed)";
    if (!widget->isVisible()) return Name(widget) + " is hidden";
    if (!widget->isEnabled()) {
        if (widget->testAttribute(Qt::WA_Disabled)) return Name(widget) + " is disabled";
        for (const QWidget* w = widget->parentWidget(); w; w = w->parentWidget())
            if (w->testAttribute(Qt::WA_Disabled))
                return Name(widget) + " is disabled (" + Name(w) + " is disabled)";
        return Name(widget) + " is disabled";
    }
    if (const QWidget* modal = QApplication::activeModalWidget();
        modal && modal != widget->window() && !modal->isAncestorOf(widget))
        return Name(widget) + " is behind the open dialog " + Name(modal);
    return std::nullopt;
}

void RequireOperable(const QWidget* widget) {
    if (auto obstacle = Obstacle(widget)) throw OperatorError(*obstacle);
}

bool IsTextField(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QComboBox*>(widget);
}

void RequireTextField(const QWidget* widget, const char* what) {
    if (!IsTextField(widget))
        throw OperatorError(Name(widget) + " is not a text box or a list: it takes no " + what);
}

// An operator dismisses an open pop-up menu before doing anything else.
void DismissMenu() {
    if (forms::PopupMenu* menu = forms::PopupMenu::Open()) {
        QTest::keyClick(menu, Qt::Key_Escape);
        Settle();
    }
}

// Pressing the mouse in a window that is not the active one activates it
// first, as the window system does (the help windows, for instance, may have
// been activated when they were shown).
void ActivateWindowOf(QWidget* widget) {
    QWidget* window = widget->window();
    if (window->isActiveWindow()) return;
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window, 2000))
        throw OperatorError("the window " + Name(window) + " of " + Name(widget) +
                            " cannot be activated");
    Settle();
}

QLineEdit* EditOf(QWidget* control) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->lineEdit();
    return qobject_cast<QLineEdit*>(control);
}

// The deepest widget at `pos` of `widget`, with the point in its coordinates.
std::pair<QWidget*, QPoint> Target(QWidget* widget, QPoint pos) {
    if (QWidget* child = widget->childAt(pos)) return {child, child->mapFrom(widget, pos)};
    return {widget, pos};
}

// The centre of widget or, when a child covers it, a point of the widget's own
// surface close to it (searched ring by ring around the centre).
QPoint OwnPoint(QWidget* widget) {
    const QPoint centre = widget->rect().center();
    if (!widget->childAt(centre)) return centre;
    const int reach = std::max(widget->width(), widget->height());
    for (int radius = 1; radius <= reach; ++radius) {
        std::optional<QPoint> best;
        double bestDistance = 0;
        for (int dx = -radius; dx <= radius; ++dx) {
            for (int dy = -radius; dy <= radius; ++dy) {
                if (std::max(std::abs(dx), std::abs(dy)) != radius) continue;
                const QPoint p = centre + QPoint(dx, dy);
                if (!widget->rect().contains(p) || widget->childAt(p)) continue;
                const double distance = std::hypot(dx, dy);
                if (!best || distance < bestDistance) best = p, bestDistance = distance;
            }
        }
        if (best) return *best;
    }
    throw OperatorError("no free point of " + Name(widget) + " to click: controls cover it all");
}

// One key event per character: a character outside the Basic Multilingual
// Plane travels as its two UTF-16 units in one event, as a keyboard sends it.
void SendText(QWidget* control, const QString& character) {
    const char16_t code = character.size() == 1 ? character.front().toUpper().unicode() : 0;
    const auto key = code != 0 && code < 0x100 ? Qt::Key(code) : Qt::Key_unknown;
    QTest::sendKeyEvent(QTest::Click, control, key, character, Qt::NoModifier);
}

}  // namespace

QString NameOf(const QWidget* widget) {
    if (!widget) return QStringLiteral("(none)");
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

void Settle() {
    if (!forms::WaitIdle()) throw OperatorError("the application is still busy after 5 seconds");
}

void Focus(QWidget* control) {
    DismissMenu();
    RequireOperable(control);
    if (control->focusPolicy() == Qt::NoFocus || !(control->focusPolicy() & Qt::ClickFocus))
        throw OperatorError(Name(control) + " takes no focus");
    ActivateWindowOf(control);
    if (qobject_cast<QAbstractButton*>(control)) {
        // Pressed, then released away from it: focus without a click.
        QTest::mousePress(control, Qt::LeftButton, {}, control->rect().center());
        QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(-10, -10));
        Settle();
        return;
    }
    QPointer<QLineEdit> edit = EditOf(control);
    if (!edit) throw OperatorError(Name(control) + " takes no focus");
    // Near the right end of the text area, where a click leaves the caret after the text.
    const QPoint pos(std::max(1, edit->width() - 3), edit->height() / 2);
    QTest::mouseClick(edit, Qt::LeftButton, {}, pos);
    Settle();
    if (edit) {
        edit->deselect();
        edit->end(false);
    }
}

void FocusIfNeeded(QWidget* control) {
    if (control->window()->isActiveWindow() && ControlOf(forms::FocusedControl()) == control &&
        control->hasFocus())
        return;
    Focus(control);
}

void SelectAll(QWidget* control) {
    DismissMenu();
    RequireOperable(control);
    RequireTextField(control, "selection");
    FocusIfNeeded(control);
    QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
    Settle();
}

void Type(QWidget* control, const QString& text) {
    DismissMenu();
    RequireOperable(control);
    RequireTextField(control, "typing");
    FocusIfNeeded(control);
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype units =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2
                                                                                             : 1;
        // A keystroke's handlers may disable or hide the field, or open a dialog.
        RequireOperable(control);
        SendText(control, text.mid(i, units));
        Settle();
        i += units;
    }
}

void PressKey(QWidget* control, KeyName key) {
    DismissMenu();
    RequireOperable(control);
    FocusIfNeeded(control);
    switch (key) {
        case KeyName::Enter:
            QTest::sendKeyEvent(QTest::Click, control, Qt::Key_Return, QStringLiteral("\r"),
                                Qt::NoModifier);
            break;
        case KeyName::Tab:
            QTest::sendKeyEvent(QTest::Click, control, Qt::Key_Tab, QStringLiteral("\t"),
                                Qt::NoModifier);
            break;
        case KeyName::BackTab:
            QTest::sendKeyEvent(QTest::Click, control, Qt::Key_Backtab, QString(),
                                Qt::ShiftModifier);
            break;
        case KeyName::Backspace:
            QTest::sendKeyEvent(QTest::Click, control, Qt::Key_Backspace, QStringLiteral("\b"),
                                Qt::NoModifier);
            break;
        case KeyName::Delete:
            QTest::keyClick(control, Qt::Key_Delete);
            break;
        case KeyName::Escape:
            QTest::sendKeyEvent(QTest::Click, control, Qt::Key_Escape, QStringLiteral("\x1b"),
                                Qt::NoModifier);
            break;
    }
    Settle();
}

void Clear(QWidget* control) {
    SelectAll(control);
    RequireOperable(control);
    QTest::keyClick(control, Qt::Key_Delete);
    Settle();
}

void Click(QWidget* widget, Qt::MouseButton button) {
    DismissMenu();
    RequireOperable(widget);
    ActivateWindowOf(widget);
    // A frame or a form is pressed on its own surface; anything else where it
    // shows at its centre (a list's text part, for instance).
    const bool container = qobject_cast<QGroupBox*>(widget) || qobject_cast<forms::Form*>(widget) ||
                           widget->isWindow();
    const auto [target, pos] =
        Target(widget, container ? OwnPoint(widget) : widget->rect().center());
    QTest::mouseClick(target, button, {}, pos);
    Settle();
}

void Choose(QWidget* list, int index) {
    DismissMenu();
    RequireOperable(list);
    auto* combo = qobject_cast<QComboBox*>(list);
    if (!combo) throw OperatorError(Name(list) + " is not a drop-down list");
    ActivateWindowOf(combo);
    // The arrow sits at the right end of the box.
    QTest::mouseClick(combo, Qt::LeftButton, {}, QPoint(combo->width() - 6, combo->height() / 2));
    Settle();
    QAbstractItemView* view = combo->view();
    if (!QTest::qWaitFor([&] { return view->isVisible(); }, 2000))
        throw OperatorError("the list of " + Name(list) + " did not open");
    if (index >= combo->count()) {
        const int count = combo->count();
        QTest::keyClick(view, Qt::Key_Escape);
        Settle();
        throw OperatorError(Name(list) + " has " + std::to_string(count) +
                            " entries: there is no entry " + std::to_string(index));
    }
    const QModelIndex item = view->model()->index(index, combo->modelColumn());
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    Settle();
}

void ChooseMenuEntry(const QString& name) {
    forms::PopupMenu* menu = forms::PopupMenu::Open();
    if (!menu) throw OperatorError("no pop-up menu is open");
    QAction* entry = nullptr;
    QStringList names;
    for (QAction* action : menu->actions()) {
        names << action->objectName();
        if (action->objectName() == name) entry = action;
    }
    if (!entry)
        throw OperatorError("the open menu " + Name(menu) + " has no entry " + name.toStdString() +
                            " (entries: " + names.join(", ").toStdString() + ")");
    if (!entry->isVisible() || !entry->isEnabled())
        throw OperatorError("the entry " + name.toStdString() + " of " + Name(menu) + " is " +
                            (entry->isVisible() ? "disabled" : "hidden"));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
    Settle();
}

void CloseWindow(QWidget* window) {
    DismissMenu();
    if (!window->isVisible()) throw OperatorError(Name(window) + " is not open");
    if (QWindow* handle = window->windowHandle()) {
        // Through the window system, as the close box does.
        handle->close();
    } else {
        window->close();
    }
    Settle();
}

}  // namespace drive
