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
// MaxLength (0 = no limit) is enforced as the operator types; a longer text set by code is
// cut to the limit.
class TextBox : public QLineEdit, public FocusEvents {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    QString Text() const { return text(); }
    void SetText(const QString& text);

    int MaxLength() const;
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

    QString last_;
    int quiet_ = 0;
};

}  // namespace forms
