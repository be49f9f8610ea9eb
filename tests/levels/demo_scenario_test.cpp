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
    int line = 0;  // of the `state` command
    std::vector<std::string> writes;
    std::vector<std::string> messages;
};

std::string Unescape(std::string text) {
    for (std::size_t at = text.find("\\r\\n"); at != std::string::npos;
         at = text.find("\\r\\n", at + 2))
        text.replace(at, 4, "\r\n");
    return text;
}

// What the comments announce before each `state` of the script.
std::vector<Expected> Announced(const std::string& script) {
    std::vector<Expected> states;
    Expected next;
    bool writesSeen = false;
    std::istringstream in(script);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.rfind("# writes:", 0) == 0) {
            writesSeen = true;
            std::istringstream words(line.substr(9));
            for (std::string file, key; words >> file;) {
                if (file == "none") break;
                words >> key;
                next.writes.push_back(file + " " + key);
            }
        } else if (line.rfind("# message: ", 0) == 0) {
            next.messages.push_back(Unescape(line.substr(11)));
        } else if (line == "state") {
            EXPECT_TRUE(writesSeen) << "line " << number << ": a state without \"# writes:\"";
            next.line = number;
            states.push_back(next);
            next = {};
            writesSeen = false;
        }
    }
    return states;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(DemoScenario, EachStateReportsExactlyTheAnnouncedWrites) {
    const std::string script = ReadFile(ZONITRA_LEVELS_TEST_DIR "/demo_scenario.drive");
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
