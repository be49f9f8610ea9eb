// The medical-centre editor on its own window, driven with keys and the mouse:
// adding with the first free code, renaming, rights and "Fermer".

#include <QPushButton>

#include "centremed/ctr_centremed.h"
#include "fixture.h"
#include "forms/textbox.h"
#include "services/droits.h"

namespace {

using namespace centremed_test;

class CentreMedEditor : public ::testing::Test {
protected:
    void Open(const std::string& user) {
        const auto& db = data_.Recorded().database;
        ed_.SetDroitsUtilisateur(std::make_shared<services::DroitsUtilisateur>(*db, user));
        ed_.SetTheDatabase(db);
        ed_.SetTheClient(std::make_shared<const int>(7));
        ed_.Init();
        ed_.show();
        ed_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&ed_));
    }
    forms::TextBox* Label() { return ed_.findChild<forms::TextBox*>("Txt_LibCentreMed"); }
    void Press(const char* button) {
        QTest::mouseClick(ed_.findChild<QPushButton*>(button), Qt::LeftButton);
    }
    harness::TestData data_{kRecords};
    // No message box ever blocks a test; each takes its first button.
    forms::ScriptedUiService ui_;
    forms::ScopedUi scope_{ui_};
    zonitra::Ctr_CentreMed ed_;
};

TEST_F(CentreMedEditor, AddTakesTheFirstFreeCodeAndFermerSetsTheExitFlag) {
    Open(kChef);
    for (const char* code : {"003", "005"}) {
        TypeOver(Label(), "clinique");
        Press("Cmd_AjouterCentreMed");
        EXPECT_EQ(data_.TakeWrites(), Texts{"CENTREMEDICAL " + std::string(code)});
        EXPECT_EQ(data_.Stored("CENTREMEDICAL", code, 1), "CLINIQUE");
    }
    EXPECT_TRUE(ui_.TakeMessages().empty());
    EXPECT_EQ(ed_.G_SortirCentreMed, 0);
    Press("Cmd_Fermer");
    EXPECT_EQ(ed_.G_SortirCentreMed, -1);
    EXPECT_FALSE(ed_.isVisible());  // it was its own window
}

TEST_F(CentreMedEditor, RenameUpperCasesAndWritesOnlyAChange) {
    Open(kChef);
    auto* list = ed_.findChild<QListWidget*>("Lst_CentreMed");
    QListWidgetItem* lilas = list->findItems("002", Qt::MatchStartsWith).value(0);
    ASSERT_NE(lilas, nullptr);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(lilas).center());
    TypeOver(Label(), "lilas du parc");
    Press("Cmd_RenommerCentreMed");
    EXPECT_EQ(data_.TakeWrites(), Texts{"CENTREMEDICAL 002"});
    EXPECT_EQ(data_.Stored("CENTREMEDICAL", "002", 1), "LILAS DU PARC");
    TypeOver(Label(), "Lilas du Parc");  // the same label in another case
    Press("Cmd_RenommerCentreMed");
    EXPECT_TRUE(data_.TakeWrites().empty());
}

TEST_F(CentreMedEditor, LevelOneOnlyLooks) {
    Open(kAgent);
    for (const char* button : {"Cmd_AjouterCentreMed", "Cmd_RenommerCentreMed",
                               "Cmd_AjouterAntenneMed", "Cmd_RenommerAntenneMed"})
        EXPECT_FALSE(ed_.findChild<QWidget*>(button)->isVisible()) << button;
}

}  // namespace
