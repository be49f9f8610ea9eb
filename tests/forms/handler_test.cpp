#include "forms/handler.h"

#include <QAbstractItemView>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "forms/idle.h"
#include "forms/popupmenu.h"
#include "test_util.h"

namespace {

using forms_test::EventLog;
using forms_test::Eventually;

[[noreturn]] void Fail() {
    throw std::runtime_error("base indisponible");
}

class HandlerErrorTest;
struct HookCase {
    const char* name;
    const char* where;
    std::function<void(HandlerErrorTest&)> act;  // arms a failing handler, then acts
};

void PrintTo(const HookCase& hook, std::ostream* out) {
    *out << hook.name;
}

class HandlerErrorTest : public forms_test::FormsTest,
                         public ::testing::WithParamInterface<HookCase> {
public:
    using FormsTest::code_;
    using FormsTest::form_;
    using FormsTest::list_;
    using FormsTest::log_;
    using FormsTest::ok_;
    using FormsTest::other_;
    using FormsTest::sibling_;
};

// What follows each failure shows that the event's caller carried on.
const HookCase kHooks[] = {
    {"ButtonClickEndsThere", "Cmd_Ok.Click",
     [](HandlerErrorTest& t) {
         t.ok_->Click = [&t] {
             Fail();
             t.log_.push_back("after the failure");
         };
         forms_test::ClickInto(t.ok_);
     }},
    {"TypedChangeKeepsTheText", "Txt_Code.Change",
     [](HandlerErrorTest& t) {
         t.code_->Change = [] { Fail(); };
         QTest::keyClicks(t.code_, "7");
         EXPECT_EQ(t.code_->Text(), "7");
     }},
    {"KeyPressKeepsTheKeyAsSet", "Txt_Code.KeyPress",
     [](HandlerErrorTest& t) {
         t.code_->KeyPress = [](std::int16_t& key) {
             key = 'B';
             Fail();
         };
         QTest::keyClick(t.code_, Qt::Key_A);
         EXPECT_EQ(t.code_->Text(), "B");
     }},
    {"ListChoiceByArrow", "Cbo_Lib.Click",
     [](HandlerErrorTest& t) {
         t.list_->Click = [](int) { Fail(); };
         forms::SetFocus(t.list_);
         QTest::keyClick(t.list_, Qt::Key_Down);
         EXPECT_EQ(t.list_->Text(), "NORD");
     }},
    {"DropDownStillOpensTheList", "Cbo_Lib.DropDown",
     [](HandlerErrorTest& t) {
         t.list_->DropDown = [] { Fail(); };
         forms::SetFocus(t.list_);
         QTest::keyClick(t.list_, Qt::Key_F4);
         EXPECT_TRUE(Eventually([&] { return t.list_->view()->isVisible(); }, "the open list"));
         t.list_->hidePopup();
     }},
    {"LostFocusThenTheMoveGoesOn", "Txt_Code.LostFocus",
     [](HandlerErrorTest& t) {
         t.code_->LostFocus = [] { Fail(); };
         QTest::keyClick(t.code_, Qt::Key_Tab);
         EXPECT_TRUE(t.list_->hasFocus());
     }},
    {"EnterFocusThenGotFocus", "Ctr_Test.EnterFocus",
     [](HandlerErrorTest& t) {
         forms::SetFocus(t.sibling_);
         t.form_->EnterFocus = [] { Fail(); };
         t.other_->GotFocus = [&t] { t.log_.push_back("Got:Txt_Other"); };
         forms_test::ClickInto(t.other_);
         EXPECT_EQ(t.log_, (EventLog{"Got:Txt_Other"}));
         t.log_.clear();
     }},
    {"MenuEntry", "Mnu_Sommaire.Click",
     [](HandlerErrorTest& t) {
         auto* menu = new forms::PopupMenu("Mnu_Aide", "Aide", t.form_);
         forms::MenuEntry* entry = menu->AddEntry("Mnu_Sommaire", "Aide ORVANIS");
         entry->Click = [] { Fail(); };
         menu->Popup(t.form_->mapToGlobal(QPoint(50, 50)));
         ASSERT_TRUE(Eventually([&] { return forms::PopupMenu::Open() == menu; }, "the menu"));
         QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
     }},
};

TEST_P(HandlerErrorTest, EndsTheHandlerAndShowsOneCriticalBox) {
    GetParam().act(*this);
    forms::WaitIdle();
    const std::vector<forms::MessageRecord> boxes = ui_.TakeMessages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              QString("Erreur inattendue dans ") + GetParam().where + " :\r\nbase indisponible");
    EXPECT_EQ(boxes[0].title, "Message ORVANIS");
    EXPECT_EQ(boxes[0].icon, forms::vbCritical);
    EXPECT_EQ(boxes[0].buttons, std::vector<int>{forms::vbOK});
    EXPECT_TRUE(log_.empty()) << log_.front();
}

INSTANTIATE_TEST_SUITE_P(Hooks, HandlerErrorTest, ::testing::ValuesIn(kHooks),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
