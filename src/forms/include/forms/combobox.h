#pragma once

#include <QComboBox>

#include <cstdint>
#include <functional>

#include "forms/focus.h"

namespace forms {

class TextBox;

// A drop-down list with editable text: unsorted, no auto-completion, Enter never inserts.
// The editable text is a TextBox (see its header for the Change and KeyPress policy), so
// Change and KeyPress behave exactly as for a text box.
//
// - Click(index) runs when the operator chooses an entry: a mouse click on it in the open
//   list, Enter in the open list, or Up/Down on the closed list. The text is already the
//   entry's when Click runs, and choosing raises no Change.
// - DropDown runs just before the list opens (mouse on the arrow, Alt+Down, F4); a handler
//   may still fill the list.
// - Clear() removes every entry and empties the text, raising no Change; AddItem appends an
//   entry and leaves the text alone.
// - Leaving the field never selects an entry by its text (ListIndex is the chosen entry's
//   index while the text is still that entry's, -1 otherwise).
// - SetEntries replaces every entry at once by `count` entries whose texts are asked of
//   `entry` only when shown or read (one model reset, nothing copied): a list of millions
//   costs what its visible rows cost. Nothing here walks every entry (no completer, no size
//   from the contents); AddItem appends after them.
class ComboBox : public QComboBox, public FocusEvents {
    Q_OBJECT
public:
    explicit ComboBox(QWidget* parent = nullptr);

    QString Text() const;
    void SetText(const QString& text);

    void AddItem(const QString& item);
    void SetEntries(int count, std::function<QString(int index)> entry);
    void Clear();
    int ListCount() const { return count(); }
    int ListIndex() const;
    QString List(int index) const { return itemText(index); }

    // The editable part, for caret and selection (it carries no object name of its own).
    TextBox* Edit() const { return edit_; }

    std::function<void()> Change;
    std::function<void(std::int16_t& keyAscii)> KeyPress;
    std::function<void(int index)> Click;
    std::function<void()> DropDown;

    void showPopup() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Choose(int index);

    class Entries;
    TextBox* edit_;
    Entries* entries_;
};

}  // namespace forms
