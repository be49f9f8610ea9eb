// Plays the dialogs' operator scripts on a fresh copy of the demo database each
// and checks what the comments before each `state` or `record` announce:
//   "# expect: POINTER JSON"  the value at that JSON pointer of its output line;
//   "# writes: FILE KEY ..."  every record a state reports stored since the last;
//   "# message: TEXT"         one message box it reports, in order, each titled
//                             "Message ORVANIS";
//   "# keeps: RANGES"         attributes equal to the previous `record` of that key.
// A state announcing no write or message must report none.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "dialog_session.h"

namespace {

using dialogs_test::Json;

struct Announced {
    int line = 0;  // of the `state` or `record` command
    std::vector<std::pair<std::string, Json>> values;
    std::vector<std::string> writes;  // "FILE KEY"
    std::vector<std::string> messages;
    std::vector<std::pair<int, int>> keeps;  // attribute ranges, from 1
};

std::vector<Announced> Announcements(std::istream& script) {
    std::vector<Announced> outputs(1);
    int number = 0;
    for (std::string line; std::getline(script, line);) {
        ++number;
        Announced& next = outputs.back();
        const auto space = line.find(' ', 2);
        const std::string word = line.substr(0, space), rest = line.substr(space + 1);
        std::istringstream words(rest);
        if (word == "# expect:") {
            const auto cut = rest.find(' ');
            next.values.emplace_back(rest.substr(0, cut), Json::parse(rest.substr(cut + 1)));
        } else if (word == "# writes:") {
            for (std::string file, key; words >> file >> key;)
                next.writes.push_back(file + " " + key);
        } else if (word == "# message:") {
            next.messages.push_back(rest);
        } else if (word == "# keeps:") {
            for (std::string range; words >> range;) {
                const auto dash = range.find('-');
                next.keeps.emplace_back(std::stoi(range), std::stoi(range.substr(dash + 1)));
            }
        } else if (line == "state" || word == "record") {
            next.line = number;
            outputs.emplace_back();
        }
    }
    outputs.pop_back();
    return outputs;
}

// Attribute `a` (from 1) of a record line; trailing empty ones are not printed.
Json Attribute(const Json& attributes, int a) {
    return std::size_t(a) <= attributes.size() ? attributes[std::size_t(a - 1)] : Json("");
}

class DialogScripts : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(DialogScripts, EachOutputShowsWhatTheScriptAnnounces) {
    const auto [file, user] = GetParam();
    std::ifstream in(std::string(ZONITRA_DIALOGS_TEST_DIR "/") + file + ".drive");
    ASSERT_TRUE(in) << file;
    const std::string script{std::istreambuf_iterator<char>(in), {}};
    std::istringstream lines(script);
    const std::vector<Announced> expected = Announcements(lines);
    const std::vector<Json> outputs = dialogs_test::Session(user).Play(script);
    ASSERT_EQ(outputs.size(), expected.size());
    std::map<std::string, Json> lastRecord;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const Json& out = outputs[i];
        const Announced& want = expected[i];
        SCOPED_TRACE("output of line " + std::to_string(want.line));
        for (const auto& [pointer, value] : want.values)
            EXPECT_EQ(out.value(Json::json_pointer(pointer), Json()), value) << pointer;
        if (out.contains("controls")) {
            std::vector<std::string> writes, messages;
            for (const Json& w : out["writes"])
                writes.push_back(w["file"].get<std::string>() + " " + w["key"].get<std::string>());
            for (const Json& m : out["messages"]) {
                messages.push_back(m["text"]);
                EXPECT_EQ(m["title"], "Message ORVANIS");
            }
            EXPECT_EQ(writes, want.writes);
            EXPECT_EQ(messages, want.messages);
            continue;
        }
        const std::string key =
            out["file"].get<std::string>() + " " + out["key"].get<std::string>();
        for (const auto& [first, last] : want.keeps) {
            ASSERT_TRUE(lastRecord.count(key)) << "no earlier record of " << key;
            for (int a = first; a <= last; ++a)
                EXPECT_EQ(Attribute(out["attributes"], a),
                          Attribute(lastRecord[key]["attributes"], a))
                    << key << " attribute " << a;
        }
        lastRecord[key] = out;
    }
}

INSTANTIATE_TEST_SUITE_P(Demo, DialogScripts,
                         ::testing::Values(std::pair{"adresse", "MARTIN"},
                                           std::pair{"adresse_consultation", "DURAND"},
                                           std::pair{"agrement", "MARTIN"},
                                           std::pair{"agrement_consultation", "DURAND"},
                                           std::pair{"gestion_documentaire", "MARTIN"}),
                         [](const auto& info) {
                             std::string name = info.param.first;
                             name.erase(std::remove(name.begin(), name.end(), '_'), name.end());
                             return name;
                         });

}  // namespace
