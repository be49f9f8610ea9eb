#include "forms/textbox.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "forms/form.h"
#include "test_util.h"

namespace {

using forms::TextBox;
using forms_test::EventLog;
using forms_test::Named;

class TextBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = std::make_unique<forms::Form>();
        form_->setObjectName("Frm_Test");
        form_->resize(300, 200);
        a_ = Named(new TextBox(form_.get()), "Txt_A");
        b_ = Named(new TextBox(form_.get()), "Txt_B");
        a_->setGeometry(10, 10, 120, 24);
        b_->setGeometry(10, 50, 120, 24);
        form_->SetTabIndex(a_, 0);
        form_->SetTabIndex(b_, 1);
        ASSERT_TRUE(forms_test::ShowActive(form_.get()));
        a_->setFocus();
        ASSERT_TRUE(forms_test::Eventually([&] { return a_->hasFocus(); }, "focus on Txt_A"));
    }

    // Each Change of box as "Name=text".
    void LogChanges(TextBox* box) {
        box->Change = [this, box] {
            log_.push_back(forms_test::NameOf(box) + "=" + box->Text().toStdString());
        };
    }

    std::unique_ptr<forms::Form> form_;
    TextBox* a_ = nullptr;
    TextBox* b_ = nullptr;
    EventLog log_;
};

TEST_F(TextBoxTest, TypingRaisesChangeForEveryCharacterAndBackspace) {
    LogChanges(a_);
    QTest::keyClicks(a_, "abc");
    QTest::keyClick(a_, Qt::Key_Backspace);
    EXPECT_EQ(log_, (EventLog{"Txt_A=a", "Txt_A=ab", "Txt_A=abc", "Txt_A=ab"}));
}

TEST_F(TextBoxTest, SetTextRaisesChangeOnlyWhenTheTextChanges) {
    LogChanges(a_);
    a_->SetText("007");
    a_->SetText("007");
    a_->setText("007");
    a_->SetText("");
    a_->SetText("");
    EXPECT_EQ(log_, (EventLog{"Txt_A=007", "Txt_A="}));
}

TEST_F(TextBoxTest, KeyThatChangesNothingRaisesNoChange) {
    a_->SetText("x");
    LogChanges(a_);
    QTest::keyClick(a_, Qt::Key_Home);
    QTest::keyClick(a_, Qt::Key_Backspace);  // nothing before the caret
    QTest::keyClick(a_, Qt::Key_Delete);
    QTest::keyClick(a_, Qt::Key_Delete);  // nothing after it any more
    EXPECT_EQ(log_, (EventLog{"Txt_A="}));
}

TEST_F(TextBoxTest, ChangeOfAnotherBoxRunsNestedInsideTheHandler) {
    a_->Change = [this] {
        log_.push_back("A begins " + a_->Text().toStdString());
        b_->SetText(a_->Text() + "!");
        log_.push_back("A ends, B is " + b_->Text().toStdString());
    };
    b_->Change = [this] { log_.push_back("B " + b_->Text().toStdString()); };
    QTest::keyClicks(a_, "7");
    EXPECT_EQ(log_, (EventLog{"A begins 7", "B 7!", "A ends, B is 7!"}));
}

TEST_F(TextBoxTest, HandlerSettingItsOwnTextRunsAgainNested) {
    // Typing over a shown value loses the first key: its handler empties the field.
    a_->SetText("007");
    a_->Change = [this] {
        log_.push_back("begin " + a_->Text().toStdString());
        if (a_->Text().size() == 1) a_->SetText("");
        log_.push_back("end " + a_->Text().toStdString());
    };
    QTest::keyClick(a_, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(a_, "53");
    EXPECT_EQ(log_,
              (EventLog{"begin 5", "begin ", "end ", "end ", "begin 3", "begin ", "end ", "end "}));
    EXPECT_EQ(a_->Text(), "");
}

TEST_F(TextBoxTest, TypingOverASelectionIsOneChange) {
    a_->SetText("007");
    LogChanges(a_);
    QTest::keyClick(a_, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(a_, "4");
    EXPECT_EQ(log_, (EventLog{"Txt_A=4"}));
}

struct KeyPressCase {
    const char* name;
    std::function<void(std::int16_t&)> handler;
    std::vector<std::pair<Qt::Key, QString>> keys;
    QString expectedText;
    std::vector<int> expectedCodes;
};

void PrintTo(const KeyPressCase& c, std::ostream* os) {
    *os << c.name;
}

// Typed characters, then special keys, as (key, text) pairs.
std::vector<std::pair<Qt::Key, QString>> Keys(const char* text, std::vector<Qt::Key> extra = {}) {
    std::vector<std::pair<Qt::Key, QString>> keys;
    for (QChar c : QString::fromUtf8(text)) {
        keys.emplace_back(static_cast<Qt::Key>(c.toUpper().unicode()), QString(c));
    }
    for (Qt::Key key : extra) {
        const QString keyText = key == Qt::Key_Return      ? QStringLiteral("\r")
                                : key == Qt::Key_Backspace ? QStringLiteral("\b")
                                                           : QString();
        keys.emplace_back(key, keyText);
    }
    return keys;
}

class KeyPressTest : public TextBoxTest, public ::testing::WithParamInterface<KeyPressCase> {};

TEST_P(KeyPressTest, HandlerSeesTheKeyBeforeItIsTyped) {
    const KeyPressCase& c = GetParam();
    std::vector<int> codes;
    a_->KeyPress = [&](std::int16_t& keyAscii) {
        codes.push_back(keyAscii);
        if (c.handler) c.handler(keyAscii);
    };
    for (const auto& [key, text] : c.keys) {
        QTest::sendKeyEvent(QTest::Click, a_, key, text, Qt::NoModifier);
    }
    EXPECT_EQ(a_->Text(), c.expectedText);
    EXPECT_EQ(codes, c.expectedCodes);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyPressTest,
    ::testing::Values(KeyPressCase{"PassesThrough", nullptr, Keys("a7"), "a7", {'a', '7'}},
                      KeyPressCase{
                          "ReplacedByUpperCase",
                          [](std::int16_t& k) { k = static_cast<std::int16_t>(std::toupper(k)); },
                          Keys("ab1"),
                          "AB1",
                          {'a', 'b', '1'}},
                      KeyPressCase{"SwallowedDigits",
                                   [](std::int16_t& k) {
                                       if (k >= '0' && k <= '9') k = 0;
                                   },
                                   Keys("a1b2"),
                                   "ab",
                                   {'a', '1', 'b', '2'}},
                      KeyPressCase{"EnterAndBackspaceReachIt",
                                   nullptr,
                                   Keys("xy", {Qt::Key_Return, Qt::Key_Backspace}),
                                   "x",
                                   {'x', 'y', 13, 8}},
                      KeyPressCase{"SwallowedBackspaceDeletesNothing",
                                   [](std::int16_t& k) {
                                       if (k == 8) k = 0;
                                   },
                                   Keys("xy", {Qt::Key_Backspace}),
                                   "xy",
                                   {'x', 'y', 8}},
                      KeyPressCase{"AccentedCharacterCode", nullptr, Keys("é"), "é", {0xE9}},
                      KeyPressCase{"SpaceReplacedByUnderscore",
                                   [](std::int16_t& k) {
                                       if (k == ' ') k = '_';
                                   },
                                   Keys("a b"),
                                   "a_b",
                                   {'a', ' ', 'b'}},
                      KeyPressCase{"ArrowsAndDeleteDoNotReachIt",
                                   nullptr,
                                   Keys("ab", {Qt::Key_Left, Qt::Key_Delete, Qt::Key_Home}),
                                   "a",
                                   {'a', 'b'}}),
    [](const ::testing::TestParamInfo<KeyPressCase>& info) { return info.param.name; });

TEST_F(TextBoxTest, KeyPressRunsBeforeTheCharacterIsInserted) {
    std::vector<std::string> seen;
    a_->KeyPress = [&](std::int16_t&) { seen.push_back(a_->Text().toStdString()); };
    QTest::keyClicks(a_, "abc");
    EXPECT_EQ(seen, (std::vector<std::string>{"", "a", "ab"}));
}

TEST_F(TextBoxTest, TabMovesTheFocusWithoutReachingKeyPress) {
    std::vector<int> codes;
    a_->KeyPress = [&](std::int16_t& k) { codes.push_back(k); };
    QTest::keyClick(a_, Qt::Key_Tab);
    EXPECT_TRUE(codes.empty());
    EXPECT_TRUE(b_->hasFocus());
    EXPECT_EQ(a_->Text(), "");
}

TEST_F(TextBoxTest, MaxLengthStopsTypingAndCutsCodeText) {
    EXPECT_EQ(a_->MaxLength(), 0);
    a_->SetMaxLength(3);
    EXPECT_EQ(a_->MaxLength(), 3);
    LogChanges(a_);
    QTest::keyClicks(a_, "12345");
    EXPECT_EQ(a_->Text(), "123");
    EXPECT_EQ(log_, (EventLog{"Txt_A=1", "Txt_A=12", "Txt_A=123"}));
    a_->SetText("abcdef");
    EXPECT_EQ(a_->Text(), "abc");
    a_->SetMaxLength(0);
    QTest::keyClicks(a_, "defg");
    EXPECT_EQ(a_->Text(), "abcdefg");
}

TEST_F(TextBoxTest, QuietChangeIsRememberedButNotRaised) {
    LogChanges(a_);
    a_->Quietly([this] { a_->SetText("x"); });
    a_->SetText("x");
    EXPECT_TRUE(log_.empty());
    a_->SetText("y");
    EXPECT_EQ(log_, (EventLog{"Txt_A=y"}));
}

}  // namespace
