#pragma once
// A small sector database in a temporary directory, and the editor placed on
// a host window over it, driven as an operator would.

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "control/secteur_editor.h"
#include "forms/focus.h"
#include "forms/scripteduiservice.h"
#include "kelmor/database.h"
#include "test_database.h"

namespace control_test {

// DROITS users: SECTEUR at level 2 and at level 1.
inline const std::string kChef = "CHEF", kAgent = "AGENT";

// Sectors listed CENTRE, ÉTANG, NORD; centres listed ARCHE, LILAS (its only antenna PORTE).
inline void FillSectors(kelmor::Database& db, int associations, bool counter999) {
    kelmor::test::Fill(db, {"SECTEUR;001;1=NORD|SECTEUR;002;1=CENTRE|SECTEUR;003;1=ÉTANG",
                            "SOUSSECTEUR|QUARTIER|ASSOCIATION|COMPTEUR",
                            "CENTREMEDICAL;012;1=LILAS|CENTREMEDICAL;005;1=ARCHE",
                            "ANTENNEMEDICALE;012004;1=PORTE",
                            "DROITS;CHEF;1=AIDES]SECTEUR;2=1]2|DROITS;AGENT;1=SECTEUR;2=1"});
    for (int i = 1; i <= associations; ++i)
        kelmor::test::Fill(db, {"ASSOCIATION;A" + std::to_string(i) + ";1=ENTITE"});
    if (counter999) kelmor::test::Fill(db, {"COMPTEUR;999;1=3"});
}

inline std::vector<std::string> Items(const forms::ComboBox* combo) {
    std::vector<std::string> items;
    for (int i = 0; i < combo->ListCount(); ++i) items.push_back(combo->List(i).toStdString());
    return items;
}

inline std::string NameOf(const QObject* o) {
    return o ? o->objectName().toStdString() : "-";
}

// The editor on a host window, its three host objects set as a host sets them.
struct Editor {
    explicit Editor(const std::string& user = kChef, int associations = 2, bool counter999 = true)
        : db(kelmor::Database::OpenSqlite(dir_.filePath("fixture.db").toStdString())) {
        FillSectors(*db, associations, counter999);
        ctl = new zonitra::Ctr_Secteur(&host_);
        host_.resize(ctl->sizeHint());
        ctl->SetDroitsUtilisateur(std::make_shared<services::DroitsUtilisateur>(*db, user));
        ctl->SetTheClient(std::make_shared<const int>(1));
        ctl->SetTheDatabase(db);
    }
    zonitra::SecteurEditor& editor() const { return zonitra::EditorOf(*ctl); }
    const zonitra::SecteurScreen& ui() const { return editor().Screen(); }

    bool Show() {  // and puts the focus in Txt_CodeSecteur
        host_.show();
        host_.activateWindow();
        const bool active = QTest::qWaitForWindowActive(&host_);
        forms::SetFocus(ui().Txt_CodeSecteur);
        return active && forms::FocusedControl() == ui().Txt_CodeSecteur;
    }

    QTemporaryDir dir_;
    // No message box of the editor ever blocks a test; each takes its first button.
    forms::ScriptedUiService scripted_;
    forms::ScopedUi scope_{scripted_};
    QWidget host_;
    std::shared_ptr<kelmor::Database> db;
    zonitra::Ctr_Secteur* ctl = nullptr;
};

}  // namespace control_test
