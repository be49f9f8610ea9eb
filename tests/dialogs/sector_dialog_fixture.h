#pragma once
// The component-wide state of a sector editor over a small database whose
// writes are noted, with sector 005 as the current sector record, a shown
// window to open the dialogs from and scripted message boxes.

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "control/shared_state.h"
#include "driver.h"
#include "forms/modalform.h"
#include "forms/scripteduiservice.h"
#include "kelmor/database.h"
#include "services/droits.h"

namespace dialogs_test {

// CHEF may modify the sectors (level 2), AGENT only look (level 1).
inline const std::string kChef = "CHEF", kAgent = "AGENT";
using Writes = std::vector<drive::WriteNote>;

class SectorDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto plain = kelmor::Database::OpenSqlite(dir_.filePath("d.db").toStdString());
        for (const char* file : {"SECTEUR", "DROITS", "COMMUNE"}) plain->CreateFile(file);
        Put(*plain, "SECTEUR", "005",
            {"ZOLA",
             "",
             "SAP",
             "19274",
             "155 COURS EMILE ZOLA",
             "",
             "",
             "69100",
             "VILLEURBANNE",
             "04 72 65 30 00",
             "",
             "",
             "",
             "",
             "",
             "",
             "001",
             "19274",
             "AG-1",
             "0691184522",
             "69",
             "E:\\Aide\\",
             "E:\\Aidant\\"});
        Put(*plain, "DROITS", kChef, {"SECTEUR", "2"});
        Put(*plain, "DROITS", kAgent, {"SECTEUR", "1"});
        recorded_ = drive::Record(plain);
        state_.database = recorded_.database;
        state_.client = std::make_shared<const int>(3);
        state_.records.secteur = Stored();
        host_.show();
        host_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host_));
    }
    static void Put(kelmor::Database& db, const char* file, const std::string& key,
                    const std::vector<std::string>& attributes) {
        kelmor::DbRecord record = db.OpenFile(file).NewRecord(key);
        for (std::size_t a = 0; a < attributes.size(); ++a) record.Set(int(a + 1), attributes[a]);
        record.DBWrite();
    }
    // Sector 005 as the database holds it now.
    kelmor::DbRecord Stored() const {
        return recorded_.database->OpenFile("SECTEUR").ReadRecord("005");
    }
    std::shared_ptr<services::DroitsUtilisateur> Rights(const std::string& user) const {
        return std::make_shared<services::DroitsUtilisateur>(*recorded_.database, user);
    }
    // Opens a dialog with `open`; `operate` plays the operator's part while it is shown and
    // returns whether it expects the dialog to have closed itself. A dialog still open is
    // then reported and closed by force, so that the test goes on.
    void WhileShown(const std::function<void()>& open,
                    const std::function<void(forms::ModalForm&)>& operate) {
        ui_.ModalShown = [&](forms::ModalForm& form) {
            operate(form);
            if (form.isVisible()) {
                ADD_FAILURE() << form.objectName().toStdString() << " is still open";
                form.hide();
                emit form.Unloaded();
            }
        };
        open();
        ui_.ModalShown = nullptr;
    }
    Writes TakeWrites() { return recorded_.recorder->TakeWrites(); }

    forms::ScriptedUiService ui_;
    forms::ScopedUi scope_{ui_};
    QTemporaryDir dir_;
    drive::RecordedDatabase recorded_;
    zonitra::SharedState state_;
    QWidget host_;
};

}  // namespace dialogs_test
