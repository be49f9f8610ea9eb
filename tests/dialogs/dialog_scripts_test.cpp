// Plays the dialogs' scripts with zonitra-drive as shipped, on a fresh copy of
// the demo database, and checks what each `state` and `record` announces in
// the comments before it (see adresse.drive for the announcements).

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "host_database.h"

namespace {

using Json = nlohmann::json;

// What the comments before one output line announce.
struct Announced {
    int line = 0;  // of the `state` or `record` command
    std::vector<std::pair<std::string, Json>> values;
    std::vector<std::string> writes;  // "FILE KEY", one record each
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
        if (word == "# expect:") {
            const auto cut = rest.find(' ');
            next.values.emplace_back(rest.substr(0, cut), Json::parse(rest.substr(cut + 1)));
        } else if (word == "# writes:") {
            next.writes.push_back(rest);
        } else if (word == "# message:") {
            next.messages.push_back(rest);
        } else if (word == "# keeps:") {
            std::istringstream ranges(rest);
            for (std::string range; ranges >> range;) {
                const auto dash = range.find('-');
                next.keeps.emplace_back(
                    std::stoi(range),
                    std::stoi(range.substr(dash == std::string::npos ? 0 : dash + 1)));
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

struct Script {
    const char* file;
    QStringList options;
};

void PrintTo(const Script& script, std::ostream* out) {
    *out << script.file;
}

class DialogScripts : public ::testing::TestWithParam<Script> {};

TEST_P(DialogScripts, EachOutputShowsWhatTheScriptAnnounces) {
    std::ifstream in(std::string(ZONITRA_DIALOGS_TEST_DIR "/") + GetParam().file);
    ASSERT_TRUE(in) << GetParam().file;
    const std::string script{std::istreambuf_iterator<char>(in), {}};
    std::istringstream lines(script);
    const std::vector<Announced> expected = Announcements(lines);

    QTemporaryDir dir;
    const std::filesystem::path db = dir.filePath("demo.sqlite").toStdString();
    host::CreateFromJsonLines(db, std::filesystem::path(ZONITRA_SOURCE_DIR) / "data/demo.jsonl");
    QProcess drive;
    drive.start(ZONITRA_DRIVE_PROGRAM,
                QStringList{"--db", QString::fromStdString(db.string())} + GetParam().options);
    drive.write(script.data(), qint64(script.size()));
    drive.closeWriteChannel();
    ASSERT_TRUE(drive.waitForFinished(120000));
    EXPECT_EQ(drive.exitCode(), 0) << drive.readAllStandardError().toStdString();

    std::vector<Json> outputs;
    std::istringstream printed(drive.readAllStandardOutput().toStdString());
    for (std::string line; std::getline(printed, line);) outputs.push_back(Json::parse(line));
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
            const Json& before = lastRecord[key]["attributes"];
            for (int a = first; a <= last; ++a)
                EXPECT_EQ(Attribute(out["attributes"], a), Attribute(before, a))
                    << key << " attribute " << a;
        }
        lastRecord[key] = out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, DialogScripts,
    ::testing::Values(Script{"adresse.drive", {"--user", "MARTIN", "--centres"}},
                      Script{"adresse_consultation.drive", {"--user", "DURAND", "--centres"}},
                      Script{"gestion_documentaire.drive", {"--user", "MARTIN", "--documents"}}),
    [](const auto& info) {
        std::string name = info.param.file;
        name.resize(name.find('.'));
        name.erase(std::remove(name.begin(), name.end(), '_'), name.end());
        return name;
    });

}  // namespace
