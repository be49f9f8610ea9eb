#pragma once
// The editor placed on a host window over a small sector database of the
// shared harness, for the cases that call it as a host does (Init, Voir_*).

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include "control/secteur_editor.h"
#include "editor_harness.h"
#include "forms/focus.h"
#include "forms/scripteduiservice.h"
#include "kelmor/database.h"

namespace control_test {

// DROITS users: SECTEUR at level 2 and at level 1.
inline const std::string kChef = "CHEF", kAgent = "AGENT";

// Sectors listed CENTRE, ÉTANG, NORD; centres listed ARCHE, LILAS (its only antenna PORTE).
inline std::vector<std::string> Records(int associations, bool counter999) {
    std::vector<std::string> records = {
        "SECTEUR;001;1=NORD|SECTEUR;002;1=CENTRE|SECTEUR;003;1=ÉTANG",
        "SOUSSECTEUR|QUARTIER|ASSOCIATION|COMPTEUR",
        "CENTREMEDICAL;012;1=LILAS|CENTREMEDICAL;005;1=ARCHE|ANTENNEMEDICALE;012004;1=PORTE",
        "DROITS;CHEF;1=AIDES]SECTEUR;2=1]2|DROITS;AGENT;1=SECTEUR;2=1"};
    for (int i = 1; i <= associations; ++i)
        records.push_back("ASSOCIATION;A" + std::to_string(i) + ";1=ENTITE");
    if (counter999) records.push_back("COMPTEUR;999;1=3");
    return records;
}

inline std::vector<std::string> Items(const forms::ComboBox* combo) {
    return harness::ItemsOf(*combo);
}

inline std::string NameOf(const QObject* o) {
    return o ? o->objectName().toStdString() : "-";
}

// The editor on a host window, its three host objects set as a host sets them.
struct Editor {
    explicit Editor(const std::string& user = kChef, int associations = 2, bool counter999 = true)
        : data_(Records(associations, counter999)), db(data_.PlainShared()) {
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

    harness::TestData data_;
    // No message box of the editor ever blocks a test; each takes its first button.
    forms::ScriptedUiService scripted_;
    forms::ScopedUi scope_{scripted_};
    QWidget host_;
    std::shared_ptr<kelmor::Database> db;
    zonitra::Ctr_Secteur* ctl = nullptr;
};

}  // namespace control_test
