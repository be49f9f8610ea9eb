#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/focus.h"

namespace forms_test {

// Events as handlers saw them, in order: "Lost:Txt_A", "Got:Txt_B", "Enter:Frm", ...
using EventLog = std::vector<std::string>;

inline std::string NameOf(const QObject* object) {
    return object->objectName().toStdString();
}

template <class Control>
void WatchFocus(Control* control, EventLog& log) {
    control->GotFocus = [control, &log] { log.push_back("Got:" + NameOf(control)); };
    control->LostFocus = [control, &log] { log.push_back("Lost:" + NameOf(control)); };
}

template <class Control>
Control* Named(Control* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

// Shows window and waits until it is the active window.
inline ::testing::AssertionResult ShowActive(QWidget* window) {
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) {
        return ::testing::AssertionFailure() << NameOf(window) << " did not become active";
    }
    return ::testing::AssertionSuccess();
}

template <class Predicate>
::testing::AssertionResult Eventually(Predicate predicate, const char* what) {
    if (QTest::qWaitFor(predicate)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "timed out waiting for " << what;
}

inline void ClickInto(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

}  // namespace forms_test
