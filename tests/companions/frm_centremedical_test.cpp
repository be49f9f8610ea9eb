// The two hidden "Ajouter" buttons of the medical links, shown by the host's
// option, open the medical-centre editor in Frm_CentreMedical; what the
// operator added there is offered once the focus is back in the editor.

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include "centremed/ctr_centremed.h"
#include "control/ctr_secteur.h"
#include "fixture.h"
#include "forms/focus.h"
#include "forms/idle.h"
#include "forms/modalform.h"
#include "forms/qtuiservice.h"
#include "forms/scripteduiservice.h"
#include "forms/textbox.h"
#include "forms/uiservice.h"
#include "services/droits.h"

namespace {

using namespace centremed_test;
using Texts = std::vector<std::string>;

Texts Items(const forms::ComboBox* combo) {
    Texts items;
    for (int i = 0; i < combo->ListCount(); ++i) items.push_back(combo->List(i).toStdString());
    return items;
}

// What the operator saw while the form was open.
struct Seen {
    QString caption;
    QString editorName;
    bool controlEnabled = true;
    forms::Pointer pointer = forms::Pointer::Default;
    bool openAfterCloseBox = false;
    std::int16_t flagBeforeFermer = 1;
};

class MedicalCentreForm : public ::testing::Test {
protected:
    void SetUp() override { ShowEditor(kChef); }

    void ShowEditor(const std::string& user) {
        ctl_ = new zonitra::Ctr_Secteur(&host_);
        host_.resize(ctl_->sizeHint());
        ctl_->SetDroitsUtilisateur(std::make_shared<services::DroitsUtilisateur>(*data_.db, user));
        ctl_->SetTheClient(std::make_shared<const int>(1));
        ctl_->SetTheDatabase(data_.db);
        ctl_->Init();
        ctl_->OfferMedicalCentreEditor(true);
        ctl_->Voir_Quartier();  // a neighbourhood is shown: its links can be edited
        host_.show();
        host_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host_));
        forms::SetFocus(ui().Cbo_LibQuartier);
        ASSERT_TRUE(Eventually([&] { return forms::FocusedControl() == ui().Cbo_LibQuartier; },
                               "the focus in Cbo_LibQuartier"));
        data_.counter->TakeWrites();
    }

    const zonitra::SecteurScreen& ui() const { return ctl_->Screen(); }

    // Clicks `button`; while the form is open, adds a centre labelled `added`
    // (unless empty), tries the close box, then presses "Fermer".
    Seen OpenAndWork(QPushButton* button, const QString& added) {
        Seen seen;
        int shown = 0;
        ui_.ModalShown = [&](forms::ModalForm& form) {
            ++shown;
            seen.caption = form.windowTitle();
            auto* editor = form.findChild<zonitra::Ctr_CentreMed*>();
            seen.editorName = editor ? editor->objectName() : QString();
            seen.controlEnabled = ctl_->isEnabled();
            seen.pointer = forms::Ui().CurrentPointer();
            if (!editor) return;
            if (!added.isEmpty()) {
                TypeOver(form.findChild<QWidget*>("Txt_LibCentreMed"), added);
                QTest::mouseClick(form.findChild<QPushButton*>("Cmd_AjouterCentreMed"),
                                  Qt::LeftButton);
            }
            form.windowHandle()->close();  // the window's close box
            forms::WaitIdle();
            seen.openAfterCloseBox = form.isVisible();
            seen.flagBeforeFermer = editor->G_SortirCentreMed;
            QTest::mouseClick(form.findChild<QPushButton*>("Cmd_Fermer"), Qt::LeftButton);
        };
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(shown, 1);
        return seen;
    }

    // After the return: the four link fields and the centre list.
    std::pair<Texts, Texts> Links() {
        forms::WaitIdle();
        return {{ui().Txt_CodeCentreMedQuartier->Text().toStdString(),
                 ui().Cbo_LibCentreMedQuartier->Text().toStdString(),
                 ui().Txt_CodeAntMedQuartier->Text().toStdString(),
                 ui().Cbo_LibAntMedQuartier->Text().toStdString()},
                Items(ui().Cbo_LibCentreMedQuartier)};
    }

    // Puts texts in the link fields without running their lookups.
    void FillLinks() {
        ui().Txt_CodeCentreMedQuartier->Quietly(
            [&] { ui().Txt_CodeCentreMedQuartier->SetText("002"); });
        ui().Cbo_LibCentreMedQuartier->Edit()->Quietly(
            [&] { ui().Cbo_LibCentreMedQuartier->SetText("LILAS"); });
        ui().Txt_CodeAntMedQuartier->Quietly([&] { ui().Txt_CodeAntMedQuartier->SetText("001"); });
        ui().Cbo_LibAntMedQuartier->Edit()->Quietly(
            [&] { ui().Cbo_LibAntMedQuartier->SetText("PARC"); });
    }

    forms::ScriptedUiService ui_;
    forms::ScopedUi scope_{ui_};
    MedicalDatabase data_;
    QWidget host_;
    zonitra::Ctr_Secteur* ctl_ = nullptr;
};

TEST_F(MedicalCentreForm, ButtonsAreShownOnlyByTheHostsOptionAndOnlyForLevelTwo) {
    EXPECT_TRUE(ui().Cmd_AjouterCentreMedQuartier->isVisible());
    EXPECT_TRUE(ui().Cmd_AjouterAntMedQuartier->isVisible());
    ctl_->OfferMedicalCentreEditor(false);
    EXPECT_FALSE(ui().Cmd_AjouterCentreMedQuartier->isVisible());
    EXPECT_FALSE(ui().Cmd_AjouterAntMedQuartier->isVisible());

    zonitra::Ctr_Secteur agent;
    agent.SetDroitsUtilisateur(std::make_shared<services::DroitsUtilisateur>(*data_.db, kAgent));
    agent.SetTheDatabase(data_.db);
    agent.Init();
    agent.OfferMedicalCentreEditor(true);
    agent.show();
    EXPECT_FALSE(agent.Screen().Cmd_AjouterCentreMedQuartier->isVisible());
    EXPECT_FALSE(agent.Screen().Cmd_AjouterAntMedQuartier->isVisible());

    zonitra::Ctr_Secteur unset;
    EXPECT_THROW(unset.OfferMedicalCentreEditor(true), std::logic_error);
}

TEST_F(MedicalCentreForm, CentreButtonOpensTheEditorModallyBehindAnHourglass) {
    FillLinks();
    const Seen seen = OpenAndWork(ui().Cmd_AjouterCentreMedQuartier, "clinique du lac");

    EXPECT_EQ(seen.caption, "Centre Médical");
    EXPECT_EQ(seen.editorName, "Ctr_CentreMed1");
    EXPECT_FALSE(seen.controlEnabled);
    EXPECT_EQ(seen.pointer, forms::Pointer::Hourglass);
    EXPECT_TRUE(seen.openAfterCloseBox);
    EXPECT_EQ(seen.flagBeforeFermer, 0);

    // Closed: the control works again and its centres include the new one.
    EXPECT_TRUE(ctl_->isEnabled());
    EXPECT_EQ(forms::Ui().CurrentPointer(), forms::Pointer::Default);
    EXPECT_EQ(data_.counter->TakeWrites(), (std::vector<Written>{{"CENTREMEDICAL", "003"}}));
    // Enabling the control again gave the focus back to the button pressed, so
    // the focus entered the control: the links are cleared and the new centre
    // is offered without waiting for the operator.
    EXPECT_EQ(QApplication::focusWidget(), ui().Cmd_AjouterCentreMedQuartier);
    EXPECT_EQ(ui().Txt_CodeCentreMedQuartier->Text(), "");
    EXPECT_EQ(Links(), (std::pair<Texts, Texts>{
                           {"", "", "", ""}, {"ARCHE", "BEAULIEU", "CLINIQUE DU LAC", "LILAS"}}));
    EXPECT_TRUE(ui_.TakeMessages().empty());
}

TEST_F(MedicalCentreForm, AntennaButtonOpensTheSameEditorWithoutDisablingTheControl) {
    FillLinks();
    const Seen seen = OpenAndWork(ui().Cmd_AjouterAntMedQuartier, "");
    EXPECT_EQ(seen.caption, "Centre Médical");
    EXPECT_TRUE(seen.controlEnabled);
    EXPECT_EQ(seen.pointer, forms::Pointer::Default);
    EXPECT_TRUE(seen.openAfterCloseBox);
    ASSERT_TRUE(Eventually([&] { return ctl_->isAncestorOf(QApplication::focusWidget()); },
                           "the focus back in the editor"));
    EXPECT_EQ(Links(), (std::pair<Texts, Texts>{{"", "", "", ""}, {"ARCHE", "BEAULIEU", "LILAS"}}));
    EXPECT_TRUE(data_.counter->TakeWrites().empty());
}

TEST_F(MedicalCentreForm, EachOpeningReusesTheFormAndStartsTheEditorAfresh) {
    OpenAndWork(ui().Cmd_AjouterAntMedQuartier, "");
    auto* form = host_.findChild<forms::ModalForm*>("Frm_CentreMedical");
    ASSERT_NE(form, nullptr);
    const Seen again = OpenAndWork(ui().Cmd_AjouterCentreMedQuartier, "");
    EXPECT_EQ(host_.findChildren<forms::ModalForm*>("Frm_CentreMedical").size(), 1);
    EXPECT_EQ(again.flagBeforeFermer, 0);  // Init cleared the flag set by the first "Fermer"
    EXPECT_TRUE(again.openAfterCloseBox);
}

TEST_F(MedicalCentreForm, AMessageBoxRefillsNothing) {
    FillLinks();
    Put(*data_.db, "CENTREMEDICAL", "005", "DOMAINE");  // added elsewhere meanwhile
    // A real box this time: its window takes the focus and gives it back.
    forms::QtUiService real;
    forms::ScopedUi scope(real);
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->isVisible()) QTest::mouseClick(box->buttons().front(), Qt::LeftButton);
    });
    answerer.start(10);
    EXPECT_EQ(forms::Ui().MsgBox("Une question ?", forms::vbYesNo, "Message ORVANIS"),
              forms::vbYes);
    answerer.stop();
    ASSERT_TRUE(Eventually(
        [&] {
            const QWidget* focus = QApplication::focusWidget();
            return focus &&
                   (focus == ui().Cbo_LibQuartier || ui().Cbo_LibQuartier->isAncestorOf(focus));
        },
        "the focus back in Cbo_LibQuartier"));
    EXPECT_EQ(Links(), (std::pair<Texts, Texts>{{"002", "LILAS", "001", "PARC"},
                                                {"ARCHE", "BEAULIEU", "LILAS"}}));
}

}  // namespace
