#include "forms/handler.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

#include "forms/button.h"
#include "forms/combobox.h"
#include "forms/form.h"
#include "forms/idle.h"
#include "forms/modalform.h"
#include "forms/msgbox.h"
#include "forms/popupmenu.h"
#include "forms/scripteduiservice.h"
#include "forms/textbox.h"
#include "test_util.h"

namespace {

using forms_test::EventLog;
using forms_test::Eventually;
using forms_test::Named;

[[noreturn]] void Fail() {
    throw std::runtime_error("base indisponible");
}

// A dialog whose Form_Unload sets cancel, then fails.
class FailingDialog : public forms::ModalForm {
public:
    explicit FailingDialog(QWidget* parent) : ModalForm(parent) {
        setObjectName("Frm_Echec");
        resize(200, 100);
    }
    std::int16_t cancelBeforeFailing = 0;

protected:
    void Form_Unload(std::int16_t& cancel) override {
        cancel = cancelBeforeFailing;
        Fail();
    }
};

// A host form with fields, a list, a button and a menu; every box goes to a script.
class HandlerErrorTest : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = std::make_unique<QWidget>();
        host_->setObjectName("Host");
        host_->resize(400, 300);
        sibling_ = Named(new forms::TextBox(host_.get()), "Txt_Host");
        sibling_->setGeometry(10, 260, 80, 24);
        form_ = Named(new forms::Form(host_.get()), "Ctr_Test");
        form_->setGeometry(0, 0, 400, 240);
        code_ = Named(new forms::TextBox(form_), "Txt_Code");
        code_->setGeometry(10, 10, 80, 24);
        other_ = Named(new forms::TextBox(form_), "Txt_Other");
        other_->setGeometry(10, 50, 80, 24);
        list_ = Named(new forms::ComboBox(form_), "Cbo_Lib");
        list_->setGeometry(100, 10, 150, 26);
        list_->AddItem("NORD");
        list_->AddItem("SUD");
        ok_ = Named(new forms::Button("OK", form_), "Cmd_Ok");
        ok_->setGeometry(10, 100, 80, 30);
        form_->SetTabIndex(code_, 0);
        form_->SetTabIndex(other_, 1);
        form_->SetTabIndex(list_, 2);
        form_->SetTabIndex(ok_, 3);
        ASSERT_TRUE(forms_test::ShowActive(host_.get()));
        forms::SetFocus(code_);
        ASSERT_TRUE(Eventually([&] { return forms::FocusedControl() == code_; }, "Txt_Code"));
    }

    void TearDown() override { forms::SetHandlerErrorReporter({}); }

    // The one box shown, as the operator read it.
    ::testing::AssertionResult OneErrorBox(const QString& where) {
        const std::vector<forms::MessageRecord> boxes = ui_.TakeMessages();
        if (boxes.size() != 1)
            return ::testing::AssertionFailure() << boxes.size() << " boxes shown";
        const forms::MessageRecord& box = boxes.front();
        const QString expected = "Erreur inattendue dans " + where + " :\r\nbase indisponible";
        if (box.text != expected || box.title != "Message ORVANIS" ||
            box.icon != forms::vbCritical || box.buttons != std::vector<int>{forms::vbOK}) {
            return ::testing::AssertionFailure()
                   << "box \"" << box.text.toStdString() << "\" titled \""
                   << box.title.toStdString() << "\", icon " << box.icon;
        }
        return ::testing::AssertionSuccess();
    }

    forms::ScriptedUiService ui_;
    forms::ScopedUi scope_{ui_};
    std::unique_ptr<QWidget> host_;
    forms::TextBox* sibling_ = nullptr;
    forms::Form* form_ = nullptr;
    forms::TextBox* code_ = nullptr;
    forms::TextBox* other_ = nullptr;
    forms::ComboBox* list_ = nullptr;
    forms::Button* ok_ = nullptr;
    EventLog log_;
};

// A failing handler of each kind, raised by the operator's own input; what happens next
// shows that the event's caller carried on.
class FailingHook;
struct HookCase {
    const char* name;
    const char* where;
    std::function<void(FailingHook&)> act;
};

class FailingHook : public HandlerErrorTest, public ::testing::WithParamInterface<HookCase> {
public:
    using HandlerErrorTest::code_;
    using HandlerErrorTest::form_;
    using HandlerErrorTest::list_;
    using HandlerErrorTest::log_;
    using HandlerErrorTest::ok_;
    using HandlerErrorTest::other_;
    using HandlerErrorTest::sibling_;
};

void PrintTo(const HookCase& hook, std::ostream* out) {
    *out << hook.name;
}

const HookCase kHooks[] = {
    {"ButtonClick", "Cmd_Ok.Click",
     [](FailingHook& f) {
         f.ok_->Click = [&f] {
             f.log_.push_back("click");
             Fail();
             f.log_.push_back("after the failure");
         };
         forms_test::ClickInto(f.ok_);
         EXPECT_EQ(f.log_, (EventLog{"click"}));
         f.log_.clear();
     }},
    {"TypedChangeKeepsTheText", "Txt_Code.Change",
     [](FailingHook& f) {
         f.code_->Change = [] { Fail(); };
         QTest::keyClicks(f.code_, "7");
         EXPECT_EQ(f.code_->Text(), "7");
     }},
    {"KeyPressKeepsTheKeyAsSet", "Txt_Code.KeyPress",
     [](FailingHook& f) {
         f.code_->KeyPress = [](std::int16_t& key) {
             key = 'B';
             Fail();
         };
         QTest::keyClick(f.code_, Qt::Key_A, Qt::NoModifier);
         EXPECT_EQ(f.code_->Text(), "B");
     }},
    {"ListChoiceByArrow", "Cbo_Lib.Click",
     [](FailingHook& f) {
         f.list_->Click = [](int) { Fail(); };
         forms::SetFocus(f.list_);
         QTest::keyClick(f.list_, Qt::Key_Down);
         EXPECT_EQ(f.list_->Text(), "NORD");
     }},
    {"DropDownStillOpensTheList", "Cbo_Lib.DropDown",
     [](FailingHook& f) {
         f.list_->DropDown = [] { Fail(); };
         forms::SetFocus(f.list_);
         QTest::keyClick(f.list_, Qt::Key_F4);
         EXPECT_TRUE(Eventually([&] { return f.list_->view()->isVisible(); }, "the open list"));
         f.list_->hidePopup();
     }},
    {"ListTypedChange", "Cbo_Lib.Change",
     [](FailingHook& f) {
         f.list_->Change = [] { Fail(); };
         forms::SetFocus(f.list_);
         QTest::keyClicks(QApplication::focusWidget(), "N");
         EXPECT_EQ(f.list_->Text(), "N");
     }},
    {"LostFocusThenTheMoveGoesOn", "Txt_Code.LostFocus",
     [](FailingHook& f) {
         f.code_->LostFocus = [] { Fail(); };
         f.other_->GotFocus = [&f] { f.log_.push_back("Got:Txt_Other"); };
         QTest::keyClick(f.code_, Qt::Key_Tab);
         EXPECT_EQ(QApplication::focusWidget(), f.other_);
         EXPECT_EQ(f.log_, (EventLog{"Got:Txt_Other"}));
         f.log_.clear();
     }},
    {"GotFocus", "Txt_Other.GotFocus",
     [](FailingHook& f) {
         f.other_->GotFocus = [] { Fail(); };
         QTest::keyClick(f.code_, Qt::Key_Tab);
         EXPECT_EQ(QApplication::focusWidget(), f.other_);
     }},
    {"EnterFocusThenGotFocus", "Ctr_Test.EnterFocus",
     [](FailingHook& f) {
         forms::SetFocus(f.sibling_);
         f.form_->EnterFocus = [] { Fail(); };
         f.other_->GotFocus = [&f] { f.log_.push_back("Got:Txt_Other"); };
         forms_test::ClickInto(f.other_);
         EXPECT_EQ(f.log_, (EventLog{"Got:Txt_Other"}));
         f.log_.clear();
     }},
    {"MouseDownOnTheForm", "Ctr_Test.MouseDown",
     [](FailingHook& f) {
         f.form_->MouseDown = [](std::int16_t&, std::int16_t&, float, float) { Fail(); };
         QTest::mouseClick(f.form_, Qt::RightButton, {}, QPoint(300, 200));
     }},
    {"MenuEntry", "Mnu_Sommaire.Click",
     [](FailingHook& f) {
         auto* menu = new forms::PopupMenu("Mnu_Aide", "Aide", f.form_);
         forms::MenuEntry* entry = menu->AddEntry("Mnu_Sommaire", "Aide ORVANIS");
         entry->Click = [] { Fail(); };
         menu->Popup(f.form_->mapToGlobal(QPoint(50, 50)));
         ASSERT_TRUE(Eventually([&] { return forms::PopupMenu::Open() == menu; }, "the menu"));
         QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
         forms::WaitIdle();
     }},
};

TEST_P(FailingHook, EndsTheHandlerAndShowsOneCriticalBox) {
    GetParam().act(*this);
    forms::WaitIdle();
    EXPECT_TRUE(OneErrorBox(GetParam().where));
    EXPECT_TRUE(log_.empty()) << log_.front();
}

INSTANTIATE_TEST_SUITE_P(Hooks, FailingHook, ::testing::ValuesIn(kHooks),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HandlerErrorTest, NestedChangeEndsAloneAndTheOuterHandlerGoesOn) {
    code_->Change = [this] {
        log_.push_back("outer starts");
        other_->SetText(code_->Text() + "0");
        log_.push_back("outer goes on with " + other_->Text().toStdString());
    };
    other_->Change = [this] {
        log_.push_back("nested starts");
        Fail();
    };
    QTest::keyClicks(code_, "7");
    EXPECT_EQ(log_, (EventLog{"outer starts", "nested starts", "outer goes on with 70"}));
    EXPECT_TRUE(OneErrorBox("Txt_Other.Change"));
}

TEST_F(HandlerErrorTest, FormUnloadFailureKeepsTheCancelItHadSet) {
    FailingDialog dialog(form_);
    int shown = 0;
    ui_.ModalShown = [&](forms::ModalForm& form) {
        ++shown;
        dialog.cancelBeforeFailing = -1;
        form.close();  // refused: cancel was set before the failure
        EXPECT_TRUE(form.isVisible());
        EXPECT_TRUE(OneErrorBox("Frm_Echec.Form_Unload"));
        dialog.cancelBeforeFailing = 0;
        form.close();
    };
    ok_->Click = [&] { forms::Ui().ShowModal(dialog); };
    forms_test::ClickInto(ok_);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.Loaded());
    EXPECT_TRUE(OneErrorBox("Frm_Echec.Form_Unload"));
}

TEST_F(HandlerErrorTest, AReplacedReporterGetsTheErrorsInsteadOfABox) {
    std::vector<forms::HandlerError> seen;
    const forms::HandlerErrorReporter previous =
        forms::SetHandlerErrorReporter([&](const forms::HandlerError& e) { seen.push_back(e); });
    EXPECT_FALSE(previous);  // the default was in place
    ok_->Click = [] { throw 42; };
    code_->Change = [] { throw std::logic_error("date invalide"); };
    forms_test::ClickInto(ok_);
    QTest::keyClicks(code_, "1");
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].control, "Cmd_Ok");
    EXPECT_EQ(seen[0].event, "Click");
    EXPECT_EQ(seen[0].message, "exception d'un type inconnu");
    EXPECT_EQ(forms::HandlerErrorText(seen[1]),
              "Erreur inattendue dans Txt_Code.Change :\r\ndate invalide");
    EXPECT_TRUE(ui_.TakeMessages().empty());

    // A reporter that fails itself is swallowed too; the default comes back when cleared.
    forms::SetHandlerErrorReporter([](const forms::HandlerError&) { Fail(); });
    forms_test::ClickInto(ok_);
    EXPECT_TRUE(ui_.TakeMessages().empty());
    EXPECT_TRUE(forms::SetHandlerErrorReporter({}));
    forms_test::ClickInto(ok_);
    EXPECT_EQ(ui_.TakeMessages().size(), 1u);
}

}  // namespace
