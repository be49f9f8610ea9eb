// Plays the scenarios on a fresh copy of the demo database each and checks
// what each `state` shows against what the script announces, then the records
// it prints at the end.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "announced_script.h"
#include "editor_harness.h"
#include "host_database.h"

namespace {

using harness::Json;

// Plays `name` as the demo user, checks each state against what the script
// announces, and returns the records it prints.
std::vector<Json> PlayAnnounced(const std::string& name) {
    std::ifstream in(ZONITRA_LEVELS_TEST_DIR "/" + name);
    EXPECT_TRUE(in) << "cannot read " << name;
    const std::string script{std::istreambuf_iterator<char>(in), {}};
    const harness::Played played = harness::Session(host::kDemoUser).PlayAnyway(script);
    EXPECT_EQ(played.status, 0) << name;
    std::istringstream lines(script);
    return script_test::CheckAnnounced(lines, played.lines, true);
}

TEST(DemoScenario, EachStateReportsTheAnnouncedWritesMessagesAndFocus) {
    const std::vector<Json> records = PlayAnnounced("demo_scenario.drive");
    // The values the edits left.
    ASSERT_EQ(records.size(), 4u);
    // Label, approval, its date (01/03/2024 is day 20515), CRAM number, département.
    const Json& s = records[0]["attributes"];
    EXPECT_EQ((Json{s[0], s[2], s[3], s[19], s[20]}),
              (Json{"LYON PRESQU'ÎLE", "SAP/529184736/2024", "20515", "0691184599", "69"}));
    EXPECT_EQ(records[1]["attributes"], Json::parse(R"(["PERRACHE SUD"])"));
    EXPECT_EQ(records[2]["attributes"], Json::parse(R"(["ARCHIVES MUNICIPALES","004002"])"));
    EXPECT_EQ(records[3]["attributes"], Json::parse(R"(["GROS CAILLOU","011001"])"));
}

// The new records hold what was typed; the neighbourhood whose code the
// count named is left as it was.
TEST(CreationScenario, EachStateReportsTheAnnouncedWritesMessagesAndFocus) {
    const std::vector<Json> records = PlayAnnounced("creation_scenario.drive");
    ASSERT_EQ(records.size(), 7u);
    const Json& s = records[0]["attributes"];  // approved on 02/06/2025 (day 20973)
    EXPECT_EQ((Json{s[0], s[2], s[3], s[19], s[20]}),
              (Json{"VAISE", "SAP/529184736/2025", "20973", "0691184600", "69"}));
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
