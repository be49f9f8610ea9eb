#include "script.h"

#include <forms/msgbox.h>

#include <QString>
#include <array>
#include <charconv>
#include <utility>

namespace drive {
namespace {

constexpr std::array<std::pair<std::string_view, Verb>, 13> kVerbs{{
    {"focus", Verb::Focus},
    {"select", Verb::Select},
    {"type", Verb::Type},
    {"key", Verb::Key},
    {"clear", Verb::Clear},
    {"click", Verb::Click},
    {"rclick", Verb::RClick},
    {"choose", Verb::Choose},
    {"menu", Verb::Menu},
    {"answer", Verb::Answer},
    {"close", Verb::Close},
    {"state", Verb::State},
    {"record", Verb::Record},
}};

constexpr std::array<std::pair<std::string_view, KeyName>, 6> kKeys{{
    {"Enter", KeyName::Enter},
    {"Tab", KeyName::Tab},
    {"BackTab", KeyName::BackTab},
    {"Backspace", KeyName::Backspace},
    {"Delete", KeyName::Delete},
    {"Escape", KeyName::Escape},
}};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Splits off the first word; `rest` keeps what follows the one blank after it.
std::string_view NextWord(std::string_view& rest) {
    std::size_t start = 0;
    while (start < rest.size() && IsBlank(rest[start])) ++start;
    std::size_t end = start;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    const std::string_view word = rest.substr(start, end - start);
    rest = rest.substr(end < rest.size() ? end + 1 : end);
    return word;
}

std::vector<std::string_view> Words(std::string_view rest) {
    std::vector<std::string_view> words;
    for (std::string_view word = NextWord(rest); !word.empty(); word = NextWord(rest))
        words.push_back(word);
    return words;
}

std::string Quote(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

void ExpectCount(std::string_view verb, const std::vector<std::string_view>& words,
                 std::size_t count, std::string_view usage) {
    if (words.size() != count)
        throw ScriptError(std::string(verb) + " takes " + std::string(usage) + ", got " +
                          std::to_string(words.size()) + " word(s)");
}

Verb VerbOf(std::string_view word) {
    for (const auto& [name, verb] : kVerbs)
        if (name == word) return verb;
    throw ScriptError("unknown command " + Quote(word));
}

KeyName KeyOf(std::string_view word) {
    for (const auto& [name, key] : kKeys)
        if (name == word) return key;
    throw ScriptError("unknown key " + Quote(word) +
                      " (keys: Enter, Tab, BackTab, Backspace, Delete, Escape)");
}

int IndexOf(std::string_view word) {
    int index = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), index);
    if (error != std::errc() || end != word.data() + word.size() || index < 0)
        throw ScriptError("entry index " + Quote(word) + " is not a whole number from 0");
    return index;
}

int AnswerOf(std::string_view word) {
    const auto answer =
        forms::AnswerFromWord(QString::fromUtf8(word.data(), qsizetype(word.size())));
    if (!answer)
        throw ScriptError("unknown answer " + Quote(word) +
                          " (answers: OK, Cancel, Abort, Retry, Ignore, Yes, No, TryAgain, "
                          "Continue)");
    return *answer;
}

}  // namespace

std::optional<Command> ParseLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string_view rest = line;
    const std::string_view verbWord = NextWord(rest);
    if (verbWord.empty() || verbWord.front() == '#') return std::nullopt;

    Command command{VerbOf(verbWord), {}, {}, KeyName::Enter, 0, {}};
    if (command.verb == Verb::Type) {
        command.name = std::string(NextWord(rest));
        command.text = std::string(rest);
        if (command.name.empty() || command.text.empty())
            throw ScriptError("type takes a control name and a text");
        return command;
    }
    const std::vector<std::string_view> words = Words(rest);
    switch (command.verb) {
        case Verb::Focus:
        case Verb::Select:
        case Verb::Clear:
        case Verb::Click:
        case Verb::RClick:
            ExpectCount(verbWord, words, 1, "a control name");
            command.name = std::string(words[0]);
            break;
        case Verb::Menu:
            ExpectCount(verbWord, words, 1, "a menu entry name");
            command.name = std::string(words[0]);
            break;
        case Verb::Close:
            ExpectCount(verbWord, words, 1, "a form name");
            command.name = std::string(words[0]);
            break;
        case Verb::Key:
            ExpectCount(verbWord, words, 2, "a control name and a key");
            command.name = std::string(words[0]);
            command.key = KeyOf(words[1]);
            break;
        case Verb::Choose:
            ExpectCount(verbWord, words, 2, "a list name and an entry index");
            command.name = std::string(words[0]);
            command.index = IndexOf(words[1]);
            break;
        case Verb::Answer:
            if (words.empty()) throw ScriptError("answer takes one or more answers");
            for (std::string_view word : words) command.answers.push_back(AnswerOf(word));
            break;
        case Verb::State:
            ExpectCount(verbWord, words, 0, "nothing");
            break;
        case Verb::Record:
            ExpectCount(verbWord, words, 2, "a file name and a key");
            command.name = std::string(words[0]);
            command.text = std::string(words[1]);
            break;
        case Verb::Type:
            break;
    }
    return command;
}

}  // namespace drive
