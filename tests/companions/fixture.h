#pragma once
// The medical centres' database under the shared harness, and typing over a
// field as an operator does.

#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "editor_harness.h"
#include "forms/scripteduiservice.h"

namespace centremed_test {

// CHEF: level 2 on SECTEUR and CENTREMEDICAL; AGENT: level 1 on both.
inline const std::string kChef = "CHEF", kAgent = "AGENT";
using harness::Texts;

// Centres listed ARCHE (001), BEAULIEU (004), LILAS (002): code 003 is free.
inline const std::vector<std::string> kRecords = {
    "SECTEUR|SOUSSECTEUR|QUARTIER|ANTENNEMEDICALE|ASSOCIATION",
    "CENTREMEDICAL;001;1=ARCHE|CENTREMEDICAL;002;1=LILAS|CENTREMEDICAL;004;1=BEAULIEU",
    "COMPTEUR;999;1=3|DROITS;CHEF;1=SECTEUR]CENTREMEDICAL;2=2]2",
    "DROITS;AGENT;1=SECTEUR]CENTREMEDICAL;2=1]1"};

// Replaces the whole text of a field as typed: select all, then type.
inline void TypeOver(QWidget* edit, const char* text) {
    edit->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
}

}  // namespace centremed_test
