#include "forms/msgbox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>

#include "forms/qtuiservice.h"
#include "forms/scripteduiservice.h"

namespace {

using namespace forms;

struct StyleCase {
    int style;
    std::vector<int> buttons;
    QStringList captions;
    QString icon;
    int defaultButton;
};

void PrintTo(const StyleCase& c, std::ostream* os) {
    *os << "style " << c.style;
}

class MsgBoxStyleTest : public ::testing::TestWithParam<StyleCase> {};

TEST_P(MsgBoxStyleTest, ButtonsCaptionsAndIcon) {
    const StyleCase& c = GetParam();
    EXPECT_EQ(ButtonsOf(c.style), c.buttons);
    QStringList captions;
    for (int answer : ButtonsOf(c.style)) captions << ButtonCaption(answer);
    EXPECT_EQ(captions, c.captions);
    EXPECT_EQ(IconName(IconOf(c.style)), c.icon);
    EXPECT_EQ(DefaultButtonOf(c.style), c.defaultButton);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, MsgBoxStyleTest,
    ::testing::Values(
        StyleCase{0, {vbOK}, {"OK"}, "", 0}, StyleCase{48, {vbOK}, {"OK"}, "exclamation", 0},
        StyleCase{64, {vbOK}, {"OK"}, "information", 0},
        StyleCase{1 + 32, {vbOK, vbCancel}, {"OK", "Annuler"}, "question", 0},
        StyleCase{2, {vbAbort, vbRetry, vbIgnore}, {"Abandonner", "Réessayer", "Ignorer"}, "", 0},
        StyleCase{
            3 + 48 + 256, {vbYes, vbNo, vbCancel}, {"Oui", "Non", "Annuler"}, "exclamation", 1},
        StyleCase{4 + 32 + 512, {vbYes, vbNo}, {"Oui", "Non"}, "question", 0},
        StyleCase{5, {vbRetry, vbCancel}, {"Réessayer", "Annuler"}, "", 0},
        StyleCase{22,
                  {vbCancel, vbTryAgain, vbContinue},
                  {"Annuler", "Réessayer", "Continuer"},
                  "critical",
                  0}));

TEST(MsgBoxStyleErrorsTest, BadStylesAreRejectedByName) {
    EXPECT_THROW(ButtonsOf(7), std::invalid_argument);
    EXPECT_THROW(IconOf(80), std::invalid_argument);
    EXPECT_THROW(ButtonCaption(8), std::invalid_argument);
    ScriptedUiService ui;
    EXPECT_THROW(ui.MsgBox("x", 7, "t"), std::invalid_argument);
    EXPECT_THROW(ui.QueueAnswer(12), std::invalid_argument);
}

TEST(AnswerWordTest, WordsRoundTrip) {
    for (int answer :
         {vbOK, vbCancel, vbAbort, vbRetry, vbIgnore, vbYes, vbNo, vbTryAgain, vbContinue}) {
        EXPECT_EQ(AnswerFromWord(AnswerWord(answer)), answer);
    }
    EXPECT_EQ(AnswerFromWord("tryagain"), vbTryAgain);
    EXPECT_EQ(AnswerFromWord("Peut-être"), std::nullopt);
}

TEST(ScriptedUiServiceTest, AnswersInOrderThenFirstButtonFlagged) {
    ScriptedUiService ui;
    ui.QueueAnswer(vbNo);
    ui.QueueAnswer(vbCancel);
    EXPECT_EQ(ui.MsgBox("Un ?", vbYesNo + vbQuestion, "Message ORVANIS"), vbNo);
    EXPECT_EQ(ui.MsgBox("Deux ?", vbYesNoCancel, "Message ORVANIS"), vbCancel);
    EXPECT_EQ(ui.MsgBox("Ce Secteur n'existe pas.\r\nSuite", vbExclamation, "Message ORVANIS"),
              vbOK);
    ASSERT_EQ(ui.Messages().size(), 3u);
    const MessageRecord& last = ui.Messages()[2];
    EXPECT_EQ(last.text, "Ce Secteur n'existe pas.\r\nSuite");
    EXPECT_EQ(last.title, "Message ORVANIS");
    EXPECT_EQ(last.icon, vbExclamation);
    EXPECT_EQ(last.buttons, std::vector<int>{vbOK});
    EXPECT_TRUE(last.unanswered);
    EXPECT_FALSE(ui.Messages()[0].unanswered);
    EXPECT_EQ(ui.TakeMessages().size(), 3u);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST(ScriptedUiServiceTest, AnswerThatIsNotAButtonIsReported) {
    ScriptedUiService ui;
    ui.QueueAnswer(vbYes);
    EXPECT_EQ(ui.MsgBox("Saisie", vbOKOnly), vbOK);
    EXPECT_EQ(ui.PendingAnswers(), 0u);
    EXPECT_EQ(ui.Messages().front().problem, "queued answer Yes is not a button of this box (OK)");
}

struct EscapeCase {
    int style;
    int answer;        // after Escape, or after a click on fallbackCaption
    QString fallback;  // clicked when Escape leaves the box open
};

void PrintTo(const EscapeCase& c, std::ostream* os) {
    *os << "style " << c.style;
}

class RealMsgBoxEscapeTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(RealMsgBoxEscapeTest, EscapeAnswersCancelOrLoneOkOnly) {
    const EscapeCase& c = GetParam();
    QtUiService ui;
    bool escaped = false;
    QTimer operatorHand;
    QObject::connect(&operatorHand, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        if (!escaped) {
            escaped = true;
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        operatorHand.stop();
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == c.fallback) QTest::mouseClick(button, Qt::LeftButton);
        }
    });
    operatorHand.start(10);
    EXPECT_EQ(ui.MsgBox("Question", c.style, "Message ORVANIS"), c.answer);
}

INSTANTIATE_TEST_SUITE_P(Styles, RealMsgBoxEscapeTest,
                         ::testing::Values(EscapeCase{vbOKOnly + vbExclamation, vbOK, ""},
                                           EscapeCase{vbYesNoCancel, vbCancel, ""},
                                           EscapeCase{vbCancelTryContinue + vbCritical, vbCancel,
                                                      ""},
                                           EscapeCase{vbYesNo, vbYes, "Oui"},
                                           EscapeCase{vbAbortRetryIgnore, vbIgnore, "Ignorer"}));

}  // namespace
