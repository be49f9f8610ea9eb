// Plays demo_scenario.drive on a fresh copy of the demo database and checks,
// for each `state`, the writes, message boxes and focus the script announces
// in its comments, then the records it prints at the end.

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
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

TEST(DemoScenario, EachStateReportsTheAnnouncedWritesMessagesAndFocus) {
    std::ifstream script(ZONITRA_LEVELS_TEST_DIR "/demo_scenario.drive");
    ASSERT_TRUE(script) << "cannot read demo_scenario.drive";
    const std::vector<Expected> expected = Announced(script);
    ASSERT_GE(expected.size(), 20u);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::filesystem::path database = dir.filePath("demo.sqlite").toStdString();
    host::CreateFromJsonLines(database, ZONITRA_DEMO_JSONL);
    std::ostringstream out;
    {
        drive::Driver driver(drive::Record(host::OpenExisting(database)), host::kDemoUser);
        driver.Start();
        script.clear();
        script.seekg(0);
        EXPECT_EQ(driver.Play(script, out), 0);
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
    ASSERT_EQ(states.size(), expected.size());
    for (std::size_t i = 0; i < states.size(); ++i) {
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

}  // namespace
