// The focus entering the editor from outside: back from a modal dialog the
// link fields are emptied and the medical-centre list refilled; back from a
// message box nothing happens.

#include <QMessageBox>
#include <QTimer>

#include "fixture.h"
#include "forms/idle.h"
#include "forms/modalform.h"
#include "forms/msgbox.h"
#include "forms/qtuiservice.h"
#include "forms/scripteduiservice.h"
#include "forms/textbox.h"

namespace {

using namespace control_test;
using Texts = std::vector<std::string>;

class EnterFocus : public ::testing::Test {
protected:
    void SetUp() override {
        ed_.ctl->Init();
        ed_.ctl->Voir_Quartier();
        ASSERT_TRUE(ed_.Show());
        const auto& ui = ed_.ui();
        // Centre 012 has one antenna, 004 PORTE: the lookups the levels run on the
        // centre code may fill the other fields already; what is still empty is typed.
        const std::pair<QWidget*, const char*> typed[] = {{ui.Txt_CodeCentreMedQuartier, "012"},
                                                          {ui.Cbo_LibCentreMedQuartier, "LILAS"},
                                                          {ui.Txt_CodeAntMedQuartier, "004"},
                                                          {ui.Cbo_LibAntMedQuartier, "PORTE"}};
        for (auto [field, text] : typed) {
            if (!field->property("currentText").toString().isEmpty() ||
                !field->property("text").toString().isEmpty())
                continue;
            forms::SetFocus(field);
            QTest::keyClicks(QApplication::focusWidget(), text);
        }
        forms::SetFocus(ui.Txt_CodeAntMedQuartier);
        // A centre added meanwhile, as the medical-centre editor does.
        Put(*ed_.db, "CENTREMEDICAL", "020", {{"BEAULIEU"}});
    }

    // After the return, the link fields and the centre list.
    std::pair<Texts, Texts> Links() {
        EXPECT_TRUE(Eventually(
            [&] { return QApplication::focusWidget() == ed_.ui().Txt_CodeAntMedQuartier; },
            "the focus back in Txt_CodeAntMedQuartier"));
        forms::WaitIdle();
        const auto& ui = ed_.ui();
        return {{ui.Txt_CodeCentreMedQuartier->Text().toStdString(),
                 ui.Cbo_LibCentreMedQuartier->Text().toStdString(),
                 ui.Txt_CodeAntMedQuartier->Text().toStdString(),
                 ui.Cbo_LibAntMedQuartier->Text().toStdString()},
                Items(ui.Cbo_LibCentreMedQuartier)};
    }

    Editor ed_;
};

TEST_F(EnterFocus, BackFromAModalDialogLinksAreEmptiedAndCentresRefilled) {
    forms::ScriptedUiService ui;
    forms::ScopedUi scope(ui);
    forms::ModalForm dialog(ed_.ctl);
    auto* field = new forms::TextBox(&dialog);  // the dialog takes the focus, as dialogs do
    dialog.SetTabIndex(field, 0);
    ui.ModalShown = [field](forms::ModalForm& shown) {
        QTest::keyClicks(field, "x");
        shown.close();
    };
    forms::Ui().ShowModal(dialog);
    EXPECT_EQ(Links(), (std::pair<Texts, Texts>{{"", "", "", ""}, {"ARCHE", "BEAULIEU", "LILAS"}}));
}

TEST_F(EnterFocus, BackFromAMessageBoxNothingChanges) {
    forms::QtUiService ui;
    forms::ScopedUi scope(ui);
    QTimer answerer;  // answers the real box from the event loop it runs
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->isVisible()) QTest::mouseClick(box->buttons().front(), Qt::LeftButton);
    });
    answerer.start(10);
    EXPECT_EQ(forms::Ui().MsgBox("Ce Secteur n'existe pas.", forms::vbExclamation, "Message"),
              forms::vbOK);
    answerer.stop();
    EXPECT_EQ(Links(),
              (std::pair<Texts, Texts>{{"012", "LILAS", "004", "PORTE"}, {"ARCHE", "LILAS"}}));
}

}  // namespace
