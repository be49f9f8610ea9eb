// The two programs as they are run: zonitra-drive playing a script from its
// standard input on the demo database, zonitra-host starting on it.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "host_database.h"

namespace {

namespace fs = std::filesystem;
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
    Outcome run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.errors = process.readAllStandardError().toStdString();
    std::istringstream out(process.readAllStandardOutput().toStdString());
    for (std::string line; std::getline(out, line);) run.lines.push_back(Json::parse(line));
    return run;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        database_ = fs::path(dir_.path().toStdString()) / "demo.sqlite";
        host::CreateFromJsonLines(database_, fs::path(ZONITRA_SOURCE_DIR) / "data" / "demo.jsonl");
    }
    QString Db() const { return QString::fromStdString(database_.string()); }

    QTemporaryDir dir_;
    fs::path database_;
};

struct DemoUser {
    const char* name;
    bool mayCreate;
};

void PrintTo(const DemoUser& user, std::ostream* os) {
    *os << user.name;
}

class DriveCommandTest : public CommandsTest, public ::testing::WithParamInterface<DemoUser> {};

TEST_P(DriveCommandTest, ShowsTheEditorAfterInitAndItsHelp) {
    const std::string script = ReadFile(ZONITRA_DRIVE_TEST_DIR "/init_and_help.drive");
    const Outcome run =
        Execute(ZONITRA_DRIVE_PROGRAM, {"--db", Db(), "--user", GetParam().name}, script);
    EXPECT_EQ(run.status, 0) << run.errors;
    ASSERT_EQ(run.lines.size(), 2u) << run.errors;
    const Json& init = run.lines[0];
    EXPECT_EQ(init["form"], "Ctr_Secteur");
    for (const char* name : {"Cmd_AjouterSecteur", "Cmd_AjouterSousSecteur", "Cmd_AjouterQuartier",
                             "Cmd_OkSecteurGeo"})
        EXPECT_EQ(init["controls"][name]["visible"], GetParam().mayCreate) << name;
    EXPECT_EQ(init["controls"]["Cbo_LibSecteur"]["items"].size(), 12u);
    EXPECT_EQ(run.lines[1]["help"],
              Json::parse(R"([{"page":"Secteur.htm","letter":"P","title":"Les Secteurs"}])"));
}

INSTANTIATE_TEST_SUITE_P(Demo, DriveCommandTest,
                         ::testing::Values(DemoUser{"MARTIN", true}, DemoUser{"DURAND", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandsTest, DriveUsesTheDemosLevelTwoUserByDefault) {
    const Outcome run = Execute(ZONITRA_DRIVE_PROGRAM, {"--db", Db()}, "state\n");
    ASSERT_EQ(run.lines.size(), 1u) << run.errors;
    EXPECT_EQ(run.lines[0]["controls"]["Cmd_AjouterSecteur"]["visible"], true);
}

TEST_F(CommandsTest, DriveExitStatusTellsWhatWentWrong) {
    EXPECT_EQ(Execute(ZONITRA_DRIVE_PROGRAM, {}).status, 2);
    EXPECT_EQ(Execute(ZONITRA_DRIVE_PROGRAM, {"--db", Db(), "--bavard"}).status, 2);

    const Outcome missing = Execute(ZONITRA_DRIVE_PROGRAM, {"--db", Db() + ".absent"}, "state\n");
    EXPECT_EQ(missing.status, 1);
    ASSERT_EQ(missing.lines.size(), 1u);
    EXPECT_NE(missing.lines[0]["error"].get<std::string>().find(".absent does not exist"),
              std::string::npos);

    const Outcome mistaken =
        Execute(ZONITRA_DRIVE_PROGRAM, {"--db", Db()}, "clik Cmd_Adresse\nstate\n");
    EXPECT_EQ(mistaken.status, 1);
    ASSERT_EQ(mistaken.lines.size(), 2u);
    EXPECT_EQ(mistaken.lines[0], (Json{{"error", "unknown command \"clik\""}}));
}

TEST_F(CommandsTest, HostStartsTheEditorOnTheDatabaseAndShowsIt) {
    const QString picture = dir_.filePath("host.png");
    const Outcome run = Execute(ZONITRA_HOST_PROGRAM, {"--db", Db(), "--screenshot", picture});
    EXPECT_EQ(run.status, 0) << run.errors;
    const QImage image(picture);
    ASSERT_FALSE(image.isNull());
    // The design area, 7020 x 6480 twips, at 15 twips a pixel.
    EXPECT_EQ(image.size(), QSize(468, 432));
    EXPECT_EQ(Execute(ZONITRA_HOST_PROGRAM, {"--utilisateur", "X"}).status, 2);
}

}  // namespace
