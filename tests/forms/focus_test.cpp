// Focus events, modal forms and message boxes over the control.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "forms/idle.h"
#include "forms/modalform.h"
#include "forms/msgbox.h"
#include "forms/qtuiservice.h"
#include "test_util.h"

namespace {

using forms_test::EventLog;
using forms_test::Eventually;
using forms_test::Named;
using forms_test::NameOf;

// A dialog with one field, that may refuse to close.
class Dialog : public forms::ModalForm {
public:
    Dialog(QWidget* parent, EventLog& log) : ModalForm(parent), log_(log) {
        setObjectName("Frm_Dialog");
        resize(200, 100);
        field = Named(new forms::TextBox(this), "Txt_Dialog", {10, 10, 100, 24});
        SetTabIndex(field, 0);
        forms_test::WatchFocus(log_, field);
        EnterFocus = [this] { log_.push_back("Enter:Frm_Dialog"); };
    }
    void Form_Unload(std::int16_t& cancel) override {
        log_.push_back(mayClose ? "Unload" : "Unload refused");
        if (!mayClose) cancel = -1;
    }
    EventLog& log_;
    forms::TextBox* field;
    bool mayClose = true;
};

class FocusTest : public forms_test::FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        WatchAllFocus();
    }
    QWidget* Focused() const { return QApplication::focusWidget(); }
};

TEST_F(FocusTest, ClickCodeAndEntryFromTheHostMoveTheFocusFirst) {
    ok_->Click = [this] { log_.push_back("Click:Cmd_Ok"); };
    forms_test::ClickInto(other_);
    forms_test::ClickInto(ok_);
    EXPECT_TRUE(forms::SetFocus(inner_));
    list_->setEnabled(false);
    EXPECT_FALSE(forms::SetFocus(list_));
    forms::SetFocus(sibling_);  // entering the form from the host raises EnterFocus first
    forms_test::ClickInto(other_);
    EXPECT_EQ(log_, (EventLog{"Lost:Txt_Code", "Got:Txt_Other", "Lost:Txt_Other", "Got:Cmd_Ok",
                              "Click:Cmd_Ok", "Lost:Cmd_Ok", "Got:Txt_Inner", "Lost:Txt_Inner",
                              "Enter:Ctr_Test", "Got:Txt_Other"}));
}

TEST_F(FocusTest, RealMessageBoxRaisesNoFocusEventsAndShowsFrenchButtons) {
    forms::QtUiService real;
    forms::ScopedUi scope(real);
    QStringList captions;
    QTimer operatorHand;  // answers from the event loop the box itself runs
    QObject::connect(&operatorHand, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || !QApplication::focusWidget()) return;
        operatorHand.stop();
        for (QAbstractButton* button : box->buttons()) captions << button->text();
        QTest::mouseClick(box->buttons().value(1), Qt::LeftButton);  // "Non"
    });
    other_->LostFocus = [&] {
        log_.push_back("Lost:Txt_Other");
        operatorHand.start(10);
        const int answer = forms::Ui().MsgBox("Enregistrer ?", forms::vbYesNoCancel, "Message");
        log_.push_back("answer " + std::to_string(answer));
    };
    forms_test::ClickInto(other_);
    forms_test::ClickInto(inner_);
    ASSERT_TRUE(Eventually([&] { return log_.size() >= 5 && Focused() == inner_; }, "focus back"));
    forms::WaitIdle();
    EXPECT_EQ(captions, (QStringList{"Oui", "Non", "Annuler"}));
    EXPECT_EQ(log_, (EventLog{"Lost:Txt_Code", "Got:Txt_Other", "Lost:Txt_Other", "answer 7",
                              "Got:Txt_Inner"}));
}

TEST_F(FocusTest, ModalFormSuspendsTheCallerAndItsReturnRaisesEnterFocusOnly) {
    Dialog dialog(form_, log_);
    ui_.ModalShown = [&](forms::ModalForm& shown) {
        EXPECT_EQ(forms::Ui().ActiveModal(), &shown);
        EXPECT_FALSE(forms::CanOperate(ok_));
        QTest::keyClicks(dialog.field, "abc");
        QTest::keyClick(&shown, Qt::Key_Escape);  // neither key closes it
        QTest::keyClick(&shown, Qt::Key_Return);
        dialog.mayClose = false;
        shown.close();  // the close box goes through Form_Unload, which refuses
        log_.push_back(shown.isVisible() ? "still shown" : "hidden");
        dialog.mayClose = true;
        shown.close();
    };
    ok_->Click = [&] {
        forms::Ui().ShowModal(dialog);
        log_.push_back("ShowModal returned");
    };
    forms::SetFocus(ok_);
    log_.clear();
    QTest::keyClick(ok_, Qt::Key_Return);
    EXPECT_TRUE(Eventually([&] { return Focused() == ok_; }, "focus back"));
    forms::WaitIdle();
    EXPECT_EQ(log_, (EventLog{"Enter:Frm_Dialog", "Got:Txt_Dialog", "Unload refused", "still shown",
                              "Unload", "ShowModal returned", "Enter:Ctr_Test"}));
    EXPECT_EQ(dialog.field->Text(), "abc");
    EXPECT_TRUE(forms::CanOperate(ok_));
}

// Code disables the control holding the focus, or its frame: the focus moves nowhere (it is
// parked on the form, no event runs, keys reach no control) and the next Tab goes on from the
// disabled control's place; a click focuses a control as usual.
struct Parking {
    const char* name;
    const char* start;
    const char* disabled;
    Qt::Key key;          // pressed afterwards, or Key_unknown to click Txt_Other
    EventLog afterwards;  // what the key or click raises
};

void PrintTo(const Parking& p, std::ostream* out) {
    *out << p.name;
}

class ParkingTest : public FocusTest, public ::testing::WithParamInterface<Parking> {};

TEST_P(ParkingTest, DisablingTheFocusedControlMovesNothing) {
    const Parking& p = GetParam();
    ASSERT_TRUE(forms::SetFocus(form_->findChild<QWidget*>(p.start)));
    log_.clear();
    form_->findChild<QWidget*>(p.disabled)->setEnabled(false);
    EXPECT_EQ(log_, EventLog{});
    EXPECT_EQ(Focused(), form_);
    EXPECT_EQ(forms::FocusedControl(), form_);
    QTest::keyClicks(Focused(), "z");
    for (auto* box : {code_, inner_, other_}) EXPECT_EQ(box->Text(), "") << NameOf(box);
    EXPECT_EQ(list_->Text(), "");
    if (p.key == Qt::Key_unknown) {
        forms_test::ClickInto(other_);
    } else {
        QTest::keyClick(Focused(), p.key);
    }
    EXPECT_EQ(log_, p.afterwards);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Focus, ParkingTest, ::testing::Values(
    Parking{"TabFromTheCode", "Txt_Code", "Txt_Code", Qt::Key_Tab, {"Got:Cbo_Lib"}},
    Parking{"BackTabFromTheCode", "Txt_Code", "Txt_Code", Qt::Key_Backtab, {"Got:Cmd_Ok"}},
    Parking{"TabFromTheList", "Cbo_Lib", "Cbo_Lib", Qt::Key_Tab, {"Got:Txt_Other"}},
    Parking{"TabFromADisabledFrame", "Txt_Inner", "Cdr_Cadre", Qt::Key_Tab, {"Got:Cmd_Ok"}},
    Parking{"BackTabFromADisabledFrame", "Txt_Inner", "Cdr_Cadre", Qt::Key_Backtab,
            {"Got:Txt_Other"}},
    Parking{"ClickElsewhere", "Txt_Code", "Txt_Code", Qt::Key_unknown, {"Got:Txt_Other"}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// A handler disables the control around a modal display, then enables it again: the focus
// goes back to the control that last had it, inside the call that enables it. A control
// disabled meanwhile is not replaced: the focus is parked.
struct Return {
    const char* name;
    bool modalForm;  // or a message box
    bool disabledMeanwhile;
    EventLog log;
};

void PrintTo(const Return& r, std::ostream* out) {
    *out << r.name;
}

class FocusReturnTest : public FocusTest, public ::testing::WithParamInterface<Return> {};

TEST_P(FocusReturnTest, ReEnablingGivesTheFocusBackToAControlStillEnabled) {
    const Return& r = GetParam();
    sibling_->hide();  // the host holds only the control, as the editor's host form does
    Dialog dialog(host_.get(), log_);
    ui_.ModalShown = [](forms::ModalForm& shown) { shown.close(); };
    ok_->Click = [&] {
        form_->setEnabled(false);
        if (r.modalForm) {
            forms::Ui().ShowModal(dialog);
        } else {
            forms::Ui().MsgBox("Continuer ?", forms::vbYesNo, "Message ORVANIS");
        }
        forms::Ui().DoEvents();
        if (r.disabledMeanwhile) ok_->setEnabled(false);
        log_.push_back("enabling");
        form_->setEnabled(true);
        log_.push_back("enabled");
    };
    forms::SetFocus(ok_);
    log_.clear();
    QTest::keyClick(ok_, Qt::Key_Space);
    forms::WaitIdle();
    EXPECT_EQ(Focused(), r.disabledMeanwhile ? static_cast<QWidget*>(form_) : ok_);
    EXPECT_EQ(log_, r.log);
    log_.clear();
    QTest::keyClick(Focused(), Qt::Key_Tab);  // back to normal
    EXPECT_EQ(log_, r.disabledMeanwhile ? EventLog{"Got:Txt_Code"}
                                        : (EventLog{"Lost:Cmd_Ok", "Got:Txt_Code"}));
}

// A message box raises no EnterFocus.
// clang-format off
INSTANTIATE_TEST_SUITE_P(After, FocusReturnTest, ::testing::Values(
    Return{"ModalForm", true, false, {"Enter:Frm_Dialog", "Got:Txt_Dialog", "Unload", "enabling",
                                      "Enter:Ctr_Test", "Got:Cmd_Ok", "enabled"}},
    Return{"MessageBox", false, false, {"enabling", "Got:Cmd_Ok", "enabled"}},
    Return{"ModalFormControlDisabled", true, true, {"Enter:Frm_Dialog", "Got:Txt_Dialog",
                                                    "Unload", "enabling", "Enter:Ctr_Test",
                                                    "enabled"}},
    Return{"MessageBoxControlDisabled", false, true, {"enabling", "enabled"}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

}  // namespace
