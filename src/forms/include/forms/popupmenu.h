#pragma once

#include <QAction>
#include <QMenu>
#include <QPoint>

#include <functional>

namespace forms {

// One entry of a pop-up menu; its object name is the entry's control name.
class MenuEntry : public QAction {
    Q_OBJECT
public:
    MenuEntry(const QString& name, const QString& caption, QObject* parent);

    std::function<void()> Click;
};

// A menu used only as a pop-up (never in a menu bar). Its object name is the menu's name,
// its title the menu's caption.
class PopupMenu : public QMenu {
    Q_OBJECT
public:
    PopupMenu(const QString& name, const QString& caption, QWidget* parent);

    MenuEntry* AddEntry(const QString& name, const QString& caption);
    // The entry of that object name; throws std::out_of_range naming it when absent.
    MenuEntry* Entry(const QString& name) const;

    // Opens the menu at the position of the last mouse press seen by a forms widget (the
    // cursor position when there was none) and returns at once; the chosen entry's Click
    // runs later, from the event loop. No entry is the default.
    void Popup();
    void Popup(const QPoint& globalPosition);

    // The pop-up menu open now, if any.
    static PopupMenu* Open();
};

}  // namespace forms
