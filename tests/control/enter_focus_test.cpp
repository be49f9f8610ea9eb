// The focus entering the editor from outside: back from a message box nothing
// happens; back from a modal dialog the link fields are emptied and the
// medical-centre list refilled.

#include <QMessageBox>
#include <QTimer>

#include "fixture.h"
#include "forms/idle.h"
#include "forms/modalform.h"
#include "forms/msgbox.h"
#include "forms/qtuiservice.h"
#include "forms/textbox.h"

namespace {

using namespace control_test;
using Texts = std::vector<std::string>;

TEST(EnterFocus, AfterAMessageBoxNothingAfterAModalDialogLinksEmptiedAndCentresRefilled) {
    Editor ed;
    ed.ctl->Init();
    ed.ctl->Voir_Quartier();
    ASSERT_TRUE(ed.Show());
    const auto& ui = ed.ui();
    ui.Txt_CodeCentreMedQuartier->Quietly([&] { ui.Txt_CodeCentreMedQuartier->SetText("012"); });
    ui.Txt_CodeAntMedQuartier->Quietly([&] { ui.Txt_CodeAntMedQuartier->SetText("004"); });
    forms::SetFocus(ui.Txt_CodeAntMedQuartier);
    kelmor::test::Fill(*ed.db, {"CENTREMEDICAL;020;1=BEAULIEU"});  // added meanwhile
    auto links = [&] {  // once the focus is back: the link codes and the centre list
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return QApplication::focusWidget() == ui.Txt_CodeAntMedQuartier; }));
        forms::WaitIdle();
        return Texts{ui.Txt_CodeCentreMedQuartier->Text().toStdString(),
                     ui.Txt_CodeAntMedQuartier->Text().toStdString(),
                     std::to_string(ui.Cbo_LibCentreMedQuartier->ListCount())};
    };
    {
        forms::QtUiService real;
        forms::ScopedUi scope(real);
        QTimer answerer;  // answers the real box from the event loop it runs
        QObject::connect(&answerer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box && box->isVisible()) QTest::mouseClick(box->buttons().front(), Qt::LeftButton);
        });
        answerer.start(10);
        forms::Ui().MsgBox("Ce Secteur n'existe pas.", forms::vbExclamation, "Message");
        EXPECT_EQ(links(), (Texts{"012", "004", "2"}));
    }
    forms::ScriptedUiService scripted;
    forms::ScopedUi scope(scripted);
    forms::ModalForm dialog(ed.ctl);
    auto* field = new forms::TextBox(&dialog);  // the dialog takes the focus, as dialogs do
    dialog.SetTabIndex(field, 0);
    scripted.ModalShown = [field](forms::ModalForm& shown) {
        QTest::keyClicks(field, "x");
        shown.close();
    };
    forms::Ui().ShowModal(dialog);
    EXPECT_EQ(links(), (Texts{"", "", "3"}));
    EXPECT_EQ(Items(ui.Cbo_LibCentreMedQuartier), (Texts{"ARCHE", "BEAULIEU", "LILAS"}));
}

}  // namespace
