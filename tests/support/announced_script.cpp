#include "announced_script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <utility>

namespace script_test {
namespace {

using drive::Json;

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
        const std::string word = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        std::istringstream words(rest);
        if (word == "# expect:") {
            const auto cut = rest.find(' ');
            next.values.emplace_back(rest.substr(0, cut), Json::parse(rest.substr(cut + 1)));
        } else if (word == "# focus:") {
            next.values.emplace_back("/focus", rest);
        } else if (word == "# writes:") {
            for (std::string file, key; words >> file >> key;)
                next.writes.push_back(file + " " + key);
        } else if (word == "# message:") {
            std::string text = rest;
            for (std::size_t at; (at = text.find("\\r\\n")) != std::string::npos;)
                text.replace(at, 4, "\r\n");
            next.messages.push_back(text);
        } else if (word == "# keeps:") {
            for (std::string range; words >> range;)
                next.keeps.emplace_back(std::stoi(range),
                                        std::stoi(range.substr(range.find('-') + 1)));
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

std::vector<std::string> Texts(const Json& list, bool messages) {
    std::vector<std::string> texts;
    for (const Json& item : list) {
        if (messages) {
            EXPECT_EQ(item["title"], "Message ORVANIS");
            texts.push_back(item["text"]);
        } else {
            texts.push_back(item["file"].get<std::string>() + " " + item["key"].get<std::string>());
        }
    }
    return texts;
}

}  // namespace

std::vector<Json> CheckAnnounced(std::istream& script, const std::vector<Json>& outputs,
                                 bool focusEachState) {
    const std::vector<Announced> expected = Announcements(script);
    std::vector<Json> printed, records;
    for (const Json& out : outputs) {
        if (out.contains("error"))
            ADD_FAILURE() << "the script failed: " << out.dump();
        else
            printed.push_back(out);
    }
    EXPECT_EQ(printed.size(), expected.size());
    std::map<std::string, Json> lastRecord;
    for (std::size_t i = 0; i < std::min(printed.size(), expected.size()); ++i) {
        const Json& out = printed[i];
        const Announced& want = expected[i];
        SCOPED_TRACE("output of line " + std::to_string(want.line));
        for (const auto& [pointer, value] : want.values)
            EXPECT_EQ(out.value(Json::json_pointer(pointer), Json()), value) << pointer;
        if (out.contains("controls")) {
            const bool focus = std::any_of(want.values.begin(), want.values.end(),
                                           [](const auto& v) { return v.first == "/focus"; });
            EXPECT_TRUE(focus || !focusEachState) << "no focus announced";
            EXPECT_EQ(Texts(out["writes"], false), want.writes);
            EXPECT_EQ(Texts(out["messages"], true), want.messages);
            continue;
        }
        records.push_back(out);
        const std::string key =
            out["file"].get<std::string>() + " " + out["key"].get<std::string>();
        for (const auto& [first, last] : want.keeps) {
            EXPECT_TRUE(lastRecord.count(key)) << "no earlier record of " << key;
            for (int a = first; a <= last; ++a)
                EXPECT_EQ(Attribute(out["attributes"], a),
                          Attribute(lastRecord[key]["attributes"], a))
                    << key << " attribute " << a;
        }
        lastRecord[key] = out;
    }
    return records;
}

}  // namespace script_test
