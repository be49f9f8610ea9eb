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

namespace control_test {

// DROITS users: SECTEUR at level 2 and at level 1.
inline const std::string kChef = "CHEF", kAgent = "AGENT";

inline void Put(kelmor::Database& db, const char* file, const std::string& key,
                std::vector<std::vector<std::string>> attributes) {
    kelmor::DbRecord record = db.OpenFile(file).NewRecord(key);
    for (std::size_t a = 0; a < attributes.size(); ++a)
        record.SetValues(static_cast<int>(a + 1), attributes[a]);
    record.DBWrite();
}

// Sectors listed CENTRE, ÉTANG, NORD; centres listed ARCHE, LILAS.
inline void Fill(kelmor::Database& db, int associations, bool counter999) {
    for (const char* file : {"SECTEUR", "SOUSSECTEUR", "QUARTIER", "CENTREMEDICAL",
                             "ANTENNEMEDICALE", "ASSOCIATION", "COMPTEUR", "DROITS"})
        db.CreateFile(file);
    Put(db, "SECTEUR", "001", {{"NORD"}});
    Put(db, "SECTEUR", "002", {{"CENTRE"}});
    Put(db, "SECTEUR", "003", {{"ÉTANG"}});
    Put(db, "CENTREMEDICAL", "012", {{"LILAS"}});
    Put(db, "CENTREMEDICAL", "005", {{"ARCHE"}});
    Put(db, "ANTENNEMEDICALE", "012004", {{"PORTE"}});  // LILAS's only antenna
    for (int i = 1; i <= associations; ++i)
        Put(db, "ASSOCIATION", "A" + std::to_string(i), {{"ENTITE"}});
    if (counter999) Put(db, "COMPTEUR", "999", {{"3"}});
    Put(db, "DROITS", kChef, {{"AIDES", "SECTEUR"}, {"1", "2"}});
    Put(db, "DROITS", kAgent, {{"SECTEUR"}, {"1"}});
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
        Fill(*db, associations, counter999);
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
