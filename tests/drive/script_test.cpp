// The command language: what each line means, and what is refused with which
// explanation.
#include <forms/msgbox.h>
#include <gmock/gmock.h>

#include "script.h"

namespace {

using drive::KeyName;
using drive::ParseLine;
using drive::Verb;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

TEST(ScriptTest, EachCommandFamilyTakesItsArguments) {
    for (const char* line : {"", "   ", "\t", "   # a comment", "\r"})
        EXPECT_FALSE(ParseLine(line).has_value()) << '"' << line << '"';
    // Each verb's word is played by the levels' and dialogs' scripts; here,
    // spacing, line ends and what each family keeps.
    struct Case {
        const char* line;
        Verb verb;
        const char* name;
        const char* text;
    };
    const Case cases[] = {
        {"  clear   Txt_Dep  ", Verb::Clear, "Txt_Dep", ""},
        {"click Cmd_Adresse\r", Verb::Click, "Cmd_Adresse", ""},
        {"type Txt_NumCRAM  lead # and trail  ", Verb::Type, "Txt_NumCRAM", " lead # and trail  "},
        {"type Cbo_LibSecteur saint étienne\r", Verb::Type, "Cbo_LibSecteur", "saint étienne"},
        {"record SECTEUR 001", Verb::Record, "SECTEUR", "001"},
        {"state", Verb::State, "", ""},
        {"key Txt_Dep BackTab", Verb::Key, "Txt_Dep", ""},
        {"choose Cbo_LibSecteur 12", Verb::Choose, "Cbo_LibSecteur", ""},
        {"answer Yes no CANCEL TryAgain", Verb::Answer, "", ""}};
    for (const Case& c : cases) {
        const auto command = ParseLine(c.line);
        ASSERT_TRUE(command) << c.line;
        EXPECT_EQ(command->verb, c.verb) << c.line;
        EXPECT_EQ(command->name, c.name) << c.line;
        EXPECT_EQ(command->text, c.text) << c.line;
    }
    EXPECT_EQ(ParseLine("key Txt_Dep BackTab")->key, KeyName::BackTab);
    EXPECT_EQ(ParseLine("key Txt_Dep Escape")->key, KeyName::Escape);
    EXPECT_EQ(ParseLine("choose Cbo_LibSecteur 12")->index, 12);
    EXPECT_EQ(ParseLine("answer Yes no CANCEL TryAgain")->answers,
              (std::vector<int>{forms::vbYes, forms::vbNo, forms::vbCancel, forms::vbTryAgain}));
}

TEST(ScriptTest, BadLinesAreRefusedWithTheirReason) {
    const std::pair<const char*, const char*> bad[] = {
        {"Click Cmd_Adresse", "unknown command \"Click\""},
        {"click Cmd_A Cmd_B", "click takes a control name, got 2"},
        {"type Txt_Dep", "type takes a control name and a text"},
        {"key Txt_Dep F5", "unknown key \"F5\""},
        {"choose Cbo_LibSecteur -1", "\"-1\" is not a whole number"},
        {"answer Yes Peutetre", "unknown answer \"Peutetre\""},
        {"state now", "state takes nothing"},
        {"record SECTEUR", "a file name and a key"}};
    for (const auto& [line, says] : bad)
        EXPECT_THAT([&] { ParseLine(line); }, ThrowsMessage<drive::ScriptError>(HasSubstr(says)))
            << line;
}

}  // namespace
