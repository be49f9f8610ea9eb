// Text boxes and lists: Change, KeyPress, maximum length, Click and DropDown.
#include <QAbstractItemView>
#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>
#include <set>

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

TEST_F(TextBoxTest, KeyPressMayReplaceOrSwallowEachKeyAndSeesEnterAndBackspace) {
    struct Case {
        const char* name;
        int from, to;   // the handler turns key `from` into `to` (0 swallows it)
        QString typed;  // "\r" is Enter, "\b" Backspace, "\t" Tab
        QString expectedText;
        std::vector<int> expectedCodes;
    };
    const Case cases[] = {
        {"replaced", 'a', 'A', "ab", "Ab", {'a', 'b'}},
        {"swallowed", '1', 0, "a1b", "ab", {'a', '1', 'b'}},
        {"Enter and Backspace reach it", -1, 0, "xy\r\b", "x", {'x', 'y', 13, 8}},
        {"swallowed Backspace deletes nothing", 8, 0, "xy\b", "xy", {'x', 'y', 8}},
        {"accented character code", -1, 0, "é", "é", {0xE9}},
        {"Tab moves the focus without reaching it", -1, 0, "a\t", "a", {'a'}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        code_->SetText("");
        std::vector<int> codes;
        code_->KeyPress = [&](std::int16_t& keyAscii) {
            codes.push_back(keyAscii);
            if (keyAscii == c.from) keyAscii = static_cast<std::int16_t>(c.to);
        };
        for (QChar ch : c.typed) {
            const int key = ch == '\r'   ? int{Qt::Key_Return}
                            : ch == '\b' ? int{Qt::Key_Backspace}
                            : ch == '\t' ? int{Qt::Key_Tab}
                                         : int{ch.toUpper().unicode()};
            QTest::sendKeyEvent(QTest::Click, code_, Qt::Key(key), QString(ch), Qt::NoModifier);
        }
        EXPECT_EQ(code_->Text(), c.expectedText);
        EXPECT_EQ(codes, c.expectedCodes);
    }
    EXPECT_TRUE(list_->hasFocus());
}

// Plays keys into box: '^' Home, '$' End, '<' Left, '>' Right, '}' Shift+Right (select),
// '#' Ctrl+A, '@' Ctrl+V, '\b' Backspace; anything else is typed.
void Play(QWidget* box, const QString& keys) {
    struct Special {
        QChar mark;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const Special specials[] = {
        {'^', Qt::Key_Home, Qt::NoModifier},     {'$', Qt::Key_End, Qt::NoModifier},
        {'<', Qt::Key_Left, Qt::NoModifier},     {'>', Qt::Key_Right, Qt::NoModifier},
        {'}', Qt::Key_Right, Qt::ShiftModifier}, {'#', Qt::Key_A, Qt::ControlModifier},
        {'@', Qt::Key_V, Qt::ControlModifier},   {'\b', Qt::Key_Backspace, Qt::NoModifier},
    };
    for (QChar ch : keys) {
        const auto special = std::find_if(std::begin(specials), std::end(specials),
                                          [ch](const Special& s) { return s.mark == ch; });
        if (special != std::end(specials)) {
            QTest::keyClick(box, special->key, special->modifiers);
        } else {
            QTest::keyClicks(box, QString(ch));
        }
    }
}

TEST_F(TextBoxTest, MaxLengthLimitsWhatTheOperatorAddsNeverTheTextSetByCode) {
    struct Case {
        const char* name;
        int limit;
        QString given;  // set by code first
        QString clipboard;
        QString keys;  // see Play
        QString expected;
    };
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");  // outside the 16-bit range
    const Case cases[] = {
        {"typing stops at the limit", 3, "", "", "12345", "123"},
        {"no limit", 0, "", "", "1234567", "1234567"},
        {"paste at the end is cut", 6, "ab", "123456789", "$@", "ab1234"},
        {"paste in the middle keeps the tail", 6, "abcd", "XYZ", "^>@", "aXYbcd"},
        {"paste over a selection", 6, "abcdef", "XYZ", "^>>}}@", "abXYef"},
        {"a character is never cut in half", 3, "", "ab" + smile + "c", "@", "ab"},
        {"a longer text from code kept, none added", 5, "ABCDEFGH", "12", "$X^@", "ABCDEFGH"},
        {"one character of it corrected", 5, "ABCDEFGH", "", "$<<\bx", "ABCDExGH"},
        {"retyped within its own length", 5, "ABCDEFGH", "", "#123456789", "12345678"},
    };
    std::vector<QString> seen;
    code_->Change = [&] { seen.push_back(code_->Text()); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        code_->SetMaxLength(c.limit);
        code_->SetText(c.given);
        QGuiApplication::clipboard()->setText(c.clipboard);
        seen.clear();
        Play(code_, c.keys);
        EXPECT_EQ(code_->Text(), c.expected);
        // Every Change saw a text within bounds, and the last one the final text.
        const qsizetype room =
            c.limit == 0 ? c.expected.size() : std::max(c.limit, int(c.given.size()));
        for (const QString& text : seen) EXPECT_LE(text.size(), room) << text.toStdString();
        if (!seen.empty()) {
            EXPECT_EQ(seen.back(), c.expected);
        }
        EXPECT_EQ(seen.empty(), c.expected == c.given);
    }
}

TEST_F(TextBoxTest, AStoredValueLongerThanTheLimitSurvivesFocusAndTab) {
    code_->SetMaxLength(5);
    LogChanges(code_);
    code_->LostFocus = [this] { log_.push_back("Lost:" + code_->Text().toStdString()); };
    code_->SetText("APPROVAL-2019-000123");
    forms::SetFocus(list_);
    forms_test::ClickInto(code_);
    QTest::keyClick(code_, Qt::Key_Tab);
    QTest::keyClick(list_, Qt::Key_Backtab);
    QTest::keyClick(code_, Qt::Key_Tab);
    const std::string lost = "Lost:APPROVAL-2019-000123";
    EXPECT_EQ(log_, (EventLog{"Txt_Code=APPROVAL-2019-000123", lost, lost, lost}));
    // A shorter text from code brings the limit back.
    code_->SetText("AB");
    Play(code_, "$CDEFG");
    EXPECT_EQ(code_->Text(), "ABCDE");
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

TEST_F(ComboBoxTest, DropDownRunsBeforeOpeningAChoiceByMouseOrKeysClicksClearRaisesNoChange) {
    QTest::keyClick(list_, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Eventually([&] { return list_->view()->isVisible(); }, "the open list"));
    QAbstractItemView* view = list_->view();
    view->setCurrentIndex(view->model()->index(0, 0));
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_TRUE(Eventually([&] { return !view->isVisible(); }, "the list to close"));
    OpenAndChooseByMouse(4);
    list_->SetText("SUD");
    OpenAndChooseByMouse(1);  // the shown entry again still clicks
    EXPECT_EQ(list_->ListIndex(), 1);
    list_->Clear();  // empties the text too, without Change
    EXPECT_EQ(list_->Text(), "");
    list_->SetText("");
    EXPECT_EQ(log_, (EventLog{"DropDown closed", "Click 2 EST", "DropDown closed", "Click 4 CENTRE",
                              "Cbo_Lib=SUD", "DropDown closed", "Click 1 SUD"}));
}

TEST_F(ComboBoxTest, ALimitedListKeepsAChosenEntryWholeAndLimitsTyping) {
    list_->Edit()->SetMaxLength(3);
    QTest::keyClick(list_, Qt::Key_Down);
    EXPECT_EQ(list_->Text(), "NORD");
    list_->SetText("");
    QTest::keyClicks(list_, "SUDEST");
    EXPECT_EQ(log_,
              (EventLog{"Click 0 NORD", "Cbo_Lib=", "Cbo_Lib=S", "Cbo_Lib=SU", "Cbo_Lib=SUD"}));
}

// Ten million entries cost what the rows shown cost: setting them, opening the
// list, choosing with the arrows and reading an entry never ask for the others.
TEST_F(ComboBoxTest, ManyEntriesAreAskedForOnlyWhenShownOrRead) {
    constexpr int kEntries = 10'000'000;
    std::set<int> asked;
    list_->DropDown = nullptr;
    list_->SetText("SU");
    list_->SetEntries(kEntries, [&](int index) {
        asked.insert(index);
        return QString("ENTRÉE %1").arg(index);
    });
    EXPECT_EQ(list_->Text(), "SU");  // the typed text stays
    EXPECT_EQ(list_->ListCount(), kEntries);
    EXPECT_EQ(list_->List(kEntries - 1), QString("ENTRÉE %1").arg(kEntries - 1));
    list_->SetText("");
    QTest::keyClick(list_, Qt::Key_Down);
    QTest::keyClick(list_, Qt::Key_Down);
    EXPECT_EQ(list_->Text(), "ENTRÉE 1");
    QTest::keyClick(list_, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Eventually([&] { return list_->view()->isVisible(); }, "the open list"));
    list_->view()->viewport()->repaint();
    EXPECT_LT(asked.size(), 1000U) << "entries asked for: " << asked.size();
    list_->AddItem("APRÈS");  // appended after them
    EXPECT_EQ(list_->List(kEntries), "APRÈS");
    list_->hidePopup();
    list_->Clear();
    EXPECT_EQ(list_->ListCount(), 0);
    EXPECT_EQ(log_, (EventLog{"Cbo_Lib=SU", "Cbo_Lib=", "Click 0 ENTRÉE 0", "Click 1 ENTRÉE 1"}));
}

}  // namespace
