// Plays the scenarios on a fresh copy of the demo database each and checks,
// for each `state`, the writes, message boxes and focus the script announces
// in its comments, then the records it prints at the end.

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver.h"
#include "host_database.h"

namespace {

using drive::Json;

struct Expected {
    int line = 0;                     // of the `state` command
    std::vector<std::string> events;  // "write FILE KEY" and "message TEXT", in order
    std::string focus;
};

// What the comments announce before each `state` ("\\r\\n" stands for the line break).
std::vector<Expected> Announced(std::istream& in) {
    std::vector<Expected> states(1);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        Expected& next = states.back();
        if (line.rfind("# writes:", 0) == 0) {
            std::istringstream words(line.substr(9));
            for (std::string file, key; words >> file && file != "none" && words >> key;)
                next.events.push_back("write " + file + " " + key);
        } else if (line.rfind("# message: ", 0) == 0) {
            std::string text = line.substr(11);
            for (std::size_t at; (at = text.find("\\r\\n")) != std::string::npos;)
                text.replace(at, 4, "\r\n");
            next.events.push_back("message " + text);
        } else if (line.rfind("# focus: ", 0) == 0) {
            next.focus = line.substr(9);
        } else if (line == "state") {
            next.line = number;
            states.emplace_back();
        }
    }
    states.pop_back();
    return states;
}

// Plays `name`, checks each state against its announcement, and returns the
// records the script prints.
std::vector<Json> PlayAnnounced(const std::string& name) {
    std::ifstream script(ZONITRA_LEVELS_TEST_DIR "/" + name);
    EXPECT_TRUE(script) << "cannot read " << name;
    const std::vector<Expected> expected = Announced(script);
    EXPECT_GE(expected.size(), 10u);

    QTemporaryDir dir;
    if (!dir.isValid()) throw std::runtime_error("no temporary folder for the demo database");
    const std::filesystem::path database = dir.filePath("demo.sqlite").toStdString();
    host::CreateFromJsonLines(database, ZONITRA_DEMO_JSONL);
    std::ostringstream out;
    {
        drive::Driver driver(drive::Record(host::OpenExisting(database)), host::kDemoUser);
        driver.Start();
        script.clear();
        script.seekg(0);
        EXPECT_EQ(driver.Play(script, out), 0) << name;
    }

    std::vector<Json> states, records;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        Json json = Json::parse(line);
        if (json.contains("error"))
            ADD_FAILURE() << "the script failed: " << json["error"];
        else
            (json.contains("controls") ? states : records).push_back(std::move(json));
    }
    EXPECT_EQ(states.size(), expected.size());
    for (std::size_t i = 0; i < std::min(states.size(), expected.size()); ++i) {
        std::vector<std::string> events;
        for (const Json& w : states[i]["writes"])
            events.push_back("write " + w["file"].get<std::string>() + " " +
                             w["key"].get<std::string>());
        for (const Json& m : states[i]["messages"]) {
            events.push_back("message " + m["text"].get<std::string>());
            EXPECT_EQ(m["title"], "Message ORVANIS") << "state at line " << expected[i].line;
        }
        EXPECT_EQ(events, expected[i].events) << "state at line " << expected[i].line;
        EXPECT_FALSE(expected[i].focus.empty())
            << "no focus announced at line " << expected[i].line;
        EXPECT_EQ(states[i]["focus"], expected[i].focus) << "state at line " << expected[i].line;
    }
    return records;
}

TEST(DemoScenario, EachStateReportsTheAnnouncedWritesMessagesAndFocus) {
    const std::vector<Json> records = PlayAnnounced("demo_scenario.drive");
    // The values the edits left.
    ASSERT_EQ(records.size(), 4u);
    const Json& sector = records[0]["attributes"];  // approved on 01/03/2024 (day 20515)
    for (const auto& [attr, value] : {std::pair{0, "LYON PRESQU'ÎLE"},
                                      {2, "SAP/529184736/2024"},
                                      {3, "20515"},
                                      {19, "0691184599"},
                                      {20, "69"}})
        EXPECT_EQ(sector[attr], value) << "sector attribute " << attr + 1;
    EXPECT_EQ(records[1]["attributes"], Json::parse(R"(["PERRACHE SUD"])"));
    EXPECT_EQ(records[2]["attributes"], Json::parse(R"(["ARCHIVES MUNICIPALES","004002"])"));
    EXPECT_EQ(records[3]["attributes"], Json::parse(R"(["GROS CAILLOU","011001"])"));
}

// The new records hold what was typed; the neighbourhood whose code the
// count named is left as it was.
TEST(CreationScenario, EachStateReportsTheAnnouncedWritesMessagesAndFocus) {
    const std::vector<Json> records = PlayAnnounced("creation_scenario.drive");
    ASSERT_EQ(records.size(), 7u);
    const Json& sector = records[0]["attributes"];  // approved on 02/06/2025 (day 20973)
    for (const auto& [attr, value] : {std::pair{0, "VAISE"},
                                      {2, "SAP/529184736/2025"},
                                      {3, "20973"},
                                      {19, "0691184600"},
                                      {20, "69"}})
        EXPECT_EQ(sector[attr], value) << "sector attribute " << attr + 1;
    const char* const rest[][2] = {{"GARE DE VAISE", ""},  {"SAINT-PIERRE", "004002"},
                                   {"INDUSTRIE", ""},      {"INDUSTRIE", "002001"},
                                   {"JACOBINS", "001001"}, {"SAINT-NIZIER", "001003"}};
    for (std::size_t i = 0; i < std::size(rest); ++i) {
        Json attributes = Json::array({rest[i][0]});
        if (*rest[i][1]) attributes.push_back(rest[i][1]);
        EXPECT_EQ(records[i + 1]["attributes"], attributes) << records[i + 1]["key"];
    }
}

}  // namespace
