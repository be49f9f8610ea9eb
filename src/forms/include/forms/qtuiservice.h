#pragma once

#include "forms/uiservice.h"

namespace forms {

// Real windows: message boxes are modal QMessageBox windows with French captions; the
// hourglass is the application's override cursor.
class QtUiService : public UiService {
public:
    int MsgBox(const QString& text, int style = 0, const QString& title = {}) override;
    void SetPointer(Pointer pointer) override;
};

}  // namespace forms
