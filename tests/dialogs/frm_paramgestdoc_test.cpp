// The document-folders dialog opened as the editor's "Gestion documentaire"
// button opens it: what Init does behind the hourglass, and a dialog loaded
// anew at each opening. The paths' rules are played by the gestion
// documentaire script.

#include "dialogs/frm_paramgestdoc.h"
#include "forms/msgbox.h"
#include "forms/textbox.h"
#include "operator.h"
#include "sector_dialog_fixture.h"

namespace {

using namespace dialogs_test;

// Notes each pointer change and whether the dialog was enabled then.
class PointerLog : public forms::ScriptedUiService {
public:
    void SetPointer(forms::Pointer pointer) override {
        const auto* form = zonitra::Frm_ParamGestDoc::Instance(owner).isEnabled() ? "on" : "off";
        log.push_back(
            std::string(pointer == forms::Pointer::Hourglass ? "hourglass " : "default ") + form);
        ScriptedUiService::SetPointer(pointer);
    }
    QWidget* owner = nullptr;
    std::vector<std::string> log;
};

class FrmParamGestDoc : public SectorDialogTest {
protected:
    void Open(const std::function<void(forms::ModalForm&)>& operate) {
        WhileShown([&] { zonitra::OpenFrmParamGestDoc(state_, Rights(kAgent), &host_); }, operate);
    }
    static QWidget* Control(forms::ModalForm& form, const char* name) {
        QWidget* control = form.findChild<QWidget*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
};

TEST_F(FrmParamGestDoc, InitFillsTheFieldsBehindTheHourglassWithTheDialogDisabled) {
    PointerLog pointers;
    pointers.owner = &host_;
    forms::ScopedUi scope(pointers);
    pointers.ModalShown = [&](forms::ModalForm& form) {
        EXPECT_EQ(form.windowTitle(), "Paramétarge gestion documentaire");
        EXPECT_EQ(form.findChild<forms::TextBox*>("Txt_CheminRepAide")->Text(), "E:\\Aide\\");
        EXPECT_EQ(form.findChild<forms::TextBox*>("Txt_CheminRepAidant")->Text(), "E:\\Aidant\\");
        EXPECT_TRUE(form.isEnabled());
        drive::Click(Control(form, "Cmd_Annuler"), Qt::LeftButton);
    };
    zonitra::OpenFrmParamGestDoc(state_, Rights(kAgent), &host_);
    EXPECT_EQ(pointers.log, (std::vector<std::string>{"hourglass on", "default off"}));
    EXPECT_TRUE(TakeWrites().empty());
}

TEST_F(FrmParamGestDoc, EqualPathsDisableAnnulerUntilTheDialogIsLoadedAgain) {
    Open([&](forms::ModalForm& form) {
        drive::Clear(Control(form, "Txt_CheminRepAidant"));
        drive::Type(Control(form, "Txt_CheminRepAidant"), "E:\\Aide");
        drive::Click(Control(form, "Cmd_Ok"), Qt::LeftButton);
        EXPECT_FALSE(Control(form, "Cmd_Annuler")->isEnabled());
        EXPECT_EQ(ui_.TakeMessages().size(), 1u);
        drive::Type(Control(form, "Txt_CheminRepAidant"), "nt");  // the stored path, again
        drive::Click(Control(form, "Cmd_Ok"), Qt::LeftButton);
    });
    EXPECT_EQ(TakeWrites(), (Writes{{"SECTEUR", "005"}}));
    Open([&](forms::ModalForm& form) {
        EXPECT_TRUE(Control(form, "Cmd_Annuler")->isEnabled());
        drive::Click(Control(form, "Cmd_Annuler"), Qt::LeftButton);
    });

    state_.records.secteur.reset();
    ui_.ModalShown = [](forms::ModalForm&) { ADD_FAILURE() << "a dialog opened"; };
    EXPECT_THROW(zonitra::OpenFrmParamGestDoc(state_, Rights(kAgent), &host_), std::logic_error);
    ui_.ModalShown = nullptr;
}

}  // namespace
