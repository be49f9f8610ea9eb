// Plays demo_scenario.drive on a fresh copy of the demo database and checks,
// for each `state`, the writes and message boxes the script announces in its
// comments, then the records it prints at the end.

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver.h"
#include "host_database.h"
#include "kelmor/database.h"

namespace {

using drive::Json;

struct Expected {
    int line = 0;            // of the `state` command
    bool announced = false;  // a "# writes:" line came before it
    std::vector<std::string> writes, messages;
};

// What the comments announce before each `state` ("\\r\\n" stands for the line break).
std::vector<Expected> Announced(const std::string& script) {
    std::vector<Expected> states(1);
    std::istringstream in(script);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        Expected& next = states.back();
        if (line.rfind("# writes:", 0) == 0) {
            next.announced = true;
            std::istringstream words(line.substr(9));
            for (std::string file, key; words >> file && file != "none" && words >> key;)
                next.writes.push_back(file + " " + key);
        } else if (line.rfind("# message: ", 0) == 0) {
            std::string text = line.substr(11);
            for (std::size_t at; (at = text.find("\\r\\n")) != std::string::npos;)
                text.replace(at, 4, "\r\n");
            next.messages.push_back(text);
        } else if (line == "state") {
            next.line = number;
            states.emplace_back();
        }
    }
    states.pop_back();
    return states;
}

TEST(DemoScenario, EachStateReportsExactlyTheAnnouncedWrites) {
    std::ifstream file(ZONITRA_LEVELS_TEST_DIR "/demo_scenario.drive");
    ASSERT_TRUE(file) << "cannot read demo_scenario.drive";
    const std::string script{std::istreambuf_iterator<char>(file), {}};
    const std::vector<Expected> expected = Announced(script);
    ASSERT_GE(expected.size(), 20u);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::filesystem::path database = dir.filePath("demo.sqlite").toStdString();
    host::CreateFromJsonLines(database, ZONITRA_DEMO_JSONL);

    std::ostringstream out;
    int status = 0;
    {
        drive::Driver driver(drive::Record(host::OpenExisting(database)), host::kDemoUser);
        driver.Start();
        std::istringstream in(script);
        status = driver.Play(in, out);
    }
    EXPECT_EQ(status, 0);

    std::vector<Json> states, records;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        Json json = Json::parse(line);
        if (json.contains("error"))
            ADD_FAILURE() << "the script failed: " << json["error"].get<std::string>();
        else if (json.contains("controls"))
            states.push_back(std::move(json));
        else
            records.push_back(std::move(json));
    }
    ASSERT_EQ(states.size(), expected.size());
    for (std::size_t i = 0; i < states.size(); ++i) {
        std::vector<std::string> writes, messages;
        for (const Json& w : states[i]["writes"])
            writes.push_back(w["file"].get<std::string>() + " " + w["key"].get<std::string>());
        for (const Json& m : states[i]["messages"]) {
            messages.push_back(m["text"].get<std::string>());
            EXPECT_EQ(m["title"], "Message ORVANIS") << "state at line " << expected[i].line;
        }
        EXPECT_TRUE(expected[i].announced) << "no \"# writes:\" before line " << expected[i].line;
        EXPECT_EQ(writes, expected[i].writes) << "state at line " << expected[i].line;
        EXPECT_EQ(messages, expected[i].messages) << "state at line " << expected[i].line;
    }

    // The values the edits left.
    ASSERT_EQ(records.size(), 4u);
    const Json& sector = records[0]["attributes"];
    EXPECT_EQ(sector[0], "LYON PRESQU'ÎLE");
    EXPECT_EQ(sector[2], "SAP/529184736/2024");
    EXPECT_EQ(sector[3], "20515");  // 01/03/2024
    EXPECT_EQ(sector[19], "0691184599");
    EXPECT_EQ(sector[20], "69");
    EXPECT_EQ(records[1]["attributes"], Json::parse(R"(["PERRACHE SUD"])"));
    EXPECT_EQ(records[2]["attributes"], Json::parse(R"(["ARCHIVES MUNICIPALES","004002"])"));
    EXPECT_EQ(records[3]["attributes"], Json::parse(R"(["GROS CAILLOU","011001"])"));
}

}  // namespace
