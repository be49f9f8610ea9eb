// Plays the approval dialog's operator scripts on fresh copies of the demo
// database and checks what their comments announce (see agrement.drive): the
// form, writes, message boxes and hidden controls of each state, and each
// printed sector record, which must be the demo's with attributes 17-19 as
// announced.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "agrement_fixture.h"

namespace {

using drive::Json;
using Texts = std::vector<std::string>;

struct Expected {
    int line = 0;
    bool state = false;
    std::string form, key, approvals;
    Texts events, hidden;  // events: "write FILE KEY", "message TEXT"
};

std::vector<Expected> Announced(std::istream& in) {
    std::vector<Expected> expected;
    Expected next;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        const auto tagged = [&](const std::string& tag) {
            return line.rfind("# " + tag + ": ", 0) == 0 ? line.substr(tag.size() + 4) : "";
        };
        std::istringstream words(tagged("writes") + " " + tagged("hidden"));
        for (std::string file, key;
             !tagged("writes").empty() && words >> file && file != "none" && words >> key;)
            next.events.push_back("write " + file + " " + key);
        for (std::string name; !tagged("hidden").empty() && words >> name;)
            next.hidden.push_back(name);
        if (!tagged("message").empty()) next.events.push_back("message " + tagged("message"));
        if (!tagged("form").empty()) next.form = tagged("form");
        if (!tagged("approvals").empty()) next.approvals = tagged("approvals");
        const bool record = line.rfind("record SECTEUR ", 0) == 0;
        if (line != "state" && !record) continue;
        next.line = number;
        next.state = !record;
        if (record) next.key = line.substr(15);
        expected.push_back(std::exchange(next, Expected{}));
    }
    return expected;
}

// A printed attribute from "a;b": one value as a text, several as a list.
Json Attribute(const std::string& values) {
    Json list = Json::array();
    std::istringstream in(values);
    for (std::string value; std::getline(in, value, ';');) list.push_back(value);
    return list.size() > 1 ? list : Json(values);
}

std::map<std::string, Json> DemoSectors() {
    std::map<std::string, Json> sectors;
    std::ifstream in(ZONITRA_DEMO_JSONL);
    for (std::string line; std::getline(in, line);) {
        Json record = Json::parse(line);
        if (record["file"] == "SECTEUR") sectors[record["key"]] = record["attributes"];
    }
    return sectors;
}

class Script : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(Script, EachStateAndRecordIsAsAnnounced) {
    const auto [name, user] = GetParam();
    std::ifstream script(std::string(ZONITRA_DIALOGS_TEST_DIR "/") + name + ".drive");
    ASSERT_TRUE(script) << name;
    const std::vector<Expected> expected = Announced(script);
    std::ostringstream text;
    script.clear();
    script.seekg(0);
    text << script.rdbuf();
    agrement_test::Agrement a(user, ZONITRA_DEMO_JSONL);
    const std::vector<Json> printed = a.Play(text.str());
    ASSERT_EQ(printed.size(), expected.size());
    const std::map<std::string, Json> demo = DemoSectors();
    for (std::size_t i = 0; i < printed.size(); ++i) {
        const Expected& e = expected[i];
        const Json& p = printed[i];
        SCOPED_TRACE("line " + std::to_string(e.line) + " of " + name);
        if (!e.state) {
            Json attributes = demo.at(e.key);
            std::istringstream lists(e.approvals + " ");
            for (std::size_t a = 16; a <= 18; ++a) {
                std::string list;
                std::getline(lists >> std::ws, list, '|');
                attributes[a] = Attribute(list.substr(0, list.find_last_not_of(' ') + 1));
            }
            EXPECT_EQ(p["attributes"], attributes);
            continue;
        }
        EXPECT_EQ(p["form"], e.form);
        Texts events;
        for (const Json& w : p["writes"])
            events.push_back("write " + w["file"].get<std::string>() + " " +
                             w["key"].get<std::string>());
        for (const Json& m : p["messages"]) {
            events.push_back("message " + m["text"].get<std::string>());
            EXPECT_EQ(m["title"], "Message ORVANIS");
            EXPECT_EQ(m["icon"], "exclamation");
        }
        EXPECT_EQ(events, e.events);
        for (const std::string& hidden : e.hidden)
            EXPECT_EQ(p["controls"][hidden]["visible"], false) << hidden;
    }
}

INSTANTIATE_TEST_SUITE_P(Demo, Script,
                         ::testing::Values(std::pair{"agrement", "MARTIN"},
                                           std::pair{"agrement_consultation", "DURAND"}),
                         [](const auto& info) { return std::string(info.param.first); });

}  // namespace
