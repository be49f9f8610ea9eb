#pragma once
// A medical-centre database in a temporary folder whose writes are noted, under
// scripted message boxes, and typing over a field as an operator does.

#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "driver.h"
#include "forms/scripteduiservice.h"
#include "kelmor/database.h"
#include "test_database.h"

namespace centremed_test {

// CHEF: level 2 on SECTEUR and CENTREMEDICAL; AGENT: level 1 on both.
inline const std::string kChef = "CHEF", kAgent = "AGENT";
using Writes = std::vector<drive::WriteNote>;

// Centres listed ARCHE (001), BEAULIEU (004), LILAS (002): code 003 is free.
struct MedicalDatabase {
    MedicalDatabase() {
        auto plain = kelmor::Database::OpenSqlite(dir.filePath("centres.db").toStdString());
        kelmor::test::Fill(
            *plain,
            {"SECTEUR|SOUSSECTEUR|QUARTIER|ANTENNEMEDICALE|ASSOCIATION",
             "CENTREMEDICAL;001;1=ARCHE|CENTREMEDICAL;002;1=LILAS|CENTREMEDICAL;004;1=BEAULIEU",
             "COMPTEUR;999;1=3|DROITS;CHEF;1=SECTEUR]CENTREMEDICAL;2=2]2",
             "DROITS;AGENT;1=SECTEUR]CENTREMEDICAL;2=1]1"});
        recorded = drive::Record(plain);
    }
    Writes TakeWrites() { return recorded.recorder->TakeWrites(); }
    std::string Label(const std::string& key) const {
        return recorded.database->OpenFile("CENTREMEDICAL").ReadRecord(key).Get(1);
    }

    // No message box ever blocks a test; each takes its first button.
    forms::ScriptedUiService ui;
    forms::ScopedUi scope{ui};
    QTemporaryDir dir;
    drive::RecordedDatabase recorded;
};

// Replaces the whole text of a field as typed: select all, then type.
inline void TypeOver(QWidget* edit, const char* text) {
    edit->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
}

}  // namespace centremed_test
