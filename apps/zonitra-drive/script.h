#pragma once
// The scripted operator's command language, one command a line:
//
//   focus NAME          select NAME          type NAME TEXT      key NAME KEY
//   clear NAME          click NAME           rclick NAME         choose NAME INDEX
//   menu ENTRY          answer WORD...       close FORM          state
//   record FILE KEY
//
// Blank lines and lines whose first non-blank character is "#" are not
// commands. TEXT is the rest of the line after one space, spaces included.
// KEY is Enter, Tab, BackTab, Backspace, Delete or Escape; WORD one of OK,
// Cancel, Abort, Retry, Ignore, Yes, No, TryAgain, Continue (any case).

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace drive {

// A line that is not a command; the message says what is wrong with it.
class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Verb {
    Focus,
    Select,
    Type,
    Key,
    Clear,
    Click,
    RClick,
    Choose,
    Menu,
    Answer,
    Close,
    State,
    Record
};

enum class KeyName { Enter, Tab, BackTab, Backspace, Delete, Escape };

struct Command {
    Verb verb;
    std::string name;  // control, menu entry, form or file name
    std::string text;  // type: the text; record: the key
    KeyName key = KeyName::Enter;
    int index = 0;             // choose
    std::vector<int> answers;  // answer: message box answers (forms::vbOK...)
};

// The command of a line, or nothing for a blank line or a comment.
std::optional<Command> ParseLine(std::string_view line);

}  // namespace drive
