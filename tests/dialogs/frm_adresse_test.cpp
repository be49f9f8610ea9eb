// The address dialog opened as the editor's "Adresse" button opens it, on the
// current sector record, and driven with the mouse and the keyboard.

#include <QWindow>

#include "dialogs/frm_adresse.h"
#include "forms/button.h"
#include "forms/msgbox.h"
#include "forms/popupmenu.h"
#include "forms/textbox.h"
#include "help/help_viewer.h"
#include "operator.h"
#include "sector_dialog_fixture.h"

namespace {

using namespace dialogs_test;

class FrmAdresse : public SectorDialogTest {
protected:
    void Open(const std::string& user, const std::function<void(forms::ModalForm&)>& operate) {
        WhileShown([&] { zonitra::OpenFrmAdresse(state_, Rights(user), &host_); }, operate);
    }
    static QWidget* Control(forms::ModalForm& form, const char* name) {
        QWidget* control = form.findChild<QWidget*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    static void Street(forms::ModalForm& form, const char* text) {
        drive::Clear(Control(form, "Txt_Ligne1"));
        drive::Type(Control(form, "Txt_Ligne1"), text);
    }
    static void Press(forms::ModalForm& form, const char* button) {
        drive::Click(Control(form, button), Qt::LeftButton);
    }
};

TEST_F(FrmAdresse, OkStoresTheAddressInTheCurrentSectorRecordOnly) {
    const kelmor::DbRecord before = Stored();
    Open(kChef, [](forms::ModalForm& form) {
        EXPECT_EQ(form.windowTitle(), "Adresse de l'association");
        EXPECT_EQ(form.findChild<forms::TextBox*>("Txt_CodePostal")->Text(), "69100");
        Street(form, "157 cours emile zola");
        drive::Clear(Control(form, "Txt_Telephone"));
        Press(form, "Cmd_Ok");
    });
    EXPECT_EQ(TakeWrites(), (Writes{{"SECTEUR", "005"}}));
    kelmor::DbRecord expected = before;
    expected.Set(5, "157 COURS EMILE ZOLA");
    expected.Set(10, "");
    expected.Set(12, "0");  // the empty CEDEX attribute stored as 0
    EXPECT_EQ(Stored().Text(), expected.Text());
    EXPECT_EQ(state_.records.secteur->Text(), expected.Text());
    EXPECT_TRUE(ui_.TakeMessages().empty());
}

TEST_F(FrmAdresse, RetourAsksOnlyAUserWhoMayStoreAChangedAddress) {
    struct Case {
        const std::string& user;
        bool change;
        int answer;  // queued for the question, 0 for none
        bool asked, stored, closed;
    } const cases[] = {
        {kChef, false, 0, false, false, true},
        {kChef, true, forms::vbYes, true, true, true},
        {kChef, true, forms::vbNo, true, false, true},
        {kChef, true, forms::vbCancel, true, false, false},
        {kAgent, true, 0, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user + (c.change ? " changed, answer " : " unchanged, answer ") +
                     std::to_string(c.answer));
        state_.records.secteur = Stored();
        const std::string street = state_.records.secteur->Get(5);
        Open(c.user, [&](forms::ModalForm& form) {
            EXPECT_EQ(Control(form, "Cmd_Ok")->isVisible(), c.user == kChef);
            if (c.change) Street(form, "1 place carnot");
            if (c.answer) ui_.QueueAnswer(c.answer);
            Press(form, "Cmd_Retour");
            EXPECT_EQ(form.isVisible(), !c.closed);
            if (form.isVisible()) {  // the change is still there; leave without it
                EXPECT_EQ(form.findChild<forms::TextBox*>("Txt_Ligne1")->Text(), "1 PLACE CARNOT");
                ui_.QueueAnswer(forms::vbNo);
                Press(form, "Cmd_Retour");
            }
        });
        const auto messages = ui_.TakeMessages();
        ASSERT_EQ(messages.size(), c.asked ? (c.closed ? 1u : 2u) : 0u);
        if (c.asked) {
            EXPECT_EQ(messages[0].text,
                      "Voulez-vous enregistrer les modifications apportées à cet article ?");
            EXPECT_EQ(messages[0].title, "Message ORVANIS");
            EXPECT_EQ(messages[0].style, forms::vbYesNoCancel | forms::vbExclamation);
        }
        EXPECT_EQ(TakeWrites(), (c.stored ? Writes{{"SECTEUR", "005"}} : Writes()));
        EXPECT_EQ(Stored().Get(5), c.stored ? "1 PLACE CARNOT" : street);
        // Put back for the next case.
        kelmor::DbRecord back = Stored();
        back.Set(5, "155 COURS EMILE ZOLA");
        back.Set(12, "");
        back.DBWrite();
        TakeWrites();
    }
}

TEST_F(FrmAdresse, StaysOpenUntilOkOrRetourWithCedexZeroOnlyInMemory) {
    Open(kChef, [&](forms::ModalForm& form) {
        form.windowHandle()->close();  // the close box
        drive::Settle();
        EXPECT_TRUE(form.isVisible());
        EXPECT_FALSE(form.Unload());  // nor by code
        Press(form, "Cmd_Retour");
    });
    EXPECT_EQ(state_.records.secteur->Get(12), "0");
    EXPECT_EQ(Stored().Get(12), "");
    EXPECT_TRUE(TakeWrites().empty());
    EXPECT_TRUE(ui_.TakeMessages().empty());

    state_.records.secteur.reset();  // no sector shown: nothing opens
    ui_.ModalShown = [](forms::ModalForm&) { ADD_FAILURE() << "a dialog opened"; };
    EXPECT_THROW(zonitra::OpenFrmAdresse(state_, Rights(kChef), &host_), std::logic_error);
}

TEST_F(FrmAdresse, RightClickOnTheFormOffersItsHelpPage) {
    Open(kChef, [&](forms::ModalForm& form) {
        drive::Click(&form, Qt::LeftButton);
        EXPECT_EQ(forms::PopupMenu::Open(), nullptr);
        drive::Click(&form, Qt::RightButton);
        ASSERT_NE(forms::PopupMenu::Open(), nullptr);
        EXPECT_EQ(forms::PopupMenu::Open()->objectName(), "Mnu_Aide");
        drive::ChooseMenuEntry("Mnu_Sommaire");
        Press(form, "Cmd_Retour");
    });
    ASSERT_NE(state_.HelpIfCreated(), nullptr);
    EXPECT_EQ(state_.HelpIfCreated()->Shown(),
              (std::vector<help::Topic>{{"SecteurAdresse.htm", "S", "Adresse des Secteurs", ""}}));
    EXPECT_EQ(state_.HelpIfCreated()->Database(), state_.database);
}

}  // namespace
