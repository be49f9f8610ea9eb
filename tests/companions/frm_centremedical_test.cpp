// The hidden centre "Ajouter" button, shown by the host's option, opens the
// medical-centre editor modally in Frm_CentreMedical; the form closes only
// through "Fermer".

#include <QPushButton>
#include <QWindow>

#include "centremed/ctr_centremed.h"
#include "control/secteur_editor.h"
#include "fixture.h"
#include "forms/idle.h"
#include "forms/modalform.h"

namespace {

using namespace centremed_test;

TEST(FrmCentreMedical, OpensModallyBehindAnHourglassAndClosesOnlyThroughFermer) {
    harness::Session s(kChef, kRecords);
    zonitra::Ctr_Secteur* ctl = s.Driver().Editor();
    ctl->OfferMedicalCentreEditor(true);
    ctl->Voir_Quartier();
    s.Driver().Ui().ModalShown =
        [&](forms::ModalForm& form) {  // what the operator sees and does there
            EXPECT_EQ(form.windowTitle(), "Centre Médical");
            EXPECT_FALSE(zonitra::EditorOf(*ctl).isEnabled());
            EXPECT_EQ(forms::Ui().CurrentPointer(), forms::Pointer::Hourglass);
            TypeOver(form.findChild<QWidget*>("Txt_LibCentreMed"), "clinique");
            QTest::mouseClick(form.findChild<QPushButton*>("Cmd_AjouterCentreMed"), Qt::LeftButton);
            form.windowHandle()->close();  // the window's close box
            forms::WaitIdle();
            EXPECT_TRUE(form.isVisible());
            EXPECT_EQ(form.findChild<zonitra::Ctr_CentreMed*>()->G_SortirCentreMed, 0);
            QTest::mouseClick(form.findChild<QPushButton*>("Cmd_Fermer"), Qt::LeftButton);
        };
    QTest::mouseClick(zonitra::EditorOf(*ctl).Screen().Cmd_AjouterCentreMedQuartier,
                      Qt::LeftButton);
    EXPECT_TRUE(zonitra::EditorOf(*ctl).isEnabled());
    EXPECT_EQ(forms::Ui().CurrentPointer(), forms::Pointer::Default);
    EXPECT_EQ(s.TakeWrites(), Texts{"CENTREMEDICAL 003"});
}

}  // namespace
