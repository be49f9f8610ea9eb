// What the document-folders dialog's Init does behind the hourglass, which no
// state shows; the paths' rules are played by gestion_documentaire.drive.

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "dialogs/frm_paramgestdoc.h"
#include "forms/scripteduiservice.h"
#include "forms/textbox.h"

namespace {

// Notes each pointer change with whether the dialog took input then.
class PointerLog : public forms::ScriptedUiService {
public:
    void SetPointer(forms::Pointer pointer) override {
        const bool enabled = zonitra::Frm_ParamGestDoc::Instance(owner).isEnabled();
        log.push_back(std::string(pointer == forms::Pointer::Hourglass ? "hourglass" : "default") +
                      (enabled ? " enabled" : " disabled"));
        ScriptedUiService::SetPointer(pointer);
    }
    QWidget* owner = nullptr;
    std::vector<std::string> log;
};

TEST(FrmParamGestDoc, InitFillsTheFieldsBehindTheHourglassWithTheDialogDisabled) {
    QTemporaryDir dir;
    auto db = kelmor::Database::OpenSqlite(dir.filePath("d.db").toStdString());
    db->CreateFile("DROITS");
    zonitra::SharedState state;
    state.database = db;
    state.records.secteur = db->OpenFile("DROITS").NewRecord("005");  // never written
    state.records.secteur->Set(22, "E:\\Aide\\");
    QWidget host;
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));

    PointerLog ui;
    forms::ScopedUi scope(ui);
    ui.owner = &host;
    ui.ModalShown = [](forms::ModalForm& form) {
        EXPECT_EQ(form.findChild<forms::TextBox*>("Txt_CheminRepAide")->Text(), "E:\\Aide\\");
        EXPECT_EQ(form.findChild<forms::TextBox*>("Txt_CheminRepAidant")->Text(), "");
        QTest::mouseClick(form.findChild<QPushButton*>("Cmd_Annuler"), Qt::LeftButton);
    };
    zonitra::OpenFrmParamGestDoc(state, std::make_shared<services::DroitsUtilisateur>(*db, "AGENT"),
                                 &host);
    EXPECT_EQ(ui.log, (std::vector<std::string>{"hourglass enabled", "default disabled"}));
    EXPECT_TRUE(zonitra::Frm_ParamGestDoc::Instance(&host).isEnabled());
    EXPECT_FALSE(zonitra::Frm_ParamGestDoc::Instance(&host).isVisible());
}

}  // namespace
