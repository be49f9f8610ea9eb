#include "forms/textbox.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <optional>
#include <utility>

#include "forms/handler.h"

namespace forms {
namespace {

// The character code KeyPress gets for event, or nothing when the key does not reach it.
std::optional<std::int16_t> KeyAsciiOf(const QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return std::nullopt;
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return std::nullopt;
        default:
            break;
    }
    const QString text = event->text();
    if (text.size() != 1 || !text.at(0).isPrint()) return std::nullopt;
    const char16_t code = text.at(0).unicode();
    if (code > 0x7FFF) return std::nullopt;
    return static_cast<std::int16_t>(code);
}

}  // namespace

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {
    setContextMenuPolicy(Qt::PreventContextMenu);
    // QLineEdit's own limit would also cut text set by code: the box keeps its own and
    // checks each change the operator makes. textEdited comes just before the textChanged
    // of the same edit, and never for setText.
    connect(this, &QLineEdit::textEdited, this, [this] { edited_ = true; });
    connect(this, &QLineEdit::textChanged, this, &TextBox::OnTextChanged);
}

void TextBox::SetText(const QString& text) {
    setText(text);
}

void TextBox::SetMaxLength(int length) {
    maxLength_ = std::max(length, 0);
}

int TextBox::Room() const {
    return maxLength_ == 0 ? maxLength() : std::max(maxLength_, given_);
}

void TextBox::CutInsertion(const QString& text) {
    // The edit left its insertion just before the caret, in place of a selection perhaps;
    // what follows the caret, and what precedes the insertion, are the text as it was.
    const QString before = last_;
    const int caret = cursorPosition();
    const int tail = static_cast<int>(text.size()) - caret;
    const int prefixLimit = std::min(caret, static_cast<int>(before.size()) - tail);
    int start = 0;
    while (start < prefixLimit && text[start] == before[start]) ++start;
    const int kept = static_cast<int>(text.size()) - (caret - start);
    int fits = std::max(0, Room() - kept);
    if (fits > 0 && text[start + fits - 1].isHighSurrogate()) --fits;  // never half a character
    QString cut = text.left(start + fits) + text.mid(caret);
    int newCaret = start + fits;
    if (cut.size() > Room()) {  // not an insertion after all (an undo, say): refuse it whole
        cut = before;
        newCaret = std::min(static_cast<int>(before.size()), start);
    }
    cutting_ = true;
    setText(cut);
    cutting_ = false;
    setCursorPosition(newCaret);
}

void TextBox::Quietly(const std::function<void()>& f) {
    ++quiet_;
    try {
        f();
    } catch (...) {
        --quiet_;
        last_ = text();
        throw;
    }
    --quiet_;
    last_ = text();
}

void TextBox::OnTextChanged(const QString& text) {
    const bool edited = std::exchange(edited_, false);
    const bool ours = std::exchange(cutting_, false);
    if (edited && text.size() > Room()) {
        // Raises Change, if anything is left of the insertion, from the nested change.
        CutInsertion(text);
        return;
    }
    if (!edited && !ours) given_ = static_cast<int>(text.size());
    if (text == last_) return;
    // Remember first: a handler that sets the text again must compare with this text.
    last_ = text;
    if (quiet_ > 0) return;
    Raise(this, "Change", Change);
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    const std::optional<std::int16_t> original = KeyAsciiOf(event);
    if (!original || !KeyPress) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    std::int16_t keyAscii = *original;
    // A handler that fails leaves the key as it had set it.
    Raise(this, "KeyPress", KeyPress, keyAscii);
    if (keyAscii == 0) {
        event->accept();
        return;
    }
    if (keyAscii == *original) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // The handler asked for another key: type that one instead.
    Qt::Key key = Qt::Key_unknown;
    QString text(QChar(static_cast<char16_t>(keyAscii)));
    if (keyAscii == 13) {
        key = Qt::Key_Return;
        text = QStringLiteral("\r");
    } else if (keyAscii == 8) {
        key = Qt::Key_Backspace;
        text = QStringLiteral("\b");
    } else if (keyAscii == 27) {
        key = Qt::Key_Escape;
        text = QStringLiteral("\x1b");
    } else if (keyAscii < 32) {
        event->accept();  // a control character types nothing
        return;
    }
    QKeyEvent replaced(QEvent::KeyPress, key, Qt::NoModifier, text, event->isAutoRepeat());
    QLineEdit::keyPressEvent(&replaced);
    event->setAccepted(replaced.isAccepted());
}

void TextBox::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    // Every press on a text box is its own, whatever the button.
    event->accept();
}

}  // namespace forms
