#pragma once
// A small sector database in a temporary directory, and the editor placed on
// a host window over it, driven as an operator would.

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "control/ctr_secteur.h"
#include "forms/focus.h"
#include "forms/scripteduiservice.h"
#include "kelmor/database.h"

namespace control_test {

// DROITS users: SECTEUR at level 2, at level 1, and with a level that is no number.
inline const std::string kChef = "CHEF", kAgent = "AGENT", kBroken = "BROKEN";

struct FixtureOptions {
    int associations = 2;
    bool counter999 = true;
    std::string missingFile;  // a file of the editor left out of the database
};

inline void Put(kelmor::Database& db, const char* file, const std::string& key,
                std::vector<std::vector<std::string>> attributes) {
    kelmor::DbRecord record = db.OpenFile(file).NewRecord(key);
    for (std::size_t a = 0; a < attributes.size(); ++a)
        record.SetValues(static_cast<int>(a + 1), attributes[a]);
    record.DBWrite();
}

// Sectors listed CENTRE, ÉTANG, NORD; centres listed ARCHE, LILAS.
inline std::shared_ptr<kelmor::Database> MakeDatabase(const QTemporaryDir& dir,
                                                      const FixtureOptions& o = {}) {
    auto db = kelmor::Database::OpenSqlite(dir.filePath("fixture.db").toStdString());
    for (const char* file : {"SECTEUR", "SOUSSECTEUR", "QUARTIER", "CENTREMEDICAL",
                             "ANTENNEMEDICALE", "ASSOCIATION", "COMPTEUR", "DROITS"})
        if (file != o.missingFile) db->CreateFile(file);
    if (o.missingFile != "SECTEUR") {
        Put(*db, "SECTEUR", "001", {{"NORD"}});
        Put(*db, "SECTEUR", "002", {{"CENTRE"}});
        Put(*db, "SECTEUR", "003", {{"ÉTANG"}});
    }
    if (o.missingFile != "CENTREMEDICAL") {
        Put(*db, "CENTREMEDICAL", "012", {{"LILAS"}});
        Put(*db, "CENTREMEDICAL", "005", {{"ARCHE"}});
        Put(*db, "ANTENNEMEDICALE", "012004", {{"PORTE"}});  // LILAS's only antenna
    }
    for (int i = 1; i <= o.associations && o.missingFile != "ASSOCIATION"; ++i)
        Put(*db, "ASSOCIATION", "A" + std::to_string(i), {{"ENTITE " + std::to_string(i)}});
    if (o.counter999 && o.missingFile != "COMPTEUR") Put(*db, "COMPTEUR", "999", {{"3"}});
    Put(*db, "DROITS", kChef, {{"AIDES", "SECTEUR"}, {"1", "2"}});
    Put(*db, "DROITS", kAgent, {{"SECTEUR"}, {"1"}});
    Put(*db, "DROITS", kBroken, {{"SECTEUR"}, {"X"}});
    return db;
}

inline std::vector<std::string> Items(const forms::ComboBox* combo) {
    std::vector<std::string> items;
    for (int i = 0; i < combo->ListCount(); ++i) items.push_back(combo->List(i).toStdString());
    return items;
}

inline std::string NameOf(const QObject* o) {
    return o ? o->objectName().toStdString() : "-";
}

template <class Predicate>
::testing::AssertionResult Eventually(Predicate predicate, const char* what) {
    if (QTest::qWaitFor(predicate)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "timed out waiting for " << what;
}

// The editor on a host window, its three host objects set as a host sets them.
class Editor {
public:
    explicit Editor(const FixtureOptions& options = {}, const std::string& user = kChef)
        : db(MakeDatabase(dir_, options)), client(std::make_shared<const int>(1)) {
        ctl = new zonitra::Ctr_Secteur(&host_);
        host_.resize(ctl->sizeHint());
        ctl->SetDroitsUtilisateur(std::make_shared<services::DroitsUtilisateur>(*db, user));
        ctl->SetTheClient(client);
        ctl->SetTheDatabase(db);
    }
    const zonitra::SecteurScreen& ui() const { return ctl->Screen(); }

    // Shows the host window, the focus in Txt_CodeSecteur.
    ::testing::AssertionResult Show() {
        host_.show();
        host_.activateWindow();
        if (!QTest::qWaitForWindowActive(&host_)) return ::testing::AssertionFailure() << "host";
        forms::SetFocus(ui().Txt_CodeSecteur);
        return Eventually([&] { return forms::FocusedControl() == ui().Txt_CodeSecteur; },
                          "the focus in Txt_CodeSecteur");
    }

private:
    QTemporaryDir dir_;
    // No message box of the editor ever blocks a test; each takes its first button.
    forms::ScriptedUiService scripted_;
    forms::ScopedUi scope_{scripted_};
    QWidget host_;

public:
    std::shared_ptr<kelmor::Database> db;
    zonitra::ClientObject client;
    zonitra::Ctr_Secteur* ctl = nullptr;
};

}  // namespace control_test
