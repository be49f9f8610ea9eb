#pragma once
// The operator's message boxes of the editor and its dialogs.

#include <QString>

namespace zonitra {

inline constexpr const char* kMessageTitle = "Message ORVANIS";

// Shows `text` in a message box titled "Message ORVANIS", with the buttons,
// icon and default button of `style` (forms/msgbox.h); returns the answer.
int Message(const QString& text, int style);

}  // namespace zonitra
