#include "forms/modalform.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "forms/button.h"
#include "forms/form.h"
#include "forms/scripteduiservice.h"
#include "forms/singleinstance.h"
#include "test_util.h"

namespace {

using forms_test::EventLog;
using forms_test::Eventually;
using forms_test::Named;

// A dialog that leaves only once its exit flag is set, with a button that sets it.
class GuardedDialog : public forms::ModalForm {
public:
    explicit GuardedDialog(EventLog& log) : log_(log) {
        setObjectName("Frm_Guarded");
        resize(200, 100);
        retour = Named(new forms::Button("Retour", this), "Cmd_Retour");
        retour->setGeometry(10, 10, 80, 30);
        SetTabIndex(retour, 0);
        retour->Click = [this] {
            exitFlag = true;
            log_.push_back(Unload() ? "unloaded" : "still loaded");
        };
    }

    forms::Button* retour;
    bool exitFlag = false;
    int loads = 0;

protected:
    void Form_Load() override { ++loads; }
    void Form_Unload(std::int16_t& cancel) override {
        log_.push_back(exitFlag ? "Form_Unload" : "Form_Unload cancel");
        if (!exitFlag) cancel = -1;
    }

private:
    EventLog& log_;
};

class ModalFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        forms::SetUi(&ui_);
        opener_ = std::make_unique<forms::Form>();
        opener_->setObjectName("Frm_Opener");
        opener_->resize(200, 100);
        open_ = Named(new forms::Button("Ouvrir", opener_.get()), "Cmd_Ouvrir");
        open_->setGeometry(10, 10, 80, 30);
        open_->Click = [this] {
            log_.push_back("show");
            forms::Ui().ShowModal(dialog_);
            log_.push_back("returned");
        };
        ASSERT_TRUE(forms_test::ShowActive(opener_.get()));
    }
    void TearDown() override { forms::SetUi(nullptr); }

    forms::ScriptedUiService ui_;
    EventLog log_;
    GuardedDialog dialog_{log_};
    std::unique_ptr<forms::Form> opener_;
    forms::Button* open_ = nullptr;
};

TEST_F(ModalFormTest, CloseBoxIsRefusedUntilTheFormAllowsIt) {
    ui_.ModalShown = [this](forms::ModalForm& form) {
        EXPECT_EQ(forms::Ui().ActiveModal(), &form);
        EXPECT_FALSE(forms::CanOperate(open_));
        EXPECT_TRUE(forms::CanOperate(dialog_.retour));
        form.close();  // the close box
        log_.push_back(form.isVisible() ? "visible" : "hidden");
        forms_test::ClickInto(dialog_.retour);
    };
    forms_test::ClickInto(open_);
    EXPECT_EQ(log_, (EventLog{"show", "Form_Unload cancel", "visible", "Form_Unload", "unloaded",
                              "returned"}));
    EXPECT_FALSE(dialog_.isVisible());
    EXPECT_EQ(forms::Ui().ActiveModal(), nullptr);
    EXPECT_TRUE(forms::CanOperate(open_));
}

TEST_F(ModalFormTest, EachShowLoadsAgainAfterAnUnload) {
    ui_.ModalShown = [this](forms::ModalForm&) { forms_test::ClickInto(dialog_.retour); };
    forms_test::ClickInto(open_);
    dialog_.exitFlag = false;
    forms_test::ClickInto(open_);
    EXPECT_EQ(dialog_.loads, 2);
    EXPECT_FALSE(dialog_.Loaded());
}

TEST_F(ModalFormTest, EscapeAndEnterDoNotCloseIt) {
    ui_.ModalShown = [this](forms::ModalForm& form) {
        QTest::keyClick(&form, Qt::Key_Escape);
        QTest::keyClick(&form, Qt::Key_Return);
        log_.push_back(form.isVisible() ? "visible" : "hidden");
        dialog_.exitFlag = true;
        form.close();
    };
    forms_test::ClickInto(open_);
    EXPECT_EQ(log_, (EventLog{"show", "visible", "Form_Unload", "returned"}));
}

TEST_F(ModalFormTest, ShowingAShownFormThrows) {
    ui_.ModalShown = [this](forms::ModalForm& form) {
        EXPECT_THROW(forms::Ui().ShowModal(dialog_), std::logic_error);
        dialog_.exitFlag = true;
        form.close();
    };
    forms_test::ClickInto(open_);
    EXPECT_EQ(log_.back(), "returned");
}

TEST(UnloadWindowTest, ClosesTheHostWindowOfAControl) {
    auto host = std::make_unique<QWidget>();
    auto* inner = new forms::Form(host.get());
    auto* button = new forms::Button("Sortir", inner);
    ASSERT_TRUE(forms_test::ShowActive(host.get()));
    EXPECT_TRUE(forms::UnloadWindowOf(button));
    EXPECT_FALSE(host->isVisible());
    EXPECT_FALSE(forms::UnloadWindowOf(nullptr));
}

TEST(SingleInstanceTest, CreatesOnFirstUseOnly) {
    forms::SingleInstance<forms::Form> dialog;
    EXPECT_FALSE(dialog.Exists());
    EXPECT_EQ(dialog.Peek(), nullptr);
    forms::Form& first = dialog.Get();
    forms::Form& second = dialog.Get();
    EXPECT_EQ(&first, &second);
    EXPECT_TRUE(dialog.Exists());
}

TEST(SingleInstanceTest, ParentedInstanceBelongsToItsParent) {
    auto parent = std::make_unique<QWidget>();
    forms::SingleInstance<forms::Form> dialog;
    dialog.Get(parent.get());
    parent.reset();
    EXPECT_FALSE(dialog.Exists());
}

}  // namespace
