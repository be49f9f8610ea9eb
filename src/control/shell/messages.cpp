#include "control/messages.h"

#include "forms/uiservice.h"

namespace zonitra {

int Message(const QString& text, int style) {
    return forms::Ui().MsgBox(text, style, QString::fromLatin1(kMessageTitle));
}

}  // namespace zonitra
