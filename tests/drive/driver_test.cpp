// Scripts played in-process on a small database: the state after Init, the
// commands no other test plays, errors, message-box answers, records, a
// script ending inside a dialog, and Sortir.
#include <control/screen_model.h>
#include <control/secteur_editor.h>
#include <forms/msgbox.h>
#include <forms/textbox.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "editor_harness.h"

namespace {

using drive::Json;

// Sectors listed CENTRE, EST, NORD; CHEF has level 2, AGENT level 1.
const std::vector<std::string> kRecords = {
    "SECTEUR;001;1=NORD;3=AG-1;4=12125|SECTEUR;002;1=CENTRE|SECTEUR;003;1=EST",
    "SOUSSECTEUR;00101;1=NORD A|QUARTIER;0010101;1=QUARTIER UN;2=001001",
    "CENTREMEDICAL;001;1=CENTRE MÉDICAL UN|CENTREMEDICAL;002;1=CENTRE MÉDICAL DEUX",
    "ANTENNEMEDICALE;001001;1=ANTENNE UNE|ASSOCIATION;001;1=ASSO A",
    "COMPTEUR;999;1=COMPTEUR|DROITS;CHEF;1=SECTEUR]CENTREMEDICAL;2=2]2",
    "DROITS;AGENT;1=SECTEUR;2=1"};

// What each kind of user finds after Init belongs to the control's and the
// shipped programs' tests; here, how the state shows it.
TEST(Driver, StateAfterInit) {
    harness::Session s("AGENT", kRecords);
    const harness::Played played = s.PlayAnyway("state\n");
    ASSERT_EQ(played.lines.size(), 1u);
    const Json& state = played.lines[0];
    EXPECT_EQ(state["form"], "Ctr_Secteur");
    EXPECT_EQ(state["pointer"], "default");
    EXPECT_EQ(state["sortir"], false);
    for (const char* list : {"messages", "writes", "help"}) EXPECT_EQ(state[list], Json::array());
    const Json& controls = state["controls"];
    EXPECT_EQ(controls.size(), zonitra::kControlCount);
    EXPECT_EQ(controls["Cmd_AjouterSecteur"]["visible"], false);
    EXPECT_EQ(controls["Txt_CodeSousSecteur"]["enabled"], false);
    EXPECT_EQ(controls["Cmd_Agrement"]["text"], "Agrément Entité/Département");
    EXPECT_EQ(controls["Cbo_LibSecteur"]["items"], (Json{"CENTRE", "EST", "NORD"}));
    EXPECT_FALSE(controls["Txt_CodeSecteur"].contains("items"));
}

TEST(Driver, BackTabCaretAndListClickActAsAnOperator) {
    struct Case {
        const char* script;
        const char* pointer;  // into the state printed after the script
        Json expected;
    };
    // Typing, selecting, clearing, choosing, Tab and the help menu are played by
    // every levels and dialogs test; here, what they do not need.
    const Case cases[] = {
        {"key Txt_Dep BackTab", "/focus", "Txt_NumCRAM"},
        {"type Txt_Dep 3\nfocus Txt_NumCRAM\nfocus Txt_Dep\ntype Txt_Dep 4",
         "/controls/Txt_Dep/text", "34"},  // a click leaves the caret after the text
        {"click Cbo_LibSecteur", "/focus", "Cbo_LibSecteur"}};
    for (const Case& c : cases) {
        harness::Session s("CHEF", kRecords);
        const harness::Played played = s.PlayAnyway(std::string(c.script) + "\nstate\n");
        EXPECT_EQ(played.status, 0) << c.script;
        ASSERT_EQ(played.lines.size(), 1u) << c.script;
        EXPECT_EQ(played.lines[0].at(Json::json_pointer(c.pointer)), c.expected) << c.script;
    }
}

TEST(Driver, AMistakePrintsItsErrorGoesOnAndFailsTheScript) {
    const std::pair<const char*, const char*> mistakes[] = {
        {"frobnicate", "unknown command \"frobnicate\""},
        {"click Cmd_Rien", "no control named Cmd_Rien in Ctr_Secteur"},
        {"type Txt_CodeSousSecteur 01", "Txt_CodeSousSecteur is disabled"},
        {"click Cmd_GestionDocumentaire", "Cmd_GestionDocumentaire is hidden"},
        {"type Cmd_SortirSecteurGeo x",
         "Cmd_SortirSecteurGeo is not a text box or a list: it takes no typing"},
        {"rclick Txt_CodeSecteur\nmenu Mnu_Sommaire", "no pop-up menu is open"},
        {"close Frm_Adresse", "no open window named Frm_Adresse"},
        {"choose Cbo_LibSecteur 3", "Cbo_LibSecteur has 3 entries: there is no entry 3"},
        {"record FICHIER 1", "the database has no file FICHIER"}};
    harness::Session s("CHEF", kRecords);
    for (const auto& [script, error] : mistakes) {
        const harness::Played played = s.PlayAnyway(std::string(script) + "\nstate\n");
        ASSERT_EQ(played.lines.size(), 2u) << script;
        // The error names the script line of the mistake: the script's last.
        const std::string text = script;
        const int line = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
        EXPECT_EQ(played.lines[0], (Json{{"error", error}, {"line", line}}));
        EXPECT_EQ(played.lines[1]["form"], "Ctr_Secteur");
        EXPECT_EQ(played.status, 1);
    }
}

TEST(Driver, QueuedAnswersGoToTheNextMessageBoxesInOrder) {
    harness::Session s("CHEF", kRecords);
    // A field that asks two questions at '?': what the driver's answers reach.
    s.Editor().Screen().Txt_NumCRAM->KeyPress = [](std::int16_t& key) {
        if (key != '?') return;
        key = 0;
        forms::Ui().MsgBox("Continuer ?", forms::vbYesNo | forms::vbQuestion, "Message ORVANIS");
        forms::Ui().MsgBox("Enregistrer ?", forms::vbYesNoCancel, "Message ORVANIS");
    };
    const harness::Played played =
        s.PlayAnyway("answer No Cancel\ntype Txt_NumCRAM ?\nstate\ntype Txt_NumCRAM ?\nstate\n");
    ASSERT_EQ(played.lines.size(), 2u);
    EXPECT_EQ(played.status, 0);
    const Json& answered = played.lines[0]["messages"];
    ASSERT_EQ(answered.size(), 2u);
    EXPECT_EQ(answered[0], Json::parse(R"({"text": "Continuer ?", "title": "Message ORVANIS",
        "style": 36, "icon": "question", "buttons": ["Yes", "No"], "answer": "No",
        "unanswered": false})"));
    EXPECT_EQ(answered[1]["answer"], "Cancel");
    // No answer queued: the first button, flagged.
    const Json& unanswered = played.lines[1]["messages"];
    ASSERT_EQ(unanswered.size(), 2u);
    EXPECT_EQ(unanswered[0]["answer"], "Yes");
    EXPECT_EQ(unanswered[0]["unanswered"], true);
    EXPECT_EQ(unanswered[1]["unanswered"], true);
}

// The dialog's own behaviour (the close box refused, the write) belongs to the
// companions' tests; here, what the driver reports of it and of records.
TEST(Driver, RecordsAndAScriptEndingInsideADialog) {
    harness::Session s("CHEF", kRecords);
    s.Driver().Editor()->OfferMedicalCentreEditor(true);
    s.Driver().Editor()->Voir_Quartier();
    const harness::Played played =
        s.PlayAnyway("record CENTREMEDICAL 001\nrecord CENTREMEDICAL 404\n");
    ASSERT_EQ(played.lines.size(), 2u);
    EXPECT_EQ(played.lines[0], Json::parse(R"({"file":"CENTREMEDICAL","key":"001",)"
                                           R"("attributes":["CENTRE MÉDICAL UN"]})"));
    EXPECT_EQ(played.lines[1],
              (Json{{"file", "CENTREMEDICAL"}, {"key", "404"}, {"exists", false}}));

    const harness::Played ended = s.PlayAnyway("click Cmd_AjouterCentreMedQuartier\n");
    ASSERT_EQ(ended.lines.size(), 1u);
    EXPECT_EQ(ended.lines[0],
              (Json{{"error",
                     "the script ended while the dialog Frm_CentreMedical is open; it is closed"},
                    {"line", 1}}));
    EXPECT_EQ(ended.status, 1);
}

}  // namespace

TEST(Driver, SortirSetsTheFlagThenUnloadsTheHostForm) {
    harness::Session s("CHEF", kRecords);
    const harness::Played played = s.PlayAnyway("state\nclick Cmd_SortirSecteurGeo\nstate\n");
    ASSERT_EQ(played.lines.size(), 2u);
    EXPECT_EQ(played.lines[0]["sortir"], false);
    EXPECT_EQ(played.lines[1]["sortir"], true);
    EXPECT_EQ(played.lines[1]["form"], nullptr);
    EXPECT_FALSE(s.Driver().HostForm()->isVisible());
    EXPECT_EQ(s.Driver().Editor()->G_SortirSecteur(), zonitra::kTrue);
}
