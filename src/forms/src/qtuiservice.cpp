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
        // One role for all keeps the buttons in the platform's order, left to right, and
        // stops Qt from guessing an escape button.
        QPushButton* button = box.addButton(ButtonCaption(buttons[i]), QMessageBox::ActionRole);
        answers[button] = buttons[i];
        if (static_cast<int>(i) == DefaultButtonOf(style)) box.setDefaultButton(button);
        if (buttons[i] == vbCancel) cancel = button;
    }
    // Escape and the close box answer Cancel where there is one, OK in a box with OK alone;
    // elsewhere they do nothing.
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
