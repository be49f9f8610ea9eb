#pragma once

#include <QLineEdit>

#include <cstdint>
#include <functional>

#include "forms/focus.h"

namespace forms {

// A single-line text box.
//
// Change policy (the one place where it lives; ComboBox edits its text through a TextBox):
// - Change runs synchronously, nested inside whatever changed the text, each time the text
//   actually changes: typed, pasted, deleted by the operator, or set by SetText/setText.
//   Setting the same text again raises nothing.
// - A Change handler that sets another box's text sees that box's Change run inside it; one
//   that sets its own box's text sees its own Change run again, nested.
// - Text changed by the layer itself (see ComboBox: choosing an entry, Clear, AddItem) runs
//   under a quiet scope: the box remembers the new text but raises nothing.
//
// KeyPress runs before a typed character is inserted, with its character code (Unicode
// values up to 0x7FFF), the Enter key (13), Backspace (8) and Escape (27). The handler may
// set the code to 0 to swallow the key, or change it to type another character instead.
// Tab and Shift+Tab do not reach it (they move the focus); neither do keys with Ctrl or
// Alt (editing shortcuts such as Ctrl+A keep working).
//
// MaxLength (0 = no limit) limits what the operator adds: typed, pasted, dropped or composed
// text is cut to what fits, and a key that does not fit types nothing. Text set by code is
// kept whole however long, so that a stored value longer than the limit is shown and left
// as stored. Such a value may be edited within its own length: the operator can never
// make the text longer than the limit or than the text last set by code, whichever is
// longer (Backspace then a character corrects one character; typing at the end adds
// nothing). Setting the limit never cuts the current text.
class TextBox : public QLineEdit, public FocusEvents {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    QString Text() const { return text(); }
    void SetText(const QString& text);

    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length);

    std::function<void()> Change;
    std::function<void(std::int16_t& keyAscii)> KeyPress;

    // Runs f with Change suppressed; the text it leaves is remembered as the current text.
    void Quietly(const std::function<void()>& f);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void OnTextChanged(const QString& text);
    // The longest text the operator may leave in the box.
    int Room() const;
    // Cuts the operator's insertion that made text longer than Room().
    void CutInsertion(const QString& text);

    QString last_;
    int quiet_ = 0;
    int maxLength_ = 0;
    int given_ = 0;         // length of the text last set by code
    bool edited_ = false;   // the coming text change is the operator's
    bool cutting_ = false;  // the coming text change is CutInsertion's
};

}  // namespace forms
