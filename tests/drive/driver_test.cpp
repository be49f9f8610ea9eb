// Scripts played in-process on the fixture database: the state after Init for
// each kind of user, help through the pop-up menu, typing and focus, lists,
// message boxes and their answers, modal dialogs, writes, records and errors.
//
// Where the editor has no behaviour of its own yet for a field, a test gives
// the field a handler (a question, a dialog, a write); the script still
// reaches it only through real key and mouse events.
#include <control/ctr_secteur.h>
#include <control/screen_model.h>
#include <forms/button.h>
#include <forms/modalform.h>
#include <forms/msgbox.h>
#include <forms/textbox.h>
#include <gtest/gtest.h>
#include <kelmor/database.h>

#include <QAbstractItemView>
#include <QApplication>
#include <sstream>

#include "driver.h"
#include "fixture.h"
#include "host_database.h"

namespace {

using drive::Json;
using drive_test::Fixture;

struct Played {
    std::vector<Json> lines;
    int status = 0;
};

class DriverTest : public ::testing::Test {
protected:
    void Start(const std::string& user = "CHEF") {
        driver_ = std::make_unique<drive::Driver>(
            drive::Record(host::OpenExisting(fixture_.Database())), user);
        driver_->Start();
    }

    Played Play(const std::string& script) {
        std::istringstream in(script);
        std::ostringstream out;
        Played played;
        played.status = driver_->Play(in, out);
        std::istringstream lines(out.str());
        for (std::string line; std::getline(lines, line);)
            played.lines.push_back(Json::parse(line));
        return played;
    }

    // The one line a script printed.
    Json Only(const std::string& script) {
        Played played = Play(script);
        EXPECT_EQ(played.lines.size(), 1u) << script;
        return played.lines.empty() ? Json() : played.lines.front();
    }

    const zonitra::SecteurScreen& Screen() { return driver_->Editor()->Screen(); }

    Fixture fixture_;
    std::unique_ptr<drive::Driver> driver_;
};

const char* const kAddAndConfirm[] = {"Cmd_AjouterSecteur", "Cmd_AjouterSousSecteur",
                                      "Cmd_AjouterQuartier", "Cmd_OkSecteurGeo"};

struct UserCase {
    const char* user;
    bool mayCreate;
};

void PrintTo(const UserCase& c, std::ostream* os) {
    *os << c.user;
}

class DriverInitTest : public DriverTest, public ::testing::WithParamInterface<UserCase> {};

TEST_P(DriverInitTest, StateAfterInitFollowsTheUsersRights) {
    Start(GetParam().user);
    const Json state = Only("state\n");
    EXPECT_EQ(state["form"], "Ctr_Secteur");
    EXPECT_EQ(state["pointer"], "default");
    EXPECT_EQ(state["sortir"], false);
    EXPECT_EQ(state["messages"], Json::array());
    EXPECT_EQ(state["writes"], Json::array());
    EXPECT_EQ(state["help"], Json::array());

    const Json& controls = state["controls"];
    EXPECT_EQ(controls.size(), zonitra::kControlCount);
    for (const char* name : kAddAndConfirm)
        EXPECT_EQ(controls[name]["visible"], GetParam().mayCreate) << name;
    EXPECT_EQ(controls["Cmd_SortirSecteurGeo"]["visible"], true);
    EXPECT_EQ(controls["Cmd_SortirSecteurGeo"]["enabled"], true);
    EXPECT_EQ(controls["Cmd_AnnulerSecteurGeo"]["enabled"], false);
    EXPECT_EQ(controls["Txt_CodeSecteur"]["enabled"], true);
    EXPECT_EQ(controls["Txt_CodeSousSecteur"]["enabled"], false);
    EXPECT_EQ(controls["Cdr_Quartier"]["enabled"], false);
    EXPECT_EQ(controls["Cmd_Agrement"]["text"], "Agrément Entité/Département");
    EXPECT_EQ(controls["Cbo_LibSecteur"]["items"], (Json{"CENTRE", "EST", "NORD"}));
    EXPECT_EQ(controls["Cbo_LibCentreMedQuartier"]["items"],
              (Json{"CENTRE MÉDICAL DEUX", "CENTRE MÉDICAL UN"}));
    EXPECT_EQ(controls["Cbo_LibSousSecteur"]["items"], Json::array());
    EXPECT_FALSE(controls["Txt_CodeSecteur"].contains("items"));
}

INSTANTIATE_TEST_SUITE_P(Users, DriverInitTest,
                         ::testing::Values(UserCase{"CHEF", true}, UserCase{"AGENT", false},
                                           UserCase{"INCONNU", false}),
                         [](const auto& info) { return std::string(info.param.user); });

TEST_F(DriverTest, StartFailsWithTheStepOfInitThatFailed) {
    auto db = host::OpenExisting(fixture_.Database());
    EXPECT_TRUE(db->OpenFile("COMPTEUR").DeleteRecord("999"));
    drive::Driver driver(drive::Record(db), "CHEF");
    try {
        driver.Start();
        FAIL() << "Init passed without COMPTEUR 999";
    } catch (const zonitra::InitError& error) {
        EXPECT_EQ(error.number(), kelmor::kNotFound);
    }
}

TEST_F(DriverTest, HelpThroughTheRightClickMenuIsReportedOnce) {
    Start();
    Played played = Play(
        "rclick Ctr_Secteur\nmenu Mnu_Sommaire\nstate\nstate\n"
        "rclick Cdr_Secteur\nmenu Mnu_Sommaire\nstate\n");
    ASSERT_EQ(played.lines.size(), 3u);
    EXPECT_EQ(played.status, 0);
    const Json topic{{"page", "Secteur.htm"}, {"letter", "P"}, {"title", "Les Secteurs"}};
    EXPECT_EQ(played.lines[0]["help"], Json::array({topic}));
    EXPECT_EQ(played.lines[1]["help"], Json::array());
    EXPECT_EQ(played.lines[2]["help"], Json::array({topic}));
    // Asking for help leaves the operator where they were, and the editor
    // goes on answering the keyboard.
    EXPECT_EQ(played.lines[2]["focus"], "Txt_CodeSecteur");
    const Json after = Only("type Txt_NumCRAM x\nkey Txt_NumCRAM Tab\nstate\n");
    EXPECT_EQ(after["focus"], "Txt_Dep");
    EXPECT_EQ(after["controls"]["Txt_NumCRAM"]["text"], "x");
}

TEST_F(DriverTest, OnlyTheRightButtonOnTheBackgroundOrAFrameOpensTheMenu) {
    Start();
    for (const char* press : {"click Cdr_Secteur", "rclick Txt_CodeSecteur",
                              "rclick Cbo_LibSecteur", "rclick Cmd_SortirSecteurGeo"}) {
        const Json line = Only(std::string(press) + "\nmenu Mnu_Sommaire\n");
        EXPECT_EQ(line["error"], "no pop-up menu is open") << press;
    }
    EXPECT_EQ(Only("state\n")["help"], Json::array());
}

TEST_F(DriverTest, TypingSelectingClearingAndTabbingAsAnOperator) {
    Start();
    const Played played = Play(
        "type Txt_NumCRAM AB 12\nstate\n"
        "select Txt_NumCRAM\ntype Txt_NumCRAM Z\nstate\n"
        "type Txt_Dep 12345\nkey Txt_Dep BackTab\nstate\n"
        "key Txt_NumCRAM Tab\ntype Txt_Dep 3\nstate\n"
        "focus Txt_NumCRAM\nfocus Txt_Dep\ntype Txt_Dep 4\nstate\n"
        "clear Txt_NumCRAM\nstate\n");
    ASSERT_EQ(played.lines.size(), 6u);
    EXPECT_EQ(played.status, 0);
    EXPECT_EQ(played.lines[0]["controls"]["Txt_NumCRAM"]["text"], "AB 12");
    EXPECT_EQ(played.lines[0]["focus"], "Txt_NumCRAM");
    EXPECT_EQ(played.lines[1]["controls"]["Txt_NumCRAM"]["text"], "Z");
    // Two characters at most; BackTab goes back to the CRAM number.
    EXPECT_EQ(played.lines[2]["controls"]["Txt_Dep"]["text"], "12");
    EXPECT_EQ(played.lines[2]["focus"], "Txt_NumCRAM");
    // Tab selects the text of the field it enters: typing replaces it.
    EXPECT_EQ(played.lines[3]["focus"], "Txt_Dep");
    EXPECT_EQ(played.lines[3]["controls"]["Txt_Dep"]["text"], "3");
    // A click leaves the caret after the text.
    EXPECT_EQ(played.lines[4]["controls"]["Txt_Dep"]["text"], "34");
    EXPECT_EQ(played.lines[5]["controls"]["Txt_NumCRAM"]["text"], "");
    EXPECT_EQ(played.lines[5]["focus"], "Txt_NumCRAM");
}

TEST_F(DriverTest, ClickingAListGoesIntoItsTextWithoutOpeningIt) {
    Start();
    const Json state = Only("click Cbo_LibSecteur\nstate\n");
    EXPECT_EQ(state["focus"], "Cbo_LibSecteur");
    EXPECT_FALSE(Screen().Cbo_LibSecteur->view()->isVisible());
}

TEST_F(DriverTest, ChoosingAnEntryOfAListWithTheMouse) {
    Start();
    Played played = Play(
        "choose Cbo_LibCentreMedQuartier 0\nchoose Cbo_LibSecteur 1\nstate\n"
        "choose Cbo_LibSecteur 3\n");
    ASSERT_EQ(played.lines.size(), 3u);
    // The centre list is in a disabled frame.
    EXPECT_EQ(played.lines[0]["error"], "Cbo_LibCentreMedQuartier is disabled");
    EXPECT_EQ(played.lines[1]["controls"]["Cbo_LibSecteur"]["text"], "EST");
    EXPECT_EQ(played.lines[2]["error"], "Cbo_LibSecteur has 3 entries: there is no entry 3");
    EXPECT_EQ(played.status, 1);
}

struct ErrorCase {
    const char* line;
    const char* error;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << '"' << c.line << '"';
}

class DriverErrorTest : public DriverTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(DriverErrorTest, PrintsTheErrorAndGoesOn) {
    Start();
    Played played = Play(std::string(GetParam().line) + "\nstate\n");
    ASSERT_EQ(played.lines.size(), 2u);
    EXPECT_EQ(played.lines[0], (Json{{"error", GetParam().error}}));
    EXPECT_EQ(played.lines[1]["form"], "Ctr_Secteur");
    EXPECT_EQ(played.status, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DriverErrorTest,
    ::testing::Values(
        ErrorCase{"frobnicate", "unknown command \"frobnicate\""},
        ErrorCase{"click Cmd_Rien", "no control named Cmd_Rien in Ctr_Secteur"},
        ErrorCase{"click Cmd_OkSecteurGeo", "Cmd_OkSecteurGeo is disabled"},
        ErrorCase{"type Txt_CodeSousSecteur 01", "Txt_CodeSousSecteur is disabled"},
        ErrorCase{"click Cmd_GestionDocumentaire", "Cmd_GestionDocumentaire is hidden"},
        ErrorCase{"type Cmd_SortirSecteurGeo x",
                  "Cmd_SortirSecteurGeo is not a text box or a list: it takes no typing"},
        ErrorCase{"focus Etq_CodeSecteur", "Etq_CodeSecteur takes no focus"},
        ErrorCase{"menu Mnu_Sommaire", "no pop-up menu is open"},
        ErrorCase{"close Frm_Adresse", "no open window named Frm_Adresse"},
        ErrorCase{"record FICHIER 1", "the database has no file FICHIER"},
        ErrorCase{"answer Peutetre",
                  "unknown answer \"Peutetre\" (answers: OK, Cancel, Abort, Retry, Ignore, Yes, "
                  "No, TryAgain, Continue)"}));

// A question asked by a field: what the driver's answers reach.
void AskOnQuestionMark(forms::TextBox* field) {
    field->KeyPress = [](std::int16_t& key) {
        if (key != '?') return;
        key = 0;
        forms::Ui().MsgBox("Continuer ?", forms::vbYesNo | forms::vbQuestion, "Message ORVANIS");
        forms::Ui().MsgBox("Enregistrer ?", forms::vbYesNoCancel | forms::vbExclamation,
                           "Message ORVANIS");
    };
}

TEST_F(DriverTest, QueuedAnswersGoToTheNextMessageBoxesInOrder) {
    Start();
    AskOnQuestionMark(Screen().Txt_NumCRAM);
    Played played = Play(
        "answer No Cancel\ntype Txt_NumCRAM ?\nstate\n"
        "type Txt_NumCRAM ?\nstate\n"
        "answer OK\ntype Txt_NumCRAM ?\nstate\n");
    ASSERT_EQ(played.lines.size(), 3u);
    EXPECT_EQ(played.status, 0);
    const Json& answered = played.lines[0]["messages"];
    ASSERT_EQ(answered.size(), 2u);
    EXPECT_EQ(answered[0], (Json{{"text", "Continuer ?"},
                                 {"title", "Message ORVANIS"},
                                 {"style", 36},
                                 {"icon", "question"},
                                 {"buttons", {"Yes", "No"}},
                                 {"answer", "No"},
                                 {"unanswered", false}}));
    EXPECT_EQ(answered[1]["answer"], "Cancel");
    EXPECT_EQ(answered[1]["buttons"], (Json{"Yes", "No", "Cancel"}));
    EXPECT_EQ(answered[1]["icon"], "exclamation");

    // No answer queued: the first button, flagged.
    const Json& unanswered = played.lines[1]["messages"];
    ASSERT_EQ(unanswered.size(), 2u);
    EXPECT_EQ(unanswered[0]["answer"], "Yes");
    EXPECT_EQ(unanswered[0]["unanswered"], true);
    EXPECT_EQ(unanswered[1]["unanswered"], true);

    // An answer that is not a button of the box is used up and said so.
    const Json& wrong = played.lines[2]["messages"];
    ASSERT_EQ(wrong.size(), 2u);
    EXPECT_EQ(wrong[0]["answer"], "Yes");
    EXPECT_TRUE(wrong[0].contains("problem"));
    EXPECT_EQ(played.lines[2]["controls"]["Txt_NumCRAM"]["text"], "");
}

class EssaiDialog : public forms::ModalForm {
public:
    EssaiDialog() {
        setObjectName("Frm_Essai");
        note_ = new forms::TextBox(this);
        note_->setObjectName("Txt_Note");
        note_->setGeometry(10, 10, 120, 24);
        auto* retour = new forms::Button("Retour", this);
        retour->setObjectName("Cmd_Retour");
        retour->setGeometry(10, 44, 80, 26);
        retour->Click = [this] { Unload(); };
        SetTabIndex(note_, 0);
        SetTabIndex(retour, 1);
        resize(200, 90);
    }
    QString Note() const { return note_->Text(); }
    bool refuse = false;

protected:
    void Form_Unload(std::int16_t& cancel) override {
        if (refuse) cancel = 1;
    }

private:
    forms::TextBox* note_;
};

void OpenOnExclamationMark(forms::TextBox* field, EssaiDialog& dialog) {
    field->KeyPress = [&dialog](std::int16_t& key) {
        if (key != '!') return;
        key = 0;
        forms::Ui().ShowModal(dialog);
    };
}

TEST_F(DriverTest, TheScriptGoesOnInsideAModalDialogUntilItCloses) {
    Start();
    EssaiDialog dialog;
    OpenOnExclamationMark(Screen().Txt_NumCRAM, dialog);
    Played played = Play(
        "type Txt_NumCRAM !\nstate\n"
        "type Txt_Note bonjour\nclick Cmd_SortirSecteurGeo\n"
        "click Cmd_Retour\nstate\n"
        "type Txt_NumCRAM !\nclose Frm_Essai\nstate\n");
    ASSERT_EQ(played.lines.size(), 4u);
    EXPECT_EQ(played.lines[0]["form"], "Frm_Essai");
    EXPECT_EQ(played.lines[0]["controls"]["Cmd_Retour"]["text"], "Retour");
    EXPECT_EQ(played.lines[0]["controls"].size(), 2u);
    EXPECT_EQ(played.lines[1],
              (Json{{"error", "Cmd_SortirSecteurGeo is behind the open dialog Frm_Essai"}}));
    EXPECT_EQ(played.lines[2]["form"], "Ctr_Secteur");
    EXPECT_EQ(played.lines[3]["form"], "Ctr_Secteur");
    EXPECT_EQ(dialog.Note(), "bonjour");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(played.status, 1);
    // Back in the editor, the keyboard works there again.
    EXPECT_EQ(QApplication::activeWindow(), driver_->HostForm());
    const Json after = Only("type Txt_NumCRAM 5\nkey Txt_NumCRAM Tab\nstate\n");
    EXPECT_EQ(after["focus"], "Txt_Dep");
    EXPECT_EQ(after["controls"]["Txt_NumCRAM"]["text"], "5");
}

TEST_F(DriverTest, AScriptEndingInsideADialogIsAnErrorAndClosesIt) {
    Start();
    EssaiDialog dialog;
    dialog.refuse = true;  // even a dialog that refuses to close
    OpenOnExclamationMark(Screen().Txt_NumCRAM, dialog);
    Played played = Play("type Txt_NumCRAM !\nclose Frm_Essai\nstate\n");
    ASSERT_EQ(played.lines.size(), 2u);
    EXPECT_EQ(played.lines[0]["form"], "Frm_Essai");  // the close box was refused
    EXPECT_EQ(
        played.lines[1],
        (Json{{"error", "the script ended while the dialog Frm_Essai is open; it is closed"}}));
    EXPECT_EQ(played.status, 1);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(DriverTest, WritesAreReportedOnceAndRecordsShowWhatIsStored) {
    Start();
    zonitra::Ctr_Secteur* editor = driver_->Editor();
    forms::TextBox* cram = Screen().Txt_NumCRAM;
    cram->LostFocus = [editor, cram] {
        kelmor::DbRecord record = editor->State().database->OpenFile("SECTEUR").ReadRecord("001");
        record.Set(20, cram->Text().toStdString());
        record.DBWrite();
    };
    Played played = Play(
        "record SECTEUR 001\ntype Txt_NumCRAM 0691\nkey Txt_NumCRAM Tab\nstate\nstate\n"
        "record SECTEUR 001\nrecord SECTEUR 404\n");
    ASSERT_EQ(played.lines.size(), 5u);
    EXPECT_EQ(played.lines[0], Json::parse(R"({"file":"SECTEUR","key":"001",)"
                                           R"("attributes":["NORD","","AG-1","12125"]})"));
    EXPECT_EQ(played.lines[1]["writes"], (Json{{{"file", "SECTEUR"}, {"key", "001"}}}));
    EXPECT_EQ(played.lines[2]["writes"], Json::array());
    EXPECT_EQ(played.lines[3]["attributes"][19], "0691");
    EXPECT_EQ(played.lines[4], (Json{{"file", "SECTEUR"}, {"key", "404"}, {"exists", false}}));
}

}  // namespace

TEST_F(DriverTest, SortirSetsTheFlagThenUnloadsTheHostForm) {
    Start();
    const Json before = Only("state\n");
    EXPECT_EQ(before["sortir"], false);
    const Json after = Only("click Cmd_SortirSecteurGeo\nstate\n");
    EXPECT_EQ(after["sortir"], true);
    EXPECT_EQ(after["form"], nullptr);
    EXPECT_FALSE(driver_->HostForm()->isVisible());
    EXPECT_EQ(driver_->Editor()->G_SortirSecteur(), zonitra::kTrue);
}
