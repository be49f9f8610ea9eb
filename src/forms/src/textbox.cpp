#include "forms/textbox.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <optional>

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
    connect(this, &QLineEdit::textChanged, this, &TextBox::OnTextChanged);
}

void TextBox::SetText(const QString& text) {
    setText(text);
}

int TextBox::MaxLength() const {
    // QLineEdit's "no limit" is 32767; the platform says 0.
    return maxLength() >= 32767 ? 0 : maxLength();
}

void TextBox::SetMaxLength(int length) {
    setMaxLength(length <= 0 ? 32767 : length);
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
