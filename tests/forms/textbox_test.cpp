// Text boxes and lists: Change, KeyPress, maximum length, Click and DropDown.
#include <QAbstractItemView>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "test_util.h"

namespace {

using forms_test::EventLog;
using forms_test::Eventually;

class TextBoxTest : public forms_test::FormsTest {};

TEST_F(TextBoxTest, ChangeRunsWheneverTheTextActuallyChanges) {
    LogChanges(code_);
    QTest::keyClicks(code_, "abc");
    QTest::keyClick(code_, Qt::Key_Backspace);
    QTest::keyClick(code_, Qt::Key_Home);
    QTest::keyClick(code_, Qt::Key_Backspace);  // nothing before the caret
    code_->SetText("007");
    code_->SetText("007");
    code_->setText("007");
    QTest::keyClick(code_, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(code_, "4");  // typing over the selection is one change
    code_->SetText("");
    code_->SetText("");
    EXPECT_EQ(log_, (EventLog{"Txt_Code=a", "Txt_Code=ab", "Txt_Code=abc", "Txt_Code=ab",
                              "Txt_Code=007", "Txt_Code=4", "Txt_Code="}));
}

TEST_F(TextBoxTest, ChangeRunsNestedInsideWhateverChangedTheText) {
    code_->Change = [this] {
        log_.push_back("code begins " + code_->Text().toStdString());
        other_->SetText(code_->Text() + "!");
        log_.push_back("code ends, other is " + other_->Text().toStdString());
    };
    other_->Change = [this] {
        log_.push_back("other=" + other_->Text().toStdString());
        if (!other_->Text().isEmpty()) other_->SetText("");  // its own Change runs again, nested
    };
    QTest::keyClicks(code_, "7");
    EXPECT_EQ(log_, (EventLog{"code begins 7", "other=7!", "other=", "code ends, other is "}));
}

struct KeyPressCase {
    const char* name;
    std::function<void(std::int16_t&)> handler;
    QString typed;  // "\r" is Enter, "\b" Backspace
    QString expectedText;
    std::vector<int> expectedCodes;
};

void PrintTo(const KeyPressCase& c, std::ostream* os) {
    *os << c.name;
}

class KeyPressTest : public TextBoxTest, public ::testing::WithParamInterface<KeyPressCase> {};

TEST_P(KeyPressTest, HandlerSeesEachKeyBeforeItIsTyped) {
    const KeyPressCase& c = GetParam();
    std::vector<int> codes;
    code_->KeyPress = [&](std::int16_t& keyAscii) {
        codes.push_back(keyAscii);
        if (c.handler) c.handler(keyAscii);
    };
    for (QChar ch : c.typed) {
        const int key = ch == '\r'   ? int{Qt::Key_Return}
                        : ch == '\b' ? int{Qt::Key_Backspace}
                                     : int{ch.toUpper().unicode()};
        QTest::sendKeyEvent(QTest::Click, code_, Qt::Key(key), QString(ch), Qt::NoModifier);
    }
    EXPECT_EQ(code_->Text(), c.expectedText);
    EXPECT_EQ(codes, c.expectedCodes);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyPressTest,
    ::testing::Values(
        KeyPressCase{
            "Replaced", [](std::int16_t& k) { k = k == 'a' ? 'A' : k; }, "ab", "Ab", {'a', 'b'}},
        KeyPressCase{"Swallowed",
                     [](std::int16_t& k) { k = k == '1' ? 0 : k; },
                     "a1b",
                     "ab",
                     {'a', '1', 'b'}},
        KeyPressCase{"EnterAndBackspaceReachIt", nullptr, "xy\r\b", "x", {'x', 'y', 13, 8}},
        KeyPressCase{"SwallowedBackspaceDeletesNothing",
                     [](std::int16_t& k) { k = k == 8 ? 0 : k; },
                     "xy\b",
                     "xy",
                     {'x', 'y', 8}},
        KeyPressCase{"AccentedCharacterCode", nullptr, "é", "é", {0xE9}}),
    [](const ::testing::TestParamInfo<KeyPressCase>& info) { return info.param.name; });

TEST_F(TextBoxTest, KeyPressRunsBeforeInsertionAndTabOnlyMovesTheFocus) {
    std::vector<std::string> seen;
    code_->KeyPress = [&](std::int16_t&) { seen.push_back(code_->Text().toStdString()); };
    QTest::keyClicks(code_, "ab");
    QTest::keyClick(code_, Qt::Key_Tab);
    EXPECT_EQ(seen, (std::vector<std::string>{"", "a"}));
    EXPECT_EQ(code_->Text(), "ab");
    EXPECT_TRUE(list_->hasFocus());
}

TEST_F(TextBoxTest, MaxLengthStopsTypingAndCutsCodeText) {
    code_->SetMaxLength(3);
    LogChanges(code_);
    QTest::keyClicks(code_, "12345");
    EXPECT_EQ(log_, (EventLog{"Txt_Code=1", "Txt_Code=12", "Txt_Code=123"}));
    code_->SetText("abcdef");
    EXPECT_EQ(code_->Text(), "abc");
    code_->SetMaxLength(0);
    QTest::keyClicks(code_, "defg");
    EXPECT_EQ(code_->Text(), "abcdefg");
}

class ComboBoxTest : public forms_test::FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        LogChanges(list_);
        list_->Click = [this](int index) {
            log_.push_back("Click " + std::to_string(index) + " " + list_->Text().toStdString());
        };
        list_->DropDown = [this] {
            log_.push_back(list_->view()->isVisible() ? "DropDown open" : "DropDown closed");
            list_->AddItem("CENTRE");  // filled on demand, before it shows
        };
        forms::SetFocus(list_);
    }

    void OpenAndChooseByMouse(int row) {
        QTest::mouseClick(list_, Qt::LeftButton, {}, QPoint(list_->width() - 6, 13));  // arrow
        ASSERT_TRUE(Eventually([&] { return list_->view()->isVisible(); }, "the open list"));
        QAbstractItemView* view = list_->view();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(row, 0)).center());
        EXPECT_TRUE(Eventually([&] { return !view->isVisible(); }, "the list to close"));
    }
};

TEST_F(ComboBoxTest, ClearEmptiesListAndTextWithoutChange) {
    list_->SetText("NORD");
    list_->Clear();
    EXPECT_EQ(list_->ListCount(), 0);
    EXPECT_EQ(list_->Text(), "");
    list_->SetText("");  // the emptied text is the current one
    EXPECT_EQ(log_, (EventLog{"Cbo_Lib=NORD"}));
}

TEST_F(ComboBoxTest, TypedTextRaisesChangeAndKeyPressButIsNoChoice) {
    std::vector<int> codes;
    list_->KeyPress = [&](std::int16_t& k) {
        codes.push_back(k);
        if (k == 'x') k = 0;
        if (k >= 'a' && k <= 'z') k = static_cast<std::int16_t>(k - 'a' + 'A');
    };
    QTest::keyClicks(list_, "sxud\r");
    list_->SetText("SUD");
    list_->SetText("OUEST");
    EXPECT_EQ(codes, (std::vector<int>{'s', 'x', 'u', 'd', 13}));
    EXPECT_EQ(log_, (EventLog{"Cbo_Lib=S", "Cbo_Lib=SU", "Cbo_Lib=SUD", "Cbo_Lib=OUEST"}));
    EXPECT_EQ(list_->ListIndex(), -1);  // matching an entry is not choosing it
    EXPECT_EQ(list_->ListCount(), 4);   // Enter inserted nothing
}

TEST_F(ComboBoxTest, DropDownRunsBeforeOpeningAndMouseChoiceClicksWithoutChange) {
    OpenAndChooseByMouse(4);
    list_->SetText("SUD");
    OpenAndChooseByMouse(1);  // the shown entry again still clicks
    EXPECT_EQ(list_->ListIndex(), 1);
    EXPECT_EQ(log_, (EventLog{"DropDown closed", "Click 4 CENTRE", "Cbo_Lib=SUD", "DropDown closed",
                              "Click 1 SUD"}));
}

TEST_F(ComboBoxTest, KeyboardChoiceInTheOpenList) {
    QTest::keyClick(list_, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Eventually([&] { return list_->view()->isVisible(); }, "the open list"));
    QAbstractItemView* view = list_->view();
    view->setCurrentIndex(view->model()->index(0, 0));
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_TRUE(Eventually([&] { return !view->isVisible(); }, "the list to close"));
    EXPECT_EQ(log_, (EventLog{"DropDown closed", "Click 2 EST"}));
}

}  // namespace
