#include "forms/qtuiservice.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <map>

#include "forms/msgbox.h"
#include "uiservice_private.h"

namespace forms {
namespace {

QMessageBox::Icon QtIcon(int icon) {
    switch (icon) {
        case vbCritical:
            return QMessageBox::Critical;
        case vbQuestion:
            return QMessageBox::Question;
        case vbExclamation:
            return QMessageBox::Warning;
        case vbInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

QMessageBox::ButtonRole RoleOf(int answer) {
    switch (answer) {
        case vbOK:
        case vbYes:
        case vbContinue:
            return QMessageBox::AcceptRole;
        case vbCancel:
        case vbAbort:
            return QMessageBox::RejectRole;
        case vbNo:
            return QMessageBox::NoRole;
        default:
            return QMessageBox::ActionRole;
    }
}

}  // namespace

int QtUiService::MsgBox(const QString& text, int style, const QString& title) {
    const std::vector<int> buttons = ButtonsOf(style);
    const int icon = IconOf(style);
    QPointer<QWidget> opener = QApplication::activeWindow();
    QMessageBox box(opener);
    box.setWindowTitle(title.isEmpty() ? QCoreApplication::applicationName() : title);
    box.setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(QtIcon(icon));
    std::map<QAbstractButton*, int> answers;
    QPushButton* cancel = nullptr;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        QPushButton* button = box.addButton(ButtonCaption(buttons[i]), RoleOf(buttons[i]));
        answers[button] = buttons[i];
        if (static_cast<int>(i) == DefaultButtonOf(style)) box.setDefaultButton(button);
        if (buttons[i] == vbCancel) cancel = button;
    }
    // Escape answers Cancel where there is one; a box with OK alone answers OK.
    if (cancel) {
        box.setEscapeButton(cancel);
    } else if (buttons.size() == 1) {
        box.setEscapeButton(box.buttons().front());
    }
    box.exec();
    detail::ReactivateAfterModal(opener);
    const auto it = answers.find(box.clickedButton());
    return it != answers.end() ? it->second : (cancel ? vbCancel : buttons.front());
}

void QtUiService::SetPointer(Pointer pointer) {
    if (pointer == CurrentPointer()) return;
    UiService::SetPointer(pointer);
    if (pointer == Pointer::Hourglass) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace forms
