// Plays the dialogs' operator scripts on a fresh copy of the demo database each
// and checks each output against what the script announces.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "announced_script.h"
#include "editor_harness.h"

namespace {

class DialogScripts : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(DialogScripts, EachOutputShowsWhatTheScriptAnnounces) {
    const auto [file, user] = GetParam();
    std::ifstream in(std::string(ZONITRA_DIALOGS_TEST_DIR "/") + file + ".drive");
    ASSERT_TRUE(in) << file;
    const std::string script{std::istreambuf_iterator<char>(in), {}};
    std::istringstream lines(script);
    harness::Session session(user);
    session.OfferHostButtons();
    script_test::CheckAnnounced(lines, session.Play(script));
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
