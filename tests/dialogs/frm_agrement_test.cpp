// The approval dialog opened from the editor and played by the scripted
// operator: choosing an entity, the date field, saving in place or after the
// last approval, deleting, the answers of "Annuler", rights, refused numbers,
// help, the hourglass and the return to the editor.

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "control/secteur_editor.h"
#include "dialogs/frm_agrement.h"
#include "editor_harness.h"
#include "forms/button.h"
#include "forms/focus.h"
#include "forms/textbox.h"
#include "forms/uiservice.h"
#include "operator.h"

namespace {

using harness::Json;
using Texts = std::vector<std::string>;

// The database of these cases: the legal entities listed by label, sector
// 100's one neighbourhood linked to antenna 005001, CHEF level 2 on SECTEUR.
const std::vector<std::string> kRecords = {
    "ASSOCIATION;001;1=AIDE À DOMICILE|ASSOCIATION;002;1=SOLIDARITÉ",
    "ASSOCIATION;004;1=FOYERS|ASSOCIATION;007;1=ÉCLAT",
    "SOUSSECTEUR;10001;1=SS|QUARTIER;1000101;1=Q;2=005001",
    "CENTREMEDICAL;005;1=ARCHE|ANTENNEMEDICALE;005001;1=PONT",
    "COMPTEUR;999;1=1|DROITS;CHEF;1=SECTEUR;2=2"};

// Attributes 17 | 18 | 19 of each sector, values joined by ";".
const std::map<std::string, std::string> kBefore = {
    {"100", " |  | "},
    {"200", "002 | 12125 | AG-2"},
    {"300", "001;004 | 18874;19531 | AG-1;AG-4"},
    {"500", "001;002;004 | 19274;19373;19756 | N1;N2;N4"},
    {"600", "001;004 | 18874 | AG-1;AG-4;ORPHAN"}};  // lists of different lengths

// The sectors as kBefore gives them; attribute 21 follows the approvals, to
// be kept as it is.
std::vector<std::string> Records() {
    std::vector<std::string> records = kRecords;
    for (const auto& [key, approvals] : kBefore) {
        std::string record = "SECTEUR;" + key + ";1=S" + key + ";21=69", lists = approvals;
        std::replace(lists.begin(), lists.end(), ';', ']');
        int attr = 17;
        for (std::size_t begin = 0, end = 0; end != std::string::npos; begin = end + 3) {
            end = lists.find(" | ", begin);
            record += ";" + std::to_string(attr++) + "=" + lists.substr(begin, end - begin);
        }
        records.push_back(record);
    }
    return records;
}

// Attributes 17 | 18 | 19 of a sector record, values joined by ";".
std::string Approvals(const std::function<std::string(int)>& get) {
    std::string text = get(17) + " | " + get(18) + " | " + get(19);
    std::replace(text.begin(), text.end(), kelmor::kValueMark, ';');
    return text;
}

class Agrement : public harness::Session {
public:
    Agrement() : Session("CHEF", Records()) { OfferHostButtons(); }
    // As stored, and as the editor's current sector record holds them.
    std::string Stored(const std::string& key) const {
        return Approvals([&](int attr) { return TestData::Stored("SECTEUR", key, attr); });
    }
    std::string Current() const {
        const auto& record = Editor().State().records.secteur;
        return record ? Approvals([&](int attr) { return record->Get(attr); }) : "<none>";
    }
};

// The dialog's code|label|date|number|, then E or - for Txt_CodAsso, Cbo_Asso,
// Txt_Date, Txt_Num, Cmd_Ok, Cmd_Annuler, Cmd_Sup and Cmd_Retour being enabled.
std::string Screen(const Json& state) {
    const Json& c = state["controls"];
    std::string screen;
    for (const char* name : {"Txt_CodAsso", "Cbo_Asso", "Txt_Date", "Txt_Num"})
        screen += c[name]["text"].get<std::string>() + "|";
    for (const char* name : {"Txt_CodAsso", "Cbo_Asso", "Txt_Date", "Txt_Num", "Cmd_Ok",
                             "Cmd_Annuler", "Cmd_Sup", "Cmd_Retour"})
        screen += c[name]["enabled"].get<bool>() ? 'E' : '-';
    return screen;
}

// Each message box's text, then its buttons unless it has OK alone; each is
// checked for its title and icon.
Texts Messages(const Json& state) {
    Texts texts;
    for (const Json& m : state["messages"]) {
        EXPECT_EQ(m["title"], "Message ORVANIS");
        EXPECT_EQ(m["icon"], "exclamation");
        std::string text = m["text"];
        if (m["buttons"] != Json{"OK"}) text += " " + m["buttons"].dump();
        texts.push_back(text);
    }
    return texts;
}

const std::string kChoosing = "||||EE-----E";
const std::string kNew = "--EEEE--", kFound = "--EEEEE-";

const std::string kUnknown = "Cette entité juridique n'existe pas.";
const std::string kDateNeeded = "La date d'agrément est obligatoire.";
const std::string kBadNumber = "Le numéro d'enregistrement n'est pas valide.";
const std::string kSave =
    "Voulez-vous enregistrer les modifications apportées à cet agrément ? "
    R"(["Yes","No","Cancel"])";
const std::string kDelete = R"(Voulez-vous supprimer cet agrément ? ["Yes","No"])";

// Code disabling the control that holds the focus moves it nowhere: after a
// lookup (the code field disabled) and back to choosing (the button pressed
// disabled), it waits on the dialog itself.
const std::string kParked = "Frm_Agrement";

struct Case {
    const char* name;
    const char* sector;
    std::string script;  // played in the dialog
    std::string screen;  // the dialog's afterwards
    Texts messages;
    std::string focus;
    int writes = 0;        // of the sector record
    std::string stored{};  // its attributes 17 | 18 | 19 afterwards; "" when unchanged
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class Dialog : public ::testing::TestWithParam<Case> {};

TEST_P(Dialog, ShowsAsksAndWritesAsTheOperatorExpects) {
    const Case& c = GetParam();
    Agrement a;
    const std::vector<Json> printed =
        a.Play(std::string("type Txt_CodeSecteur ") + c.sector + "\nclick Cmd_Agrement\n" +
               c.script + "\nstate\nclose Frm_Agrement\n");
    ASSERT_EQ(printed.size(), 1u);
    const Json& state = printed[0];
    EXPECT_EQ(state["form"], "Frm_Agrement");
    EXPECT_EQ(Screen(state), c.screen);
    EXPECT_EQ(Messages(state), c.messages);
    EXPECT_EQ(state["focus"], c.focus);
    const Json write{{"file", "SECTEUR"}, {"key", c.sector}};
    EXPECT_EQ(state["writes"], Json(std::vector<Json>(std::size_t(c.writes), write)));
    const std::string stored = c.stored.empty() ? kBefore.at(c.sector) : c.stored;
    EXPECT_EQ(a.Stored(c.sector), stored);
    EXPECT_EQ(a.Current(), stored) << "the editor's record is the one written";
}

const std::string k001 = "type Txt_CodAsso 001\n", k004 = "type Txt_CodAsso 004\n";
const std::string kAide = "001|AIDE À DOMICILE|", kFoyers = "004|FOYERS|21/06/2021|AG-4|";
const auto kName = [](const auto& info) { return std::string(info.param.name); };

// clang-format off
INSTANTIATE_TEST_SUITE_P(Choosing, Dialog, ::testing::Values(
    Case{"DigitsOnlyEnterPads", "300", "type Txt_CodAsso a7b\nkey Txt_CodAsso Enter",
         "007|ÉCLAT|||" + kNew, {}, kParked},
    Case{"LeavingPads", "300", "type Txt_CodAsso 4\nkey Txt_CodAsso Tab", kFoyers + kFound, {},
         kParked},
    Case{"BackspacePasses", "300", "type Txt_CodAsso 14\nkey Txt_CodAsso Backspace\n"
         "key Txt_CodAsso Enter", kAide + "03/09/2019|AG-1|" + kFound, {}, kParked},
    Case{"ByLabel", "300", "choose Cbo_Asso 2", kFoyers + kFound, {}, kParked},
    Case{"ShortCodeWaits", "300", "type Txt_CodAsso 12", "12" + kChoosing, {}, "Txt_CodAsso"},
    Case{"EnterOnEmptyIs000", "300", "key Txt_CodAsso Enter", kChoosing, {kUnknown},
         "Txt_CodAsso"}), kName);

INSTANTIATE_TEST_SUITE_P(Date, Dialog, ::testing::Values(
    Case{"DigitsAndSlashOnlyEnterCompletes", "100", k001 + "type Txt_Date 1a2-0.3 2001\n"
         "key Txt_Date Enter", kAide + "12/03/2001||" + kNew, {}, "Txt_Date"},
    Case{"LeavingCompletes", "100", k001 + "type Txt_Date 12/3/01\nkey Txt_Date Tab",
         kAide + "12/03/2001||" + kNew, {}, "Txt_Num"},
    Case{"ShapelessEmptiedSilently", "100", k001 + "type Txt_Date 1//\nkey Txt_Date Enter",
         kAide + "||" + kNew, {}, "Txt_Date"}), kName);

INSTANTIATE_TEST_SUITE_P(Ok, Dialog, ::testing::Values(
    Case{"DateInPlace", "300", k001 + "select Txt_Date\ntype Txt_Date 12/03/01\nclick Cmd_Ok",
         kChoosing, {}, kParked, 1, "001;004 | 12125;19531 | AG-1;AG-4"},
    Case{"NewEntityAfterTheLast", "300", "type Txt_CodAsso 007\ntype Txt_Date 12/03/2001\n"
         "type Txt_Num N-7\nclick Cmd_Ok", kChoosing, {}, kParked, 1,
         "001;004;007 | 18874;19531;12125 | AG-1;AG-4;N-7"},
    // Leaving the date with a valid date is a change, even the same day.
    Case{"SameDateRetypedWrittenAgain", "300", k004 + "select Txt_Date\n"
         "type Txt_Date 21/6/21\nclick Cmd_Ok", kChoosing, {}, kParked, 1},
    Case{"OnlyApprovalRetypedNotWritten", "200", "type Txt_CodAsso 002\nselect Txt_Num\n"
         "type Txt_Num AG-2\nclick Cmd_Ok", kChoosing, {}, kParked},
    Case{"OneOfTwoRetypedWrittenAgain", "300", k004 + "select Txt_Num\ntype Txt_Num AG-4\n"
         "click Cmd_Ok", kChoosing, {}, kParked, 1},
    Case{"BothEmptyDateFirst", "100", k001 + "click Cmd_Ok", kAide + "||" + kNew, {kDateNeeded},
         "Txt_Date"},
    Case{"NumberRequired", "100", k001 + "type Txt_Date 1/1/20\nclick Cmd_Ok",
         kAide + "01/01/2020||" + kNew, {kBadNumber}, "Txt_Num"},
    // Codes 001 004, one date, three numbers: rows as long as the longest list.
    Case{"UnevenListsRowFilledInPlace", "600", k004 + "type Txt_Date 12/03/2001\nclick Cmd_Ok",
         kChoosing, {}, kParked, 1, "001;004; | 18874;12125; | AG-1;AG-4;ORPHAN"},
    Case{"UnevenListsNewAfterTheLongest", "600", "type Txt_CodAsso 007\n"
         "type Txt_Date 12/03/2001\ntype Txt_Num N-7\nclick Cmd_Ok", kChoosing, {}, kParked, 1,
         "001;004;;007 | 18874;;;12125 | AG-1;AG-4;ORPHAN;N-7"}), kName);

INSTANTIATE_TEST_SUITE_P(SupprimerAnnuler, Dialog, ::testing::Values(
    Case{"Middle", "500", "type Txt_CodAsso 002\nanswer Yes\nclick Cmd_Sup", kChoosing,
         {kDelete}, kParked, 1, "001;004 | 19274;19756 | N1;N4"},
    Case{"Refused", "500", k001 + "answer No\nclick Cmd_Sup", kAide + "07/10/2020|N1|" + kFound,
         {kDelete}, "Cmd_Sup"},
    Case{"TheOnlyOne", "200", "type Txt_CodAsso 002\nanswer Yes\nclick Cmd_Sup", kChoosing,
         {kDelete}, kParked, 1, " |  | "},
    // Every list loses its first row: the lone number moves up with the rest.
    Case{"UnevenLists", "600", k001 + "answer Yes\nclick Cmd_Sup", kChoosing, {kDelete}, kParked,
         1, "004; | ; | AG-4;ORPHAN"},
    Case{"NothingChangedNoQuestion", "300", k004 + "click Cmd_Annuler", kChoosing, {}, kParked},
    Case{"YesStopsOnOksCheck", "100", k001 + "type Txt_Num N\nanswer Yes\nclick Cmd_Annuler",
         kAide + "|N|" + kNew, {kSave, kDateNeeded}, "Txt_Date"}), kName);
// clang-format on

// Each opening starts afresh, on the one instance, in the designer's state.
TEST(FrmAgrement, EveryOpeningStartsFromTheDesignerState) {
    Agrement a;
    const std::vector<Json> printed =
        a.Play("type Txt_CodeSecteur 300\nclick Cmd_Agrement\nstate\n" + k004 +
               "select Txt_Num\ntype Txt_Num 1234567890ABCDEF\nstate\nclose Frm_Agrement\n"
               "click Cmd_Agrement\nstate\nclose Frm_Agrement\n");
    ASSERT_EQ(printed.size(), 3u);
    EXPECT_EQ(printed[1]["controls"]["Txt_Num"]["text"], "1234567890AB");
    EXPECT_EQ(printed[2]["controls"], printed[0]["controls"]);
    EXPECT_EQ(printed[2]["focus"], "Txt_CodAsso");
    const Json& c = printed[0]["controls"];
    EXPECT_EQ(Screen(printed[0]), kChoosing);
    EXPECT_EQ(c["Cbo_Asso"]["items"], (Json{"AIDE À DOMICILE", "ÉCLAT", "FOYERS", "SOLIDARITÉ"}));
    EXPECT_EQ(a.Driver().HostForm()->findChildren<zonitra::Frm_Agrement*>().size(), 1);
}

// Right click on the background, not on a label, offers the help page;
// closing gives the focus back to the editor. What the editor's EnterFocus
// then empties belongs to the control's tests.
TEST(FrmAgrement, HelpThenBackToTheEditor) {
    Agrement a;
    const std::vector<Json> printed = a.Play(
        "type Txt_CodeSecteur 100\nclick Cmd_Agrement\nclick Frm_Agrement\n"
        "rclick Etq_Asso\nrclick Frm_Agrement\nmenu Mnu_Sommaire\nstate\n"
        "click Cmd_Retour\nstate\n");
    ASSERT_EQ(printed.size(), 2u);
    EXPECT_EQ(printed[0]["help"], Json::parse(R"([{"page":"SecteurAgrement.htm","letter":"S",
                                                   "title":"Agrément par entité"}])"));
    EXPECT_EQ(printed[1]["form"], "Ctr_Secteur");
    EXPECT_EQ(printed[1]["focus"], "Cmd_Agrement");
}

// Runs `act` inside the dialog opened on sector 100, then closes it.
void Inside(Agrement& a, const std::function<void(zonitra::Frm_Agrement&)>& act) {
    a.Driver().Ui().ModalShown = [&](forms::ModalForm& shown) {
        act(static_cast<zonitra::Frm_Agrement&>(shown));
        if (shown.isVisible()) drive::CloseWindow(&shown);
    };
    drive::Type(zonitra::EditorOf(*a.Driver().Editor()).Screen().Txt_CodeSecteur, "100");
    drive::Click(zonitra::EditorOf(*a.Driver().Editor()).Screen().Cmd_Agrement, Qt::LeftButton);
}

// Whatever is typed or pasted, a number never splits an approval: "ýþü" are
// stored as such, a NUL (no record can hold one) is refused.
TEST(FrmAgrement, NumbersAreStoredWholeOrRefused) {
    Agrement a;
    Inside(a, [&](zonitra::Frm_Agrement& f) {
        drive::Type(f.Txt_CodAsso, "001");
        drive::Type(f.Txt_Date, "12/03/2001");
        drive::Type(f.Txt_Num, "N°ýþü");
        drive::Click(f.Cmd_Ok, Qt::LeftButton);
        drive::Type(f.Txt_CodAsso, "002");
        drive::Type(f.Txt_Date, "12/03/2001");
        drive::Focus(f.Txt_Num);
        QApplication::clipboard()->setText(QString("A") + QChar(0) + "B");
        QTest::keyClick(f.Txt_Num, Qt::Key_V, Qt::ControlModifier);
        ASSERT_EQ(f.Txt_Num->Text().size(), 3);
        drive::Click(f.Cmd_Ok, Qt::LeftButton);
        EXPECT_EQ(f.Txt_Num->Text(), "");
        EXPECT_EQ(forms::FocusedControl(), f.Txt_Num);
    });
    const Json state = a.Driver().State();
    EXPECT_EQ(Messages(state), Texts{kBadNumber});
    EXPECT_EQ(state["writes"].size(), 1u);
    EXPECT_EQ(a.Current(), "001 | 12125 | N°ýþü");
}

// The lookup of an entity runs behind the hourglass on a disabled dialog and
// lets pending events run once; the focus then waits on the dialog.
TEST(FrmAgrement, LookupRunsBehindTheHourglass) {
    Agrement a;
    Inside(a, [&](zonitra::Frm_Agrement& f) {
        drive::Type(f.Txt_CodAsso, "00");
        std::string seen;
        QMetaObject::invokeMethod(
            &f,
            [&] {
                const bool hourglass = forms::Ui().CurrentPointer() == forms::Pointer::Hourglass;
                seen = std::string(hourglass ? "hourglass " : "default ") +
                       (f.isEnabled() ? "enabled " : "disabled ") +
                       f.Cbo_Asso->Text().toStdString();
            },
            Qt::QueuedConnection);
        QTest::keyClick(f.Txt_CodAsso, Qt::Key_1);
        EXPECT_EQ(seen, "hourglass disabled AIDE À DOMICILE");
        EXPECT_EQ(forms::Ui().CurrentPointer(), forms::Pointer::Default);
        EXPECT_TRUE(f.isEnabled());
        EXPECT_EQ(forms::FocusedControl(), &f);
    });
}

}  // namespace
