#include "forms/popupmenu.h"

#include <QApplication>
#include <QCursor>

#include <stdexcept>

#include "forms/handler.h"
#include "mouse_private.h"

namespace forms {

MenuEntry::MenuEntry(const QString& name, const QString& caption, QObject* parent)
    : QAction(caption, parent) {
    setObjectName(name);
    connect(this, &QAction::triggered, this, [this] { Raise(this, "Click", Click); });
}

PopupMenu::PopupMenu(const QString& name, const QString& caption, QWidget* parent)
    : QMenu(caption, parent) {
    setObjectName(name);
}

MenuEntry* PopupMenu::AddEntry(const QString& name, const QString& caption) {
    auto* entry = new MenuEntry(name, caption, this);
    addAction(entry);
    return entry;
}

MenuEntry* PopupMenu::Entry(const QString& name) const {
    for (QAction* action : actions()) {
        if (action->objectName() == name) {
            if (auto* entry = qobject_cast<MenuEntry*>(action)) return entry;
        }
    }
    throw std::out_of_range("menu " + objectName().toStdString() + " has no entry " +
                            name.toStdString());
}

void PopupMenu::Popup() {
    Popup(detail::LastPressPosition().value_or(QCursor::pos()));
}

void PopupMenu::Popup(const QPoint& globalPosition) {
    setActiveAction(nullptr);
    setDefaultAction(nullptr);
    popup(globalPosition);
}

PopupMenu* PopupMenu::Open() {
    return qobject_cast<PopupMenu*>(QApplication::activePopupWidget());
}

}  // namespace forms
