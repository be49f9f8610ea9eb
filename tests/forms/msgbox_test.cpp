#include "forms/msgbox.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>

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

TEST_P(MsgBoxStyleTest, ButtonsCaptionsIconAndDefault) {
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

std::string ErrorOf(const std::function<void()>& act) {
    try {
        act();
    } catch (const std::invalid_argument& e) {
        return e.what();
    }
    return "no error";
}

TEST(MsgBoxStyleTest, BadStylesAreRejectedByName) {
    ScriptedUiService ui;
    EXPECT_EQ(ErrorOf([&] { (void)ui.MsgBox("x", 7, "t"); }),
              "message box style 7: unknown buttons value 7");
    EXPECT_EQ(ErrorOf([] { (void)IconOf(80); }), "message box style 80: unknown icon value 80");
    EXPECT_EQ(ErrorOf([] { (void)ButtonCaption(8); }), "unknown message box answer 8");
    EXPECT_TRUE(ui.Messages().empty());
}

TEST(ScriptedUiServiceTest, AnswersInOrderThenFirstButtonFlagged) {
    ScriptedUiService ui;
    ui.QueueAnswer(vbNo);
    ui.QueueAnswer(vbCancel);
    ui.QueueAnswer(vbYes);
    EXPECT_EQ(ui.MsgBox("Un ?", vbYesNo + vbQuestion, "Message ORVANIS"), vbNo);
    EXPECT_EQ(ui.MsgBox("Deux ?", vbYesNoCancel, "Message ORVANIS"), vbCancel);
    EXPECT_EQ(ui.MsgBox("Saisie", vbOKOnly), vbOK);  // Yes is no button of it
    EXPECT_EQ(ui.MsgBox("Ce Secteur n'existe pas.\r\nSuite", vbExclamation, "Message ORVANIS"),
              vbOK);
    const std::vector<MessageRecord> boxes = ui.TakeMessages();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_FALSE(boxes[0].unanswered);
    EXPECT_EQ(boxes[2].problem, "queued answer Yes is not a button of this box (OK)");
    const MessageRecord& last = boxes[3];
    EXPECT_EQ(last.text, "Ce Secteur n'existe pas.\r\nSuite");
    EXPECT_EQ(last.title, "Message ORVANIS");
    EXPECT_EQ(last.icon, vbExclamation);
    EXPECT_EQ(last.buttons, std::vector<int>{vbOK});
    EXPECT_TRUE(last.unanswered);
    EXPECT_TRUE(ui.Messages().empty());
}

}  // namespace
