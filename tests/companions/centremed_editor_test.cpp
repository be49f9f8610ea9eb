// The medical-centre editor on its own window, driven with keys and the mouse:
// listing, adding with the first free code, renaming, rights and "Fermer".

#include <QLineEdit>
#include <QPushButton>

#include "centremed/ctr_centremed.h"
#include "fixture.h"
#include "forms/msgbox.h"
#include "forms/scripteduiservice.h"
#include "forms/textbox.h"
#include "forms/uiservice.h"
#include "services/droits.h"

namespace {

using namespace centremed_test;
using Texts = std::vector<std::string>;

class Editor {
public:
    explicit Editor(MedicalDatabase& data, const std::string& user = kChef) : data_(data) {
        ed.SetDroitsUtilisateur(std::make_shared<services::DroitsUtilisateur>(*data.db, user));
        ed.SetTheDatabase(data.db);
        ed.SetTheClient(std::make_shared<const int>(7));
        ed.Init();
        ed.show();
        ed.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&ed));
        data.counter->TakeWrites();
    }
    template <class T = QWidget>
    T* Get(const char* name) {
        T* widget = ed.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QListWidget* Centres() { return Get<QListWidget>("Lst_CentreMed"); }
    QListWidget* Antennes() { return Get<QListWidget>("Lst_AntenneMed"); }
    forms::TextBox* CentreLabel() { return Get<forms::TextBox>("Txt_LibCentreMed"); }
    forms::TextBox* AntenneLabel() { return Get<forms::TextBox>("Txt_LibAntenneMed"); }
    void Press(const char* button) { QTest::mouseClick(Get<QPushButton>(button), Qt::LeftButton); }

    MedicalDatabase& data_;
    zonitra::Ctr_CentreMed ed;
};

class CentreMedEditor : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(ui_.PendingAnswers(), 0u); }

    std::vector<std::string> MessageTexts() {
        std::vector<std::string> texts;
        for (const forms::MessageRecord& m : ui_.TakeMessages()) {
            EXPECT_EQ(m.title, "Message ORVANIS");
            EXPECT_EQ(m.icon, forms::vbExclamation);
            EXPECT_EQ(m.buttons, std::vector<int>{forms::vbOK});
            texts.push_back(m.text.toStdString());
        }
        return texts;
    }

    forms::ScriptedUiService ui_;
    forms::ScopedUi scope_{ui_};
};

TEST_F(CentreMedEditor, ListsCentresByLabelAndTheChosenCentresAntennas) {
    MedicalDatabase data;
    Editor e(data);
    EXPECT_EQ(Entries(e.Centres()), (Texts{"001  ARCHE", "004  BEAULIEU", "002  LILAS"}));
    EXPECT_EQ(ChosenText(e.Centres()), "");
    EXPECT_TRUE(Entries(e.Antennes()).empty());

    ASSERT_TRUE(ClickEntry(e.Centres(), "001"));
    EXPECT_EQ(e.CentreLabel()->Text(), "ARCHE");
    EXPECT_EQ(Entries(e.Antennes()), (Texts{"002  GARE", "001  PORTE"}));
    ASSERT_TRUE(ClickEntry(e.Antennes(), "001"));
    EXPECT_EQ(e.AntenneLabel()->Text(), "PORTE");

    // The keyboard moves through the centres too.
    QTest::keyClick(e.Centres(), Qt::Key_Down);
    EXPECT_EQ(e.CentreLabel()->Text(), "BEAULIEU");
    EXPECT_TRUE(Entries(e.Antennes()).empty());
    EXPECT_EQ(e.AntenneLabel()->Text(), "");
    EXPECT_TRUE(data.counter->TakeWrites().empty());
}

struct FreeCodeCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> centres;
    std::vector<std::string> addedAfterInit;  // by another workstation, unseen by the list
    std::string expected;
};

void PrintTo(const FreeCodeCase& c, std::ostream* os) {
    *os << c.name;
}

class FirstFreeCentreCode : public CentreMedEditor,
                            public ::testing::WithParamInterface<FreeCodeCase> {};

TEST_P(FirstFreeCentreCode, AddGivesTheFirstCodeWithoutARecord) {
    const FreeCodeCase& c = GetParam();
    MedicalDatabase data(c.centres);
    Editor e(data);
    for (const std::string& code : c.addedAfterInit) Put(*data.db, "CENTREMEDICAL", code, "X");
    data.counter->TakeWrites();

    TypeOver(e.CentreLabel(), "  saint-éloi ");
    e.Press("Cmd_AjouterCentreMed");

    EXPECT_EQ(data.counter->TakeWrites(), (std::vector<Written>{{"CENTREMEDICAL", c.expected}}));
    EXPECT_EQ(data.Label("CENTREMEDICAL", c.expected), "SAINT-ÉLOI");
    EXPECT_EQ(ChosenText(e.Centres()), c.expected + "  SAINT-ÉLOI");
    EXPECT_EQ(e.CentreLabel()->Text(), "SAINT-ÉLOI");
    EXPECT_TRUE(MessageTexts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Codes, FirstFreeCentreCode,
    ::testing::Values(
        FreeCodeCase{"Empty", {}, {}, "001"},
        FreeCodeCase{"Gap", {{"001", "A"}, {"002", "B"}, {"004", "C"}}, {}, "003"},
        FreeCodeCase{"AfterTheLast", {{"001", "A"}, {"002", "B"}}, {}, "003"},
        FreeCodeCase{"OtherKeysIgnored", {{"01", "A"}, {"0010", "B"}, {"ABC", "C"}}, {}, "001"},
        FreeCodeCase{"AddedMeanwhile", {{"001", "A"}}, {"002", "003"}, "004"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CentreMedEditor, AddsAnAntennaToTheChosenCentre) {
    MedicalDatabase data;
    Editor e(data);
    TypeOver(e.AntenneLabel(), "mairie");
    e.Press("Cmd_AjouterAntenneMed");
    EXPECT_EQ(MessageTexts(),
              Texts{"Choisissez d'abord dans la liste le centre médical de la nouvelle antenne."});
    EXPECT_TRUE(data.counter->TakeWrites().empty());

    ASSERT_TRUE(ClickEntry(e.Centres(), "001"));
    TypeOver(e.AntenneLabel(), "mairie");
    e.Press("Cmd_AjouterAntenneMed");
    EXPECT_EQ(data.counter->TakeWrites(), (std::vector<Written>{{"ANTENNEMEDICALE", "001003"}}));
    EXPECT_EQ(data.Label("ANTENNEMEDICALE", "001003"), "MAIRIE");
    EXPECT_EQ(Entries(e.Antennes()), (Texts{"002  GARE", "003  MAIRIE", "001  PORTE"}));
    EXPECT_EQ(ChosenText(e.Antennes()), "003  MAIRIE");

    // Another centre's antennas start again from 001.
    ASSERT_TRUE(ClickEntry(e.Centres(), "004"));
    TypeOver(e.AntenneLabel(), "halle");
    e.Press("Cmd_AjouterAntenneMed");
    EXPECT_EQ(data.counter->TakeWrites(), (std::vector<Written>{{"ANTENNEMEDICALE", "004001"}}));
}

TEST_F(CentreMedEditor, RenameUpperCasesAndWritesOnlyAChange) {
    MedicalDatabase data;
    Editor e(data);
    ASSERT_TRUE(ClickEntry(e.Centres(), "002"));
    TypeOver(e.CentreLabel(), "lilas du parc");
    e.Press("Cmd_RenommerCentreMed");
    EXPECT_EQ(data.counter->TakeWrites(), (std::vector<Written>{{"CENTREMEDICAL", "002"}}));
    EXPECT_EQ(data.Label("CENTREMEDICAL", "002"), "LILAS DU PARC");
    EXPECT_EQ(e.CentreLabel()->Text(), "LILAS DU PARC");
    EXPECT_EQ(Entries(e.Centres()), (Texts{"001  ARCHE", "004  BEAULIEU", "002  LILAS DU PARC"}));
    EXPECT_EQ(ChosenText(e.Centres()), "002  LILAS DU PARC");

    // Same label again, in another case: nothing to write.
    TypeOver(e.CentreLabel(), "Lilas du Parc");
    e.Press("Cmd_RenommerCentreMed");
    EXPECT_TRUE(data.counter->TakeWrites().empty());

    ASSERT_TRUE(ClickEntry(e.Centres(), "001"));
    ASSERT_TRUE(ClickEntry(e.Antennes(), "002"));
    TypeOver(e.AntenneLabel(), "gare part-dieu");
    e.Press("Cmd_RenommerAntenneMed");
    EXPECT_EQ(data.counter->TakeWrites(), (std::vector<Written>{{"ANTENNEMEDICALE", "001002"}}));
    EXPECT_EQ(data.Label("ANTENNEMEDICALE", "001002"), "GARE PART-DIEU");
    EXPECT_TRUE(MessageTexts().empty());
}

struct MistakeCase {
    const char* name;
    const char* centre;  // entry to choose first, "" for none
    const char* label;   // typed into the field of `button`
    const char* field;
    const char* button;
    const char* message;
    const char* focus;  // where the operator is sent
};

void PrintTo(const MistakeCase& c, std::ostream* os) {
    *os << c.name;
}

class OperatorMistake : public CentreMedEditor,
                        public ::testing::WithParamInterface<MistakeCase> {};

TEST_P(OperatorMistake, IsToldAndNothingIsWritten) {
    const MistakeCase& c = GetParam();
    MedicalDatabase data;
    Editor e(data);
    if (*c.centre) {
        ASSERT_TRUE(ClickEntry(e.Centres(), c.centre));
    }
    TypeOver(e.Get(c.field), c.label);
    e.Press(c.button);
    EXPECT_EQ(MessageTexts(), Texts{c.message});
    EXPECT_TRUE(data.counter->TakeWrites().empty());
    EXPECT_EQ(QApplication::focusWidget(), e.Get(c.focus));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, OperatorMistake,
    ::testing::Values(
        MistakeCase{"EmptyCentreLabel", "", "   ", "Txt_LibCentreMed", "Cmd_AjouterCentreMed",
                    "Le libellé du centre médical doit être renseigné.", "Txt_LibCentreMed"},
        MistakeCase{"EmptyRename", "001", "", "Txt_LibCentreMed", "Cmd_RenommerCentreMed",
                    "Le libellé du centre médical doit être renseigné.", "Txt_LibCentreMed"},
        MistakeCase{
            "RenameWithoutCentre", "", "NOUVEAU", "Txt_LibCentreMed", "Cmd_RenommerCentreMed",
            "Choisissez d'abord dans la liste le centre médical à renommer.", "Lst_CentreMed"},
        MistakeCase{"EmptyAntennaLabel", "001", "", "Txt_LibAntenneMed", "Cmd_AjouterAntenneMed",
                    "Le libellé de l'antenne médicale doit être renseigné.", "Txt_LibAntenneMed"},
        MistakeCase{
            "RenameWithoutAntenna", "001", "QUAI", "Txt_LibAntenneMed", "Cmd_RenommerAntenneMed",
            "Choisissez d'abord dans la liste l'antenne médicale à renommer.", "Lst_AntenneMed"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CentreMedEditor, WithoutLevelTwoOnlyLooks) {
    for (const std::string& user : {kAgent, kStagiaire}) {
        SCOPED_TRACE(user);
        MedicalDatabase data;
        Editor e(data, user);
        EXPECT_FALSE(e.ed.CanModify());
        for (const char* button : {"Cmd_AjouterCentreMed", "Cmd_RenommerCentreMed",
                                   "Cmd_AjouterAntenneMed", "Cmd_RenommerAntenneMed"})
            EXPECT_FALSE(e.Get(button)->isVisible()) << button;
        ASSERT_TRUE(ClickEntry(e.Centres(), "001"));
        TypeOver(e.CentreLabel(), "PIRATE");
        QTest::keyClick(e.CentreLabel(), Qt::Key_Return);
        EXPECT_EQ(e.CentreLabel()->Text(), "ARCHE");
        EXPECT_EQ(Entries(e.Antennes()), (Texts{"002  GARE", "001  PORTE"}));
        EXPECT_TRUE(e.Get("Cmd_Fermer")->isVisible());
        EXPECT_TRUE(data.counter->TakeWrites().empty());
    }
}

TEST_F(CentreMedEditor, FermerSetsTheExitFlagAndInitClearsIt) {
    MedicalDatabase data;
    Editor e(data);
    EXPECT_EQ(e.ed.G_SortirCentreMed, 0);
    ASSERT_TRUE(ClickEntry(e.Centres(), "002"));
    e.Press("Cmd_Fermer");
    EXPECT_EQ(e.ed.G_SortirCentreMed, -1);
    EXPECT_FALSE(e.ed.isVisible());  // it was its own window

    e.ed.Init();
    EXPECT_EQ(e.ed.G_SortirCentreMed, 0);
    EXPECT_EQ(ChosenText(e.Centres()), "");
    EXPECT_EQ(e.CentreLabel()->Text(), "");
    EXPECT_TRUE(Entries(e.Antennes()).empty());
}

TEST(CentreMedEditorSetup, InitNamesWhatIsMissing) {
    MedicalDatabase data;
    zonitra::Ctr_CentreMed ed;
    EXPECT_THROW(ed.Init(), std::logic_error);
    ed.SetDroitsUtilisateur(std::make_shared<services::DroitsUtilisateur>(*data.db, kChef));
    try {
        ed.Init();
        ADD_FAILURE() << "Init without a database";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "Ctr_CentreMed.Init: TheDatabase was not set");
    }
    auto bare = kelmor::Database::OpenSqlite(data.dir.filePath("bare.db").toStdString());
    ed.SetTheDatabase(bare);
    try {
        ed.Init();
        ADD_FAILURE() << "Init without the CENTREMEDICAL file";
    } catch (const kelmor::Error& e) {
        EXPECT_EQ(e.number(), kelmor::kNoSuchFile);
    }
}

}  // namespace
