#include "forms/focus.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

#include "forms/button.h"
#include "forms/combobox.h"
#include "forms/form.h"
#include "forms/frame.h"
#include "forms/idle.h"
#include "forms/modalform.h"
#include "forms/msgbox.h"
#include "forms/qtuiservice.h"
#include "forms/scripteduiservice.h"
#include "forms/textbox.h"
#include "test_util.h"

namespace {

using forms_test::EventLog;
using forms_test::Eventually;
using forms_test::Named;

// A dialog with one text box; a flag decides whether it may close.
class Dialog : public forms::ModalForm {
public:
    explicit Dialog(QWidget* parent, EventLog& log) : ModalForm(parent), log_(log) {
        setObjectName("Frm_Dialog");
        resize(200, 100);
        field = Named(new forms::TextBox(this), "Txt_Dialog");
        field->setGeometry(10, 10, 100, 24);
        SetTabIndex(field, 0);
        forms_test::WatchFocus(field, log_);
        EnterFocus = [this] { log_.push_back("Enter:Frm_Dialog"); };
    }

    forms::TextBox* field;
    bool mayClose = true;

protected:
    void Form_Unload(std::int16_t& cancel) override {
        log_.push_back(mayClose ? "Unload" : "Unload refused");
        if (!mayClose) cancel = -1;
    }

private:
    EventLog& log_;
};

// A host window holding a sibling field and a component form: frame, fields, list, button.
class FocusTest : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = std::make_unique<QWidget>();
        host_->setObjectName("Host");
        host_->resize(500, 400);
        sibling_ = Named(new forms::TextBox(host_.get()), "Txt_Host");
        sibling_->setGeometry(10, 360, 100, 24);

        form_ = Named(new forms::Form(host_.get()), "Ctr_Test");
        form_->setGeometry(0, 0, 500, 340);
        frame_ = Named(new forms::Frame("Cadre", form_), "Cdr_Cadre");
        frame_->setGeometry(0, 0, 500, 150);
        code_ = Named(new forms::TextBox(frame_), "Txt_Code");
        code_->setGeometry(10, 30, 80, 24);
        label_ = Named(new forms::ComboBox(frame_), "Cbo_Lib");
        label_->setGeometry(100, 30, 200, 26);
        inner_ = Named(new forms::TextBox(frame_), "Txt_Inner");
        inner_->setGeometry(10, 80, 80, 24);
        other_ = Named(new forms::TextBox(form_), "Txt_Other");
        other_->setGeometry(10, 200, 80, 24);
        ok_ = Named(new forms::Button("OK", form_), "Cmd_Ok");
        ok_->setGeometry(10, 260, 80, 30);

        // Tab order differs from the creation order on purpose.
        form_->SetTabIndex(code_, 0);
        form_->SetTabIndex(label_, 1);
        form_->SetTabIndex(other_, 2);
        form_->SetTabIndex(ok_, 14);
        form_->SetTabIndex(inner_, 5);

        forms_test::WatchFocus(code_, log_);
        forms_test::WatchFocus(label_, log_);
        forms_test::WatchFocus(inner_, log_);
        forms_test::WatchFocus(other_, log_);
        forms_test::WatchFocus(ok_, log_);
        form_->EnterFocus = [this] { log_.push_back("Enter:Ctr_Test"); };

        ASSERT_TRUE(forms_test::ShowActive(host_.get()));
        code_->setFocus();
        ASSERT_TRUE(Eventually([&] { return forms::FocusedControl() == code_; }, "Txt_Code"));
        log_.clear();
    }

    void TearDown() override { forms::SetUi(nullptr); }

    std::unique_ptr<QWidget> host_;
    forms::TextBox* sibling_ = nullptr;
    forms::Form* form_ = nullptr;
    forms::Frame* frame_ = nullptr;
    forms::TextBox* code_ = nullptr;
    forms::ComboBox* label_ = nullptr;
    forms::TextBox* inner_ = nullptr;
    forms::TextBox* other_ = nullptr;
    forms::Button* ok_ = nullptr;
    EventLog log_;
};

TEST_F(FocusTest, TabFollowsTheTabOrderAndWraps) {
    EXPECT_EQ(form_->TabOrder(), (std::vector<QWidget*>{code_, label_, other_, inner_, ok_}));
    for (int i = 0; i < 5; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(log_, (EventLog{"Lost:Txt_Code", "Got:Cbo_Lib", "Lost:Cbo_Lib", "Got:Txt_Other",
                              "Lost:Txt_Other", "Got:Txt_Inner", "Lost:Txt_Inner", "Got:Cmd_Ok",
                              "Lost:Cmd_Ok", "Got:Txt_Code"}));
}

TEST_F(FocusTest, BackTabGoesBackwards) {
    QTest::keyClick(code_, Qt::Key_Backtab);
    QTest::keyClick(ok_, Qt::Key_Backtab);
    EXPECT_EQ(log_, (EventLog{"Lost:Txt_Code", "Got:Cmd_Ok", "Lost:Cmd_Ok", "Got:Txt_Inner"}));
}

TEST_F(FocusTest, TabSkipsDisabledHiddenAndDisabledFrames) {
    label_->setEnabled(false);
    other_->hide();
    QTest::keyClick(code_, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), inner_);
    other_->show();
    forms::SetFocus(other_);
    frame_->setEnabled(false);  // takes its children with it
    log_.clear();
    QTest::keyClick(other_, Qt::Key_Tab);
    QTest::keyClick(ok_, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), other_);
    EXPECT_EQ(log_, (EventLog{"Lost:Txt_Other", "Got:Cmd_Ok", "Lost:Cmd_Ok", "Got:Txt_Other"}));
}

TEST_F(FocusTest, MouseClickMovesTheFocusBeforeTheButtonClick) {
    ok_->Click = [this] { log_.push_back("Click:Cmd_Ok"); };
    forms_test::ClickInto(other_);
    forms_test::ClickInto(ok_);
    EXPECT_EQ(log_, (EventLog{"Lost:Txt_Code", "Got:Txt_Other", "Lost:Txt_Other", "Got:Cmd_Ok",
                              "Click:Cmd_Ok"}));
}

TEST_F(FocusTest, CodeSetFocusRaisesBothAndRefusesDisabled) {
    EXPECT_TRUE(forms::SetFocus(inner_));
    other_->setEnabled(false);
    EXPECT_FALSE(forms::SetFocus(other_));
    EXPECT_EQ(log_, (EventLog{"Lost:Txt_Code", "Got:Txt_Inner"}));
}

TEST_F(FocusTest, LostFocusHandlerMovingTheFocusWins) {
    code_->LostFocus = [this] {
        log_.push_back("Lost:Txt_Code");
        forms::SetFocus(other_);
    };
    QTest::keyClick(code_, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), other_);
    EXPECT_EQ(log_, (EventLog{"Lost:Txt_Code", "Got:Txt_Other"}));
}

TEST_F(FocusTest, ClickOnAButtonIsLostWhenLostFocusKeepsTheFocus) {
    // A field that refuses to be left (an input error) takes the click's focus back.
    code_->LostFocus = [this] {
        log_.push_back("Lost:Txt_Code");
        forms::SetFocus(code_);
    };
    ok_->Click = [this] { log_.push_back("Click:Cmd_Ok"); };
    forms_test::ClickInto(ok_);
    EXPECT_EQ(QApplication::focusWidget(), code_);
    EXPECT_EQ(log_, (EventLog{"Lost:Txt_Code", "Got:Txt_Code"}));
    code_->LostFocus = nullptr;
    forms_test::ClickInto(label_);
    forms_test::ClickInto(ok_);
    EXPECT_EQ(log_.back(), "Click:Cmd_Ok");
}

TEST_F(FocusTest, EnteringTheFormFromTheHostRaisesEnterFocusFirst) {
    forms::SetFocus(sibling_);
    forms_test::ClickInto(other_);
    EXPECT_EQ(log_, (EventLog{"Lost:Txt_Code", "Enter:Ctr_Test", "Got:Txt_Other"}));
}

TEST_F(FocusTest, AnotherWindowLeavesTheControlUntilTheOperatorComesBackElsewhere) {
    QWidget help;
    help.setObjectName("Help");
    auto* reader = Named(new forms::TextBox(&help), "Txt_Help");
    forms_test::WatchFocus(reader, log_);
    ASSERT_TRUE(forms_test::ShowActive(&help));
    ASSERT_TRUE(Eventually([&] { return reader->hasFocus(); }, "focus in the other window"));
    ASSERT_TRUE(forms_test::ShowActive(host_.get()));
    ASSERT_TRUE(Eventually([&] { return code_->hasFocus(); }, "focus back"));
    ASSERT_TRUE(forms_test::ShowActive(&help));
    ASSERT_TRUE(Eventually([&] { return reader->hasFocus(); }, "focus in the other window"));
    ASSERT_TRUE(forms_test::ShowActive(host_.get()));
    forms_test::ClickInto(other_);
    // Each return enters the form again at Txt_Code; only the click then leaves it.
    EXPECT_EQ(log_, (EventLog{"Got:Txt_Help", "Enter:Ctr_Test", "Enter:Ctr_Test", "Lost:Txt_Code",
                              "Got:Txt_Other"}));
}

TEST_F(FocusTest, ScriptedMessageBoxRaisesNoFocusEvents) {
    forms::ScriptedUiService ui;
    forms::ScopedUi scope(ui);
    ui.QueueAnswer(forms::vbNo);
    ok_->Click = [this] {
        const int answer = forms::Ui().MsgBox("Continuer ?", forms::vbYesNo + forms::vbQuestion,
                                              "Message ORVANIS");
        log_.push_back("answer " + std::to_string(answer));
    };
    QTest::keyClick(code_, Qt::Key_Backtab);
    log_.clear();
    QTest::keyClick(ok_, Qt::Key_Space);
    forms::WaitIdle();
    EXPECT_EQ(log_, (EventLog{"answer 7"}));
    EXPECT_EQ(QApplication::focusWidget(), ok_);
}

TEST_F(FocusTest, RealMessageBoxRaisesNoFocusEventsAndNoEnterFocus) {
    forms::QtUiService ui;
    forms::ScopedUi scope(ui);
    QStringList captions;
    // Answers the box from the event loop that the box itself runs.
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || !QApplication::focusWidget()) return;
        answerer.stop();
        for (QAbstractButton* button : box->buttons()) captions << button->text();
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == "Non") QTest::mouseClick(button, Qt::LeftButton);
        }
    });
    other_->LostFocus = [&] {
        log_.push_back("Lost:Txt_Other");
        answerer.start(10);
        const int answer = forms::Ui().MsgBox("Enregistrer ?", forms::vbYesNoCancel, "Message");
        log_.push_back("answer " + std::to_string(answer));
    };
    forms_test::ClickInto(other_);
    forms_test::ClickInto(inner_);
    ASSERT_TRUE(Eventually([&] { return log_.size() >= 5; }, "the answer"));
    forms::WaitIdle();
    EXPECT_TRUE(Eventually([&] { return QApplication::focusWidget() == inner_; }, "focus back"));
    forms::WaitIdle();
    EXPECT_EQ(captions, (QStringList{"Oui", "Non", "Annuler"}));
    EXPECT_EQ(log_, (EventLog{"Lost:Txt_Code", "Got:Txt_Other", "Lost:Txt_Other", "answer 7",
                              "Got:Txt_Inner"}));
}

TEST_F(FocusTest, ModalFormReturnRaisesEnterFocusOnly) {
    forms::ScriptedUiService ui;
    forms::ScopedUi scope(ui);
    Dialog dialog(form_, log_);
    ui.ModalShown = [&](forms::ModalForm& shown) {
        log_.push_back("shown " + forms_test::NameOf(&shown));
        QTest::keyClicks(dialog.field, "abc");
        shown.close();
    };
    ok_->Click = [&] {
        forms::Ui().ShowModal(dialog);
        log_.push_back("ShowModal returned");
    };
    forms::SetFocus(ok_);
    log_.clear();
    QTest::keyClick(ok_, Qt::Key_Return);
    EXPECT_TRUE(Eventually([&] { return QApplication::focusWidget() == ok_; }, "focus back"));
    forms::WaitIdle();
    EXPECT_EQ(log_, (EventLog{"Enter:Frm_Dialog", "Got:Txt_Dialog", "shown Frm_Dialog", "Unload",
                              "ShowModal returned", "Enter:Ctr_Test"}));
    EXPECT_EQ(dialog.field->Text(), "abc");
}

}  // namespace

namespace {

// Re-enabling a disabled control gives the focus back to the control that last had it.
class FocusReturnTest : public FocusTest {
protected:
    void SetUp() override {
        FocusTest::SetUp();
        // The host holds only the control, as the editor's host form does.
        sibling_->hide();
        ok_->Click = [this] { ClickHandler(); };
        forms::SetFocus(ok_);
        log_.clear();
    }

    // The handler under test: the control disabled around a modal display.
    void ClickHandler() {
        form_->setEnabled(false);
        if (dialog_) {
            forms::Ui().ShowModal(*dialog_);
        } else {
            forms::Ui().MsgBox("Continuer ?", forms::vbYesNo, "Message ORVANIS");
        }
        forms::Ui().DoEvents();  // the host window is active again, nothing holds its focus
        activeBeforeEnabling_ = host_->isActiveWindow();
        focusBeforeEnabling_ = QApplication::focusWidget();
        log_.push_back("enabling");
        form_->setEnabled(true);
        log_.push_back("enabled");
    }

    forms::ScriptedUiService ui_;
    forms::ScopedUi scope_{ui_};
    std::unique_ptr<Dialog> dialog_;
    bool activeBeforeEnabling_ = false;
    QWidget* focusBeforeEnabling_ = nullptr;
};

TEST_F(FocusReturnTest, AfterAModalFormEnterFocusAndGotFocusRunAsTheControlIsEnabled) {
    dialog_ = std::make_unique<Dialog>(host_.get(), log_);
    ui_.ModalShown = [](forms::ModalForm& shown) { shown.close(); };
    QTest::keyClick(ok_, Qt::Key_Space);
    forms::WaitIdle();
    EXPECT_TRUE(activeBeforeEnabling_);
    EXPECT_EQ(focusBeforeEnabling_, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), ok_);
    EXPECT_EQ(forms::FocusedControl(), ok_);
    EXPECT_EQ(log_, (EventLog{"Enter:Frm_Dialog", "Got:Txt_Dialog", "Unload", "enabling",
                              "Enter:Ctr_Test", "Got:Cmd_Ok", "enabled"}));
    // The control is back to normal: Tab leaves the button as usual.
    log_.clear();
    QTest::keyClick(ok_, Qt::Key_Tab);
    EXPECT_EQ(log_, (EventLog{"Lost:Cmd_Ok", "Got:Txt_Code"}));
}

TEST_F(FocusReturnTest, AfterAMessageBoxAloneNoEnterFocusRuns) {
    QTest::keyClick(ok_, Qt::Key_Space);
    forms::WaitIdle();
    EXPECT_EQ(ui_.TakeMessages().size(), 1u);
    EXPECT_EQ(QApplication::focusWidget(), ok_);
    EXPECT_EQ(log_, (EventLog{"enabling", "Got:Cmd_Ok", "enabled"}));
}

TEST_F(FocusReturnTest, ALastControlStillDisabledLeavesTheFocusToTheFirstOfTheTabOrder) {
    dialog_ = std::make_unique<Dialog>(host_.get(), log_);
    ui_.ModalShown = [this](forms::ModalForm& shown) {
        ok_->setEnabled(false);  // the button stays disabled on its own
        shown.close();
    };
    QTest::keyClick(ok_, Qt::Key_Space);
    forms::WaitIdle();
    EXPECT_EQ(QApplication::focusWidget(), code_);
    EXPECT_EQ(log_, (EventLog{"Enter:Frm_Dialog", "Got:Txt_Dialog", "Unload", "enabling",
                              "Enter:Ctr_Test", "Got:Txt_Code", "enabled"}));
}

TEST_F(FocusReturnTest, NothingMovesWhenTheWindowKeptAFocusOrIsNotActive) {
    sibling_->show();
    forms::SetFocus(sibling_);
    log_.clear();
    form_->setEnabled(false);
    form_->setEnabled(true);
    EXPECT_EQ(QApplication::focusWidget(), sibling_);

    // Another window active: the control waits for the operator.
    forms::SetFocus(code_);
    QWidget other;
    other.setObjectName("Other");
    auto* field = Named(new forms::TextBox(&other), "Txt_Elsewhere");
    form_->setEnabled(false);
    ASSERT_TRUE(forms_test::ShowActive(&other));
    ASSERT_TRUE(Eventually([&] { return field->hasFocus(); }, "the other window's focus"));
    log_.clear();
    form_->setEnabled(true);
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_TRUE(log_.empty());
}

}  // namespace
