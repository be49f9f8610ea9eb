// Message boxes, and handler errors reported in one.
#include <QStringList>

#include <gmock/gmock.h>

#include <functional>
#include <ostream>
#include <stdexcept>

#include "forms/handler.h"
#include "forms/idle.h"
#include "forms/msgbox.h"
#include "test_util.h"

namespace {

using namespace forms;
using forms_test::EventLog;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

struct StyleCase {
    int style;
    std::vector<int> buttons;
    QStringList captions;
    QString icon;
    int defaultButton;
};

TEST(MsgBoxStyleTest, ButtonsCaptionsIconAndDefault) {
    const StyleCase cases[] = {
        {0, {vbOK}, {"OK"}, "", 0},
        {64, {vbOK}, {"OK"}, "information", 0},
        {1 + 32, {vbOK, vbCancel}, {"OK", "Annuler"}, "question", 0},
        {2, {vbAbort, vbRetry, vbIgnore}, {"Abandonner", "Réessayer", "Ignorer"}, "", 0},
        {3 + 48 + 256, {vbYes, vbNo, vbCancel}, {"Oui", "Non", "Annuler"}, "exclamation", 1},
        {4 + 32 + 512, {vbYes, vbNo}, {"Oui", "Non"}, "question", 0},
        {5, {vbRetry, vbCancel}, {"Réessayer", "Annuler"}, "", 0},
        {22,
         {vbCancel, vbTryAgain, vbContinue},
         {"Annuler", "Réessayer", "Continuer"},
         "critical",
         0},
    };
    for (const StyleCase& c : cases) {
        SCOPED_TRACE(c.style);
        EXPECT_EQ(ButtonsOf(c.style), c.buttons);
        QStringList captions;
        for (int answer : ButtonsOf(c.style)) captions << ButtonCaption(answer);
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(IconName(IconOf(c.style)), c.icon);
        EXPECT_EQ(DefaultButtonOf(c.style), c.defaultButton);
    }
}

TEST(MsgBoxStyleTest, BadStylesAreRejectedByName) {
    ScriptedUiService ui;
    auto rejects = [](const char* what) {
        return ThrowsMessage<std::invalid_argument>(StrEq(what));
    };
    EXPECT_THAT([&] { ui.MsgBox("x", 7, "t"); },
                rejects("message box style 7: unknown buttons value 7"));
    EXPECT_THAT([] { IconOf(80); }, rejects("message box style 80: unknown icon value 80"));
    EXPECT_THAT([] { ButtonCaption(8); }, rejects("unknown message box answer 8"));
    EXPECT_TRUE(ui.Messages().empty());
}

[[noreturn]] void Fail() {
    throw std::runtime_error("base indisponible");
}

struct HookCase {
    const char* name;
    const char* where;
    std::function<void(forms_test::FormsTest&)> act;  // arms a failing handler, then acts
};

void PrintTo(const HookCase& hook, std::ostream* out) {
    *out << hook.name;
}

class HandlerErrorTest : public forms_test::FormsTest,
                         public ::testing::WithParamInterface<HookCase> {};

// What follows each failure shows that the event's caller carried on.
const HookCase kHooks[] = {
    {"ButtonClickEndsThere", "Cmd_Ok.Click",
     [](forms_test::FormsTest& t) {
         t.ok_->Click = [&t] {
             Fail();
             t.log_.push_back("after the failure");
         };
         forms_test::ClickInto(t.ok_);
     }},
    {"TypedChangeKeepsTheText", "Txt_Code.Change",
     [](forms_test::FormsTest& t) {
         t.code_->Change = [] { Fail(); };
         QTest::keyClicks(t.code_, "7");
         EXPECT_EQ(t.code_->Text(), "7");
     }},
    {"LostFocusThenTheMoveGoesOn", "Txt_Code.LostFocus",
     [](forms_test::FormsTest& t) {
         t.code_->LostFocus = [] { Fail(); };
         QTest::keyClick(t.code_, Qt::Key_Tab);
         EXPECT_TRUE(t.list_->hasFocus());
     }},
    {"EnterFocusThenGotFocus", "Ctr_Test.EnterFocus",
     [](forms_test::FormsTest& t) {
         forms::SetFocus(t.sibling_);
         t.form_->EnterFocus = [] { Fail(); };
         t.other_->GotFocus = [&t] { t.log_.push_back("Got:Txt_Other"); };
         forms_test::ClickInto(t.other_);
         EXPECT_EQ(t.log_, (EventLog{"Got:Txt_Other"}));
         t.log_.clear();
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
