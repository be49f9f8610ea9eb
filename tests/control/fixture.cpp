#include "fixture.h"

#include <QApplication>

#include "forms/focus.h"

namespace control_test {
namespace {

void Put(kelmor::Database& db, const char* file, const std::string& key,
         const std::vector<std::vector<std::string>>& attributes) {
    kelmor::DbRecord record = db.OpenFile(file).NewRecord(key);
    int attr = 1;
    for (const auto& values : attributes) record.SetValues(attr++, values);
    record.DBWrite();
}

}  // namespace

std::shared_ptr<kelmor::Database> MakeDatabase(const QTemporaryDir& dir,
                                               const FixtureOptions& options) {
    auto db = kelmor::Database::OpenSqlite(dir.filePath("fixture.db").toStdString());
    for (const char* file : {"SECTEUR", "SOUSSECTEUR", "QUARTIER", "CENTREMEDICAL",
                             "ANTENNEMEDICALE", "ASSOCIATION", "COMPTEUR", "DROITS"}) {
        if (file != options.missingFile) db->CreateFile(file);
    }
    auto has = [&](const char* file) { return options.missingFile != file; };
    if (has("SECTEUR")) {
        Put(*db, "SECTEUR", "001", {{"NORD"}, {}, {"AG-1"}});
        Put(*db, "SECTEUR", "002", {{"CENTRE"}});
        Put(*db, "SECTEUR", "003", {{"ÉTANG"}});
    }
    if (has("CENTREMEDICAL")) {
        Put(*db, "CENTREMEDICAL", "012", {{"LILAS"}});
        Put(*db, "CENTREMEDICAL", "005", {{"ARCHE"}});
    }
    if (has("ASSOCIATION")) {
        for (int i = 1; i <= options.associations; ++i) {
            Put(*db, "ASSOCIATION", "A0" + std::to_string(i), {{"ENTITE " + std::to_string(i)}});
        }
    }
    if (has("COMPTEUR") && options.counter999) Put(*db, "COMPTEUR", "999", {{"3"}});
    Put(*db, "DROITS", kChef, {{"AIDES", "SECTEUR"}, {"1", "2"}});
    Put(*db, "DROITS", kAgent, {{"SECTEUR"}, {"1"}});
    Put(*db, "DROITS", kBroken, {{"SECTEUR"}, {"X"}});
    return db;
}

void AddCentre(kelmor::Database& db, const std::string& code, const std::string& label) {
    Put(db, "CENTREMEDICAL", code, {{label}});
}

std::vector<std::string> Items(const forms::ComboBox* combo) {
    std::vector<std::string> items;
    for (int i = 0; i < combo->ListCount(); ++i) items.push_back(combo->List(i).toStdString());
    return items;
}

Editor::Editor(const FixtureOptions& options, const std::string& user)
    : db_(MakeDatabase(dir_, options)),
      client_(std::make_shared<const std::string>("client")),
      host_(std::make_unique<QWidget>()) {
    host_->setObjectName("Frm_Hote");
    ctl_ = new zonitra::Ctr_Secteur(host_.get());
    host_->resize(ctl_->sizeHint());
    ctl_->SetDroitsUtilisateur(std::make_shared<services::DroitsUtilisateur>(*db_, user));
    ctl_->SetTheClient(client_);
    ctl_->SetTheDatabase(db_);
}

Editor::~Editor() = default;

::testing::AssertionResult Editor::Show() {
    host_->show();
    host_->activateWindow();
    if (!QTest::qWaitForWindowActive(host_.get())) {
        return ::testing::AssertionFailure() << "the host window did not become active";
    }
    forms::SetFocus(ui().Txt_CodeSecteur);
    return Eventually([this] { return forms::FocusedControl() == ui().Txt_CodeSecteur; },
                      "the focus in Txt_CodeSecteur");
}

}  // namespace control_test
