// Relinking a shown neighbourhood to a medical centre and antenna: the centre
// lists its antennas (a single one is filled in), and the link is written
// when the antenna code is left, once, only when it differs. Also the messages
// of the link fields, and the return from a dialog or a message box.

#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "control/ctr_secteur.h"
#include "forms/idle.h"
#include "forms/modalform.h"
#include "forms/scripteduiservice.h"
#include "forms/textbox.h"
#include "kelmor/database.h"
#include "session.h"

namespace levels_test {
namespace {

const Texts kCloitreLinks = {"012", "LILAS", "005", "GARE"};

void AddCentre(Session& s, const char* key, const char* label) {
    kelmor::DbRecord record = s.Plain().OpenFile("CENTREMEDICAL").NewRecord(key);
    record.Set(1, label);
    record.DBWrite();
}

// --- Choosing a centre, then an antenna ---

struct Relink {
    const char* name;
    std::string neighbourhood;  // of sub-sector 00102
    const char* chooseCentre;   // operator commands
    Texts afterCentre;          // kLinkFields
    Texts antennas;             // entries of the antenna list
    const char* chooseAntenna;  // "" for none
    Texts afterAntenna;
    std::string stored;  // attribute 2 once the antenna code is left
};
void PrintTo(const Relink& c, std::ostream* os) {
    *os << c.name;
}

class Relinking : public ::testing::TestWithParam<Relink> {};

TEST_P(Relinking, WritesTheLinkOnceWhenTheAntennaCodeIsLeft) {
    const Relink& c = GetParam();
    Session s;
    ASSERT_TRUE(s.Open("001", "02", c.neighbourhood));
    const std::string key = "00102" + c.neighbourhood;
    const std::string before = s.Stored("QUARTIER", key, 2);

    s.Do(c.chooseCentre);
    EXPECT_EQ(s.TextsOf(kLinkFields), c.afterCentre);
    EXPECT_EQ(s.Items("Cbo_LibAntMedQuartier"), c.antennas);
    EXPECT_EQ(s.Focus(), "Txt_CodeAntMedQuartier");
    EXPECT_TRUE(s.TakeWrites().empty()) << "choosing a centre alone writes nothing";

    if (*c.chooseAntenna) {
        s.Do(c.chooseAntenna);
        EXPECT_EQ(s.TextsOf(kLinkFields), c.afterAntenna);
        EXPECT_EQ(s.Focus(), "Txt_CodeAntMedQuartier");
        EXPECT_TRUE(s.TakeWrites().empty());
    }
    s.Do("key Txt_CodeAntMedQuartier Tab");
    EXPECT_EQ(s.TakeWrites(), c.stored == before ? Texts{} : Texts{"QUARTIER " + key});
    EXPECT_EQ(s.Stored("QUARTIER", key, 2), c.stored);
    EXPECT_TRUE(s.TakeMessages().empty());

    // Leaving the antenna code again writes nothing more.
    s.Do("focus Txt_CodeAntMedQuartier\nkey Txt_CodeAntMedQuartier Tab");
    EXPECT_TRUE(s.TakeWrites().empty());
    EXPECT_EQ(s.Text("Cbo_LibQuartier"), s.Stored("QUARTIER", key, 1));
}

INSTANTIATE_TEST_SUITE_P(
    Links, Relinking,
    ::testing::Values(
        // 0010202 CLOITRE is linked to 012005 (LILAS, GARE).
        Relink{"CentreWithOneAntennaByCode",
               "02",
               "clear Txt_CodeCentreMedQuartier\ntype Txt_CodeCentreMedQuartier 5\n"
               "key Txt_CodeCentreMedQuartier Enter",
               {"005", "ARCHE", "001", "PONT"},
               {"PONT"},
               "",
               {},
               "005001"},
        Relink{"CentreCodePaddedOnLeaving",
               "02",
               "clear Txt_CodeCentreMedQuartier\ntype Txt_CodeCentreMedQuartier 5\n"
               "key Txt_CodeCentreMedQuartier Tab",
               {"005", "ARCHE", "001", "PONT"},
               {"PONT"},
               "",
               {},
               "005001"},
        Relink{"CentreWithOneAntennaByLabel",
               "02",
               "choose Cbo_LibCentreMedQuartier 0",
               {"005", "ARCHE", "001", "PONT"},
               {"PONT"},
               "",
               {},
               "005001"},
        Relink{"AntennaByCodeWithEnter",
               "02",
               "clear Txt_CodeAntMedQuartier\ntype Txt_CodeAntMedQuartier 4\n"
               "key Txt_CodeAntMedQuartier Enter",
               {"012", "LILAS", "004", "PORTE"},
               {"GARE", "HALLES", "PORTE"},
               "",
               {},
               "012004"},
        Relink{"SameAntennaTypedAgain",
               "02",
               "clear Txt_CodeAntMedQuartier\ntype Txt_CodeAntMedQuartier 005",
               kCloitreLinks,
               {"GARE", "HALLES", "PORTE"},
               "",
               {},
               "012005"},
        // 0010201 TILLEULS is linked to 005001 (ARCHE, PONT).
        Relink{"CentreWithSeveralAntennas",
               "01",
               "choose Cbo_LibCentreMedQuartier 2",
               {"012", "LILAS", "", ""},
               {"GARE", "HALLES", "PORTE"},
               "choose Cbo_LibAntMedQuartier 1",
               {"012", "LILAS", "001", "HALLES"},
               "012001"},
        Relink{"CentreWithSeveralAntennasByCode",
               "01",
               "clear Txt_CodeCentreMedQuartier\ntype Txt_CodeCentreMedQuartier 12\n"
               "key Txt_CodeCentreMedQuartier Enter",
               {"012", "LILAS", "", ""},
               {"GARE", "HALLES", "PORTE"},
               "type Txt_CodeAntMedQuartier 5\nkey Txt_CodeAntMedQuartier Enter",
               {"012", "LILAS", "005", "GARE"},
               "012005"},
        Relink{"CentreWithoutAntennaLeavesTheLink",
               "01",
               "choose Cbo_LibCentreMedQuartier 1",
               {"030", "DUNES", "", ""},
               {},
               "",
               {},
               "005001"},
        Relink{"AntennaLeftEmptyLeavesTheLink",
               "01",
               "choose Cbo_LibCentreMedQuartier 2",
               {"012", "LILAS", "", ""},
               {"GARE", "HALLES", "PORTE"},
               "",
               {},
               "005001"}),
    [](const auto& info) { return std::string(info.param.name); });

// The padding on leaving runs the antenna lookup, then writes the link.
TEST(Relinking, ALeftAntennaCodeIsPaddedThenWritten) {
    Session s;
    ASSERT_TRUE(s.Open("001", "02", "02"));
    s.Do(
        "clear Txt_CodeAntMedQuartier\ntype Txt_CodeAntMedQuartier 1\n"
        "key Txt_CodeAntMedQuartier Tab");
    EXPECT_EQ(s.TextsOf(kLinkFields), (Texts{"012", "LILAS", "001", "HALLES"}));
    EXPECT_EQ(s.TakeWrites(), Texts{"QUARTIER 0010202"});
    EXPECT_EQ(s.Stored("QUARTIER", "0010202", 2), "012001");
    EXPECT_TRUE(s.TakeMessages().empty());
}

// The link belongs to the shown neighbourhood: with its label emptied (which
// empties its code) the antenna code can be left without any write.
TEST(Relinking, NothingIsWrittenWithoutAShownNeighbourhood) {
    Session s;
    ASSERT_TRUE(s.Open("001", "02", "02"));
    s.Do("clear Cbo_LibQuartier");
    ASSERT_EQ(s.TextsOf(kNeighbourhoodFields), (Texts{"", ""}));
    s.Do(
        "clear Txt_CodeAntMedQuartier\ntype Txt_CodeAntMedQuartier 4\n"
        "key Txt_CodeAntMedQuartier Enter\nkey Txt_CodeAntMedQuartier Tab");
    EXPECT_EQ(s.TextsOf(kLinkFields), (Texts{"012", "LILAS", "004", "PORTE"}));
    EXPECT_TRUE(s.TakeWrites().empty());
    EXPECT_EQ(s.Stored("QUARTIER", "0010202", 2), "012005");
}

// A rename after a relink keeps the new link, and the relink keeps the label.
TEST(Relinking, ThenRenamingKeepsBoth) {
    Session s;
    ASSERT_TRUE(s.Open("001", "02", "02"));
    s.Do(
        "clear Txt_CodeAntMedQuartier\ntype Txt_CodeAntMedQuartier 001\n"
        "key Txt_CodeAntMedQuartier Tab");
    s.Do("select Cbo_LibQuartier\ntype Cbo_LibQuartier préau\nkey Cbo_LibQuartier Tab");
    EXPECT_EQ(s.TakeWrites(), (Texts{"QUARTIER 0010202", "QUARTIER 0010202"}));
    EXPECT_EQ(s.Stored("QUARTIER", "0010202", 1), "PRÉAU");
    EXPECT_EQ(s.Stored("QUARTIER", "0010202", 2), "012001");
    EXPECT_EQ(s.TextsOf(kLinkFields), (Texts{"012", "LILAS", "001", "HALLES"}));
}

// An antenna code is looked up under the shown centre: 004 exists under 012
// (PORTE) but not under 005.
TEST(Relinking, TheAntennaCodeIsReadUnderTheShownCentre) {
    Session s;
    ASSERT_TRUE(s.Open("001", "02", "01"));
    s.Do("clear Txt_CodeAntMedQuartier\ntype Txt_CodeAntMedQuartier 004");
    EXPECT_TRUE(OneBox(s.TakeMessages(), kUnknownAntenna, forms::vbExclamation));
    EXPECT_EQ(s.TextsOf(kLinkFields), (Texts{"005", "ARCHE", "", ""}));
    s.Do(
        "clear Txt_CodeCentreMedQuartier\ntype Txt_CodeCentreMedQuartier 012\n"
        "type Txt_CodeAntMedQuartier 004");
    EXPECT_TRUE(s.TakeMessages().empty());
    EXPECT_EQ(s.TextsOf(kLinkFields), (Texts{"012", "LILAS", "004", "PORTE"}));
    EXPECT_TRUE(s.TakeWrites().empty());
}

// --- Messages of the link fields ---

TEST(LinkMessages, AnUnknownCentreEmptiesBothPairs) {
    Session s;
    ASSERT_TRUE(s.Open("001", "02", "02"));
    s.Do(
        "clear Txt_CodeCentreMedQuartier\ntype Txt_CodeCentreMedQuartier 77\n"
        "key Txt_CodeCentreMedQuartier Enter");
    EXPECT_TRUE(OneBox(s.TakeMessages(), kUnknownCentre, forms::vbExclamation));
    EXPECT_EQ(s.TextsOf(kLinkFields), (Texts{"", "", "", ""}));
    EXPECT_EQ(s.Focus(), "Txt_CodeCentreMedQuartier");
    EXPECT_EQ(s.TextsOf(kNeighbourhoodFields), (Texts{"02", "CLOITRE"}));
    EXPECT_TRUE(s.TakeWrites().empty());
}

// The centre stays, and the message box does not count as the focus coming
// back into the editor: the centre list is not read again.
TEST(LinkMessages, AnUnknownAntennaEmptiesTheAntennaOnly) {
    Session s;
    ASSERT_TRUE(s.Open("001", "02", "02"));
    AddCentre(s, "040", "BRUYERE");
    s.Do(
        "clear Txt_CodeAntMedQuartier\ntype Txt_CodeAntMedQuartier 9\n"
        "key Txt_CodeAntMedQuartier Enter");
    EXPECT_TRUE(OneBox(s.TakeMessages(), kUnknownAntenna, forms::vbExclamation));
    EXPECT_EQ(s.TextsOf(kLinkFields), (Texts{"012", "LILAS", "", ""}));
    EXPECT_EQ(s.Focus(), "Txt_CodeAntMedQuartier");
    EXPECT_EQ(s.Items("Cbo_LibCentreMedQuartier"), (Texts{"ARCHE", "DUNES", "LILAS"}));
    s.Do("key Txt_CodeAntMedQuartier Tab");
    EXPECT_TRUE(s.TakeWrites().empty());
    EXPECT_EQ(s.Stored("QUARTIER", "0010202", 2), "012005");
}

TEST(LinkMessages, AnAntennaLabelLeftEmptyUnderACentre) {
    Session s;
    ASSERT_TRUE(s.Open("001", "02", "02"));
    s.Do("clear Cbo_LibAntMedQuartier");
    EXPECT_EQ(s.Text("Txt_CodeAntMedQuartier"), "");
    s.Do("key Cbo_LibAntMedQuartier Tab");
    EXPECT_TRUE(OneBox(s.TakeMessages(), kAntennaLabelNeeded, forms::vbExclamation));
    EXPECT_EQ(s.TextsOf(kLinkFields), (Texts{"012", "LILAS", "", ""}));
    EXPECT_EQ(s.Focus(), "Txt_CodeAntMedQuartier");
    EXPECT_TRUE(s.TakeWrites().empty());
}

TEST(LinkMessages, NoMessageForAnEmptyAntennaLabelWithoutCentre) {
    Session s;
    ASSERT_TRUE(s.Open("001", "02", "02"));
    s.Do("clear Cbo_LibCentreMedQuartier");
    EXPECT_EQ(s.TextsOf(kLinkFields), (Texts{"", "", "", ""}));
    s.Do("focus Cbo_LibAntMedQuartier\nkey Cbo_LibAntMedQuartier Tab");
    EXPECT_TRUE(s.TakeMessages().empty());
    EXPECT_TRUE(s.TakeWrites().empty());
    EXPECT_EQ(s.Stored("QUARTIER", "0010202", 2), "012005");
}

// Without a centre the antenna list offers nothing when it opens.
TEST(AntennaList, OpensEmptyWithoutCentre) {
    Session s;
    ASSERT_TRUE(s.Open("001", "02", "02"));
    EXPECT_EQ(s.Items("Cbo_LibAntMedQuartier"), (Texts{"GARE", "HALLES", "PORTE"}));
    s.Do("clear Cbo_LibCentreMedQuartier");
    std::ostringstream out;
    // An empty list has nothing to open and no entry to choose.
    EXPECT_FALSE(s.Driver().Execute("choose Cbo_LibAntMedQuartier 0", out));
    EXPECT_THAT(out.str(), ::testing::AnyOf(::testing::HasSubstr("has 0 entries"),
                                            ::testing::HasSubstr("did not open")));
    EXPECT_TRUE(s.Items("Cbo_LibAntMedQuartier").empty());
    EXPECT_TRUE(s.TakeMessages().empty());
}

// --- Coming back from a dialog ---

// Back from a modal dialog, the link fields are empty and the centre list is
// read again; the neighbourhood itself stays shown and nothing is written.
TEST(ReturnFromDialog, EmptiesTheLinksAndRereadsTheCentres) {
    Session s;
    ASSERT_TRUE(s.Open("001", "02", "02"));
    AddCentre(s, "040", "BRUYERE");

    forms::ModalForm dialog(s.Driver().Editor());
    dialog.setObjectName(QStringLiteral("Frm_Essai"));
    auto* field = new forms::TextBox(&dialog);
    field->setObjectName(QStringLiteral("Txt_Essai"));
    dialog.SetTabIndex(field, 0);
    forms::ScriptedUiService& ui = s.Driver().Ui();
    auto previous = ui.ModalShown;
    ui.ModalShown = [&](forms::ModalForm&) { s.Do("type Txt_Essai x\nclose Frm_Essai"); };
    ui.ShowModal(dialog);
    ui.ModalShown = previous;
    forms::WaitIdle();

    EXPECT_TRUE(QTest::qWaitFor([&] { return s.Text("Txt_CodeCentreMedQuartier").empty(); }));
    EXPECT_EQ(s.TextsOf(kLinkFields), (Texts{"", "", "", ""}));
    EXPECT_EQ(s.Items("Cbo_LibCentreMedQuartier"), (Texts{"ARCHE", "BRUYERE", "DUNES", "LILAS"}));
    EXPECT_EQ(s.TextsOf(kNeighbourhoodFields), (Texts{"02", "CLOITRE"}));
    EXPECT_TRUE(s.TakeMessages().empty());
    // Leaving the emptied antenna code keeps the stored link.
    s.Do("focus Txt_CodeAntMedQuartier\nkey Txt_CodeAntMedQuartier Tab");
    EXPECT_TRUE(s.TakeWrites().empty());
    EXPECT_EQ(s.Stored("QUARTIER", "0010202", 2), "012005");
}

}  // namespace
}  // namespace levels_test
