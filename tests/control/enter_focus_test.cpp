// The focus entering the editor from outside: after a modal dialog the link
// fields are emptied and the medical-centre list refilled; after a message
// box nothing of the kind happens.

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "fixture.h"
#include "forms/focus.h"
#include "forms/idle.h"
#include "forms/modalform.h"
#include "forms/msgbox.h"
#include "forms/qtuiservice.h"
#include "forms/scripteduiservice.h"
#include "forms/textbox.h"

namespace {

using control_test::Editor;
using control_test::Eventually;
using control_test::Items;

class EnterFocus : public ::testing::Test {
protected:
    void SetUp() override {
        ed_.ctl().Init();
        ed_.ctl().Voir_Quartier();
        ASSERT_TRUE(ed_.Show());
        const auto& ui = ed_.ui();
        Type(ui.Txt_CodeCentreMedQuartier, "012");
        Type(ui.Cbo_LibCentreMedQuartier, "LILAS");
        Type(ui.Txt_CodeAntMedQuartier, "004");
        Type(ui.Cbo_LibAntMedQuartier, "PORTE");
        forms::SetFocus(ui.Txt_CodeAntMedQuartier);
        // A centre added meanwhile, as the medical-centre editor would.
        control_test::AddCentre(ed_.db(), "020", "BEAULIEU");
    }
    void TearDown() override { forms::SetUi(nullptr); }

    static void Type(QWidget* field, const char* text) {
        forms::SetFocus(field);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    std::vector<std::string> LinkTexts() const {
        const auto& ui = ed_.ui();
        return {ui.Txt_CodeCentreMedQuartier->Text().toStdString(),
                ui.Cbo_LibCentreMedQuartier->Text().toStdString(),
                ui.Txt_CodeAntMedQuartier->Text().toStdString(),
                ui.Cbo_LibAntMedQuartier->Text().toStdString()};
    }

    Editor ed_;
};

TEST_F(EnterFocus, ReturnFromAModalDialogEmptiesTheLinksAndRefillsTheCentres) {
    ASSERT_EQ(LinkTexts(), (std::vector<std::string>{"012", "LILAS", "004", "PORTE"}));
    forms::ScriptedUiService ui;
    forms::ScopedUi scope(ui);
    forms::ModalForm dialog(&ed_.ctl());
    dialog.setObjectName("Frm_Dialogue");
    auto* field = new forms::TextBox(&dialog);  // the dialog takes the focus, as every one does
    dialog.SetTabIndex(field, 0);
    ui.ModalShown = [field](forms::ModalForm& shown) {
        QTest::keyClicks(field, "x");
        shown.close();
    };
    forms::Ui().ShowModal(dialog);
    ASSERT_TRUE(Eventually(
        [&] { return forms::FocusedControl() == ed_.ui().Txt_CodeAntMedQuartier; }, "focus back"));
    forms::WaitIdle();
    EXPECT_EQ(LinkTexts(), (std::vector<std::string>{"", "", "", ""}));
    EXPECT_EQ(Items(ed_.ui().Cbo_LibCentreMedQuartier),
              (std::vector<std::string>{"ARCHE", "BEAULIEU", "LILAS"}));
}

TEST_F(EnterFocus, ReturnFromAMessageBoxChangesNothing) {
    forms::QtUiService ui;
    forms::ScopedUi scope(ui);
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        answerer.stop();
        QTest::mouseClick(box->buttons().front(), Qt::LeftButton);
    });
    answerer.start(10);
    EXPECT_EQ(
        forms::Ui().MsgBox("Ce Secteur n'existe pas.", forms::vbExclamation, "Message ORVANIS"),
        forms::vbOK);
    ASSERT_TRUE(
        Eventually([&] { return QApplication::focusWidget() == ed_.ui().Txt_CodeAntMedQuartier; },
                   "focus back"));
    forms::WaitIdle();
    EXPECT_EQ(LinkTexts(), (std::vector<std::string>{"012", "LILAS", "004", "PORTE"}));
    EXPECT_EQ(Items(ed_.ui().Cbo_LibCentreMedQuartier),
              (std::vector<std::string>{"ARCHE", "LILAS"}));
}

}  // namespace
