// The command language: what each line means, and what is refused with which
// explanation.
#include <forms/msgbox.h>
#include <gtest/gtest.h>

#include "script.h"

namespace {

using drive::Command;
using drive::KeyName;
using drive::ParseLine;
using drive::ScriptError;
using drive::Verb;

TEST(ScriptTest, BlankLinesAndCommentsAreNotCommands) {
    for (const char* line : {"", "   ", "\t", "# a comment", "   # indented comment", "\r"})
        EXPECT_FALSE(ParseLine(line).has_value()) << '"' << line << '"';
}

struct NamedCase {
    const char* line;
    Verb verb;
    const char* name;
};

void PrintTo(const NamedCase& c, std::ostream* os) {
    *os << '"' << c.line << '"';
}

class NamedCommandTest : public ::testing::TestWithParam<NamedCase> {};

TEST_P(NamedCommandTest, TakesOneName) {
    const auto command = ParseLine(GetParam().line);
    ASSERT_TRUE(command);
    EXPECT_EQ(command->verb, GetParam().verb);
    EXPECT_EQ(command->name, GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Verbs, NamedCommandTest,
    ::testing::Values(NamedCase{"focus Txt_CodeSecteur", Verb::Focus, "Txt_CodeSecteur"},
                      NamedCase{"select Cbo_LibSecteur", Verb::Select, "Cbo_LibSecteur"},
                      NamedCase{"clear Txt_Dep", Verb::Clear, "Txt_Dep"},
                      NamedCase{"click Cmd_OkSecteurGeo", Verb::Click, "Cmd_OkSecteurGeo"},
                      NamedCase{"rclick Ctr_Secteur", Verb::RClick, "Ctr_Secteur"},
                      NamedCase{"menu Mnu_Sommaire", Verb::Menu, "Mnu_Sommaire"},
                      NamedCase{"close Frm_Adresse", Verb::Close, "Frm_Adresse"},
                      NamedCase{"  click   Cmd_Adresse  ", Verb::Click, "Cmd_Adresse"},
                      NamedCase{"click Cmd_Adresse\r", Verb::Click, "Cmd_Adresse"}));

struct TypeCase {
    const char* line;
    const char* name;
    const char* text;
};

void PrintTo(const TypeCase& c, std::ostream* os) {
    *os << '"' << c.line << '"';
}

class TypeCommandTest : public ::testing::TestWithParam<TypeCase> {};

TEST_P(TypeCommandTest, TypesTheRestOfTheLineSpacesIncluded) {
    const auto command = ParseLine(GetParam().line);
    ASSERT_TRUE(command);
    EXPECT_EQ(command->verb, Verb::Type);
    EXPECT_EQ(command->name, GetParam().name);
    EXPECT_EQ(command->text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TypeCommandTest,
    ::testing::Values(
        TypeCase{"type Txt_CodeSecteur 7", "Txt_CodeSecteur", "7"},
        TypeCase{"type Cbo_LibSecteur saint étienne", "Cbo_LibSecteur", "saint étienne"},
        TypeCase{"type Txt_NumCRAM  lead and trail  ", "Txt_NumCRAM", " lead and trail  "},
        TypeCase{"type Txt_Dep # not a comment", "Txt_Dep", "# not a comment"},
        TypeCase{"type Txt_Dep 2A\r", "Txt_Dep", "2A"}));

TEST(ScriptTest, KeysByName) {
    const std::pair<const char*, KeyName> keys[] = {
        {"Enter", KeyName::Enter},     {"Tab", KeyName::Tab},
        {"BackTab", KeyName::BackTab}, {"Backspace", KeyName::Backspace},
        {"Delete", KeyName::Delete},   {"Escape", KeyName::Escape}};
    for (const auto& [word, key] : keys) {
        const auto command = ParseLine(std::string("key Txt_CodeSecteur ") + word);
        ASSERT_TRUE(command) << word;
        EXPECT_EQ(command->verb, Verb::Key);
        EXPECT_EQ(command->name, "Txt_CodeSecteur");
        EXPECT_EQ(command->key, key) << word;
    }
}

TEST(ScriptTest, ChooseTakesAnEntryIndexFromZero) {
    const auto command = ParseLine("choose Cbo_LibSecteur 12");
    ASSERT_TRUE(command);
    EXPECT_EQ(command->verb, Verb::Choose);
    EXPECT_EQ(command->name, "Cbo_LibSecteur");
    EXPECT_EQ(command->index, 12);
}

TEST(ScriptTest, AnswersAreQueuedInOrderWhateverTheirCase) {
    const auto command = ParseLine("answer Yes no CANCEL TryAgain Continue OK Abort Retry Ignore");
    ASSERT_TRUE(command);
    EXPECT_EQ(command->verb, Verb::Answer);
    EXPECT_EQ(command->answers,
              (std::vector<int>{forms::vbYes, forms::vbNo, forms::vbCancel, forms::vbTryAgain,
                                forms::vbContinue, forms::vbOK, forms::vbAbort, forms::vbRetry,
                                forms::vbIgnore}));
}

TEST(ScriptTest, RecordTakesAFileAndAKey) {
    const auto command = ParseLine("record SECTEUR 001");
    ASSERT_TRUE(command);
    EXPECT_EQ(command->verb, Verb::Record);
    EXPECT_EQ(command->name, "SECTEUR");
    EXPECT_EQ(command->text, "001");
    EXPECT_EQ(ParseLine("state")->verb, Verb::State);
}

struct BadLine {
    const char* line;
    const char* says;
};

void PrintTo(const BadLine& c, std::ostream* os) {
    *os << '"' << c.line << '"';
}

class BadLineTest : public ::testing::TestWithParam<BadLine> {};

TEST_P(BadLineTest, IsRefusedWithItsReason) {
    try {
        ParseLine(GetParam().line);
        FAIL() << "accepted: " << GetParam().line;
    } catch (const ScriptError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().says), std::string::npos)
            << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadLineTest,
    ::testing::Values(BadLine{"frobnicate Txt_Dep", "unknown command \"frobnicate\""},
                      BadLine{"Click Cmd_Adresse", "unknown command \"Click\""},
                      BadLine{"click", "click takes a control name, got 0"},
                      BadLine{"click Cmd_A Cmd_B", "got 2"},
                      BadLine{"type Txt_Dep", "type takes a control name and a text"},
                      BadLine{"type", "type takes a control name and a text"},
                      BadLine{"key Txt_Dep F5", "unknown key \"F5\""},
                      BadLine{"key Txt_Dep", "a control name and a key"},
                      BadLine{"choose Cbo_LibSecteur -1", "\"-1\" is not a whole number"},
                      BadLine{"choose Cbo_LibSecteur 2x", "\"2x\" is not a whole number"},
                      BadLine{"choose Cbo_LibSecteur", "a list name and an entry index"},
                      BadLine{"answer", "one or more answers"},
                      BadLine{"answer Yes Peutetre", "unknown answer \"Peutetre\""},
                      BadLine{"state now", "state takes nothing"},
                      BadLine{"record SECTEUR", "a file name and a key"},
                      BadLine{"menu", "a menu entry name"}, BadLine{"close", "a form name"}));

}  // namespace
