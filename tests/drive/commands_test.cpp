// The two programs as they are shipped, on the demo data of the tree:
// zonitra-drive playing a script from its standard input, zonitra-host
// starting and taking its screenshot.
#include <gmock/gmock.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "editor_harness.h"
#include "host_database.h"
#include "kelmor/database.h"

namespace {

using Json = nlohmann::json;

struct Outcome {
    int status = -1;
    std::vector<Json> lines;
    std::string errors;
};

Outcome Execute(const QString& program, const QStringList& args, const std::string& input = {}) {
    QProcess process;
    process.start(program, args);
    EXPECT_TRUE(process.waitForStarted()) << program.toStdString();
    process.write(input.data(), qint64(input.size()));
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    Outcome run{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                {},
                process.readAllStandardError().toStdString()};
    std::istringstream out(process.readAllStandardOutput().toStdString());
    for (std::string line; std::getline(out, line);) run.lines.push_back(Json::parse(line));
    return run;
}

// A user the database does not know is refused by both programs, never let
// in without rights.
TEST(CommandsTest, DriveAndHostRunOnTheDemoDatabaseForItsUsersOnly) {
    QTemporaryDir dir;
    const harness::TestData demo({});
    const QString db = QString::fromStdString(demo.Location());
    std::ifstream in(ZONITRA_DRIVE_TEST_DIR "/init_and_help.drive");
    const std::string script{std::istreambuf_iterator<char>(in), {}};

    // MARTIN has level 2, DURAND level 1; DURAND's script ends with a mistake.
    for (const auto& [user, mayCreate] : {std::pair{"MARTIN", true}, {"DURAND", false}}) {
        const Outcome run = Execute(ZONITRA_DRIVE_PROGRAM, {"--db", db, "--user", user},
                                    mayCreate ? script : script + "clik Cmd_Adresse\n");
        EXPECT_EQ(run.status, mayCreate ? 0 : 1) << run.errors;
        ASSERT_EQ(run.lines.size(), mayCreate ? 2u : 3u) << run.errors;
        const Json& init = run.lines[0];
        EXPECT_EQ(init["form"], "Ctr_Secteur");
        for (const char* name : {"Cmd_AjouterSecteur", "Cmd_AjouterSousSecteur",
                                 "Cmd_AjouterQuartier", "Cmd_OkSecteurGeo"})
            EXPECT_EQ(init["controls"][name]["visible"], mayCreate) << user << " " << name;
        EXPECT_EQ(init["controls"]["Cbo_LibSecteur"]["items"].size(), 12u);
        EXPECT_EQ(run.lines[1]["help"],
                  Json::parse(R"([{"page":"Secteur.htm","letter":"P","title":"Les Secteurs"}])"));
        if (!mayCreate) {
            // The error names the script line of the mistake, the one after the file's.
            const int line = static_cast<int>(std::count(script.begin(), script.end(), '\n')) + 1;
            EXPECT_EQ(run.lines[2], (Json{{"error", "unknown command \"clik\""}, {"line", line}}));
        }
    }

    const QString picture = dir.filePath("host.png");
    const Outcome host = Execute(ZONITRA_HOST_PROGRAM, {"--db", db, "--screenshot", picture});
    EXPECT_EQ(host.status, 0) << host.errors;
    // The design area, 7020 x 6480 twips, at 15 twips a pixel.
    EXPECT_EQ(QImage(picture).size(), QSize(468, 432));

    const Outcome drive =
        Execute(ZONITRA_DRIVE_PROGRAM, {"--db", db, "--user", "INCONNU"}, "state\n");
    EXPECT_EQ(drive.status, 1);
    ASSERT_EQ(drive.lines.size(), 1u) << drive.errors;
    EXPECT_NE(drive.lines[0]["error"].get<std::string>().find("\"INCONNU\""), std::string::npos)
        << drive.lines[0].dump();
    const Outcome refused = Execute(ZONITRA_HOST_PROGRAM, {"--db", db, "--user", "INCONNU",
                                                           "--screenshot", dir.filePath("no.png")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.errors.find("INCONNU"), std::string::npos) << refused.errors;
    EXPECT_FALSE(QFile::exists(dir.filePath("no.png")));
}

// Loading JSON lines is all or nothing, names the bad line, never replaces.
TEST(CommandsTest, HostDatabaseLoadsAllOrNothing) {
    QTemporaryDir dir;
    const std::filesystem::path lines = dir.filePath("bad.jsonl").toStdString();
    const std::filesystem::path target = dir.filePath("bad.sqlite").toStdString();
    std::ofstream(lines) << R"({"file":"SECTEUR","key":"001","attributes":["NORD"]})"
                         << "\n\n{\"file\":\"SECTEUR\"\n";
    EXPECT_THAT([&] { host::CreateFromJsonLines(target, lines); },
                ::testing::ThrowsMessage<host::SetupError>(::testing::HasSubstr("bad.jsonl:3")));
    for (const char* suffix : {"", ".loading", ".loading-wal", ".loading-shm"})
        EXPECT_FALSE(std::filesystem::exists(target.string() + suffix)) << suffix;
    std::ofstream(lines) << R"({"file":"SECTEUR","key":"001","attributes":["NORD"]})"
                         << "\n";
    host::CreateFromJsonLines(target, lines);
    EXPECT_THROW(host::CreateFromJsonLines(target, lines), host::SetupError);
    EXPECT_EQ(host::OpenExisting(target)->OpenFile("SECTEUR").ReadRecord("001").Get(1), "NORD");
}

}  // namespace
