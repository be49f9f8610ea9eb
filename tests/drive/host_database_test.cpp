// The host's database set-up: loading JSON lines all or nothing, opening only
// what exists, the demo database created once in the user's data folder.
#include <gtest/gtest.h>
#include <kelmor/database.h>

#include <QStandardPaths>
#include <QTemporaryDir>

#include "fixture.h"
#include "host_database.h"

namespace {

namespace fs = std::filesystem;
using drive_test::Fixture;
using host::SetupError;

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const SetupError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(HostDatabaseTest, LoadsEveryRecordOfTheJsonLines) {
    Fixture fixture;
    auto db = host::OpenExisting(fixture.Database());
    EXPECT_EQ(db->FileNames(), (std::vector<std::string>{"ANTENNEMEDICALE", "ASSOCIATION",
                                                         "CENTREMEDICAL", "COMPTEUR", "DROITS",
                                                         "QUARTIER", "SECTEUR", "SOUSSECTEUR"}));
    EXPECT_EQ(db->OpenFile("CENTREMEDICAL").ReadRecord("001").Get(1), "CENTRE MÉDICAL UN");
    EXPECT_EQ(db->OpenFile("DROITS").ReadRecord("CHEF").Values(1),
              std::vector<std::string>{"SECTEUR"});
    EXPECT_EQ(db->OpenFile("SECTEUR").ReadRecord("001").Get(4), "12125");
}

TEST(HostDatabaseTest, ABadLineLeavesNoDatabaseAndIsNamed) {
    Fixture fixture;
    const fs::path lines = fixture.WriteFile("bad.jsonl",
                                             "{\"file\":\"SECTEUR\",\"key\":\"001\",\"attributes\":"
                                             "[\"NORD\"]}\n\n{\"file\":\"SECTEUR\"\n");
    const fs::path target = fixture.Dir() / "bad.sqlite";
    const std::string error = ErrorOf([&] { host::CreateFromJsonLines(target, lines); });
    EXPECT_NE(error.find("bad.jsonl:3"), std::string::npos) << error;
    for (const char* suffix : {"", ".loading", ".loading-wal", ".loading-shm"})
        EXPECT_FALSE(fs::exists(target.string() + suffix)) << suffix;
}

TEST(HostDatabaseTest, NeverReplacesAnExistingDatabase) {
    Fixture fixture;
    const std::string error = ErrorOf([&] {
        host::CreateFromJsonLines(
            fixture.Database(), fixture.WriteFile("one.jsonl", "{\"file\":\"X\",\"key\":\"1\"}\n"));
    });
    EXPECT_NE(error.find("already exists"), std::string::npos) << error;
    EXPECT_TRUE(host::OpenExisting(fixture.Database())->HasFile("SECTEUR"));
}

TEST(HostDatabaseTest, OpensOnlyAnExistingFile) {
    QTemporaryDir dir;
    const fs::path missing = fs::path(dir.path().toStdString()) / "absent.sqlite";
    const std::string error = ErrorOf([&] { host::OpenExisting(missing); });
    EXPECT_NE(error.find(missing.string()), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_NE(ErrorOf([&] {
                  host::CreateFromJsonLines(missing, missing.string() + ".jsonl");
              }).find("cannot read"),
              std::string::npos);
}

TEST(HostDatabaseTest, DemoLinesBesideTheProgramComeFirst) {
    Fixture fixture;
    EXPECT_EQ(host::DemoJsonLinesPath(fixture.Dir()).filename(), "demo.jsonl");
    EXPECT_NE(host::DemoJsonLinesPath(fixture.Dir()).parent_path(), fixture.Dir());
    fixture.WriteFile("demo.jsonl", drive_test::kFixtureLines);
    EXPECT_EQ(host::DemoJsonLinesPath(fixture.Dir()), fixture.Dir() / "demo.jsonl");
}

TEST(HostDatabaseTest, DefaultDatabaseIsCreatedOnceInTheUsersDataFolder) {
    Fixture fixture;
    fixture.WriteFile("demo.jsonl", drive_test::kFixtureLines);
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString((fixture.Dir() / "data").string()));

    const fs::path path = host::DefaultDatabasePath();
    EXPECT_EQ(path.filename(), "demo.sqlite");
    EXPECT_EQ(path.string().rfind((fixture.Dir() / "data").string(), 0), 0u) << path;
    {
        auto db = host::OpenDefault(fixture.Dir());
        kelmor::DbRecord record = db->OpenFile("SECTEUR").ReadRecord("002");
        record.Set(1, "CENTRE-VILLE");
        record.DBWrite();
    }
    // The second run opens what the first left, without loading again.
    auto again = host::OpenDefault(fixture.Dir());
    EXPECT_EQ(again->OpenFile("SECTEUR").ReadRecord("002").Get(1), "CENTRE-VILLE");

    if (saved.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", saved);
}

}  // namespace
