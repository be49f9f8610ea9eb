// Runs the built kelmor program and checks its output and exit codes.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "kelmor/backend.h"
#include "test_database.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using kelmor::test::ReadFile;

struct Result {
    int code = -1;
    std::string out, err;
};

class KelmorCli : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return temp_.File(name); }

    Result Kelmor(const std::vector<std::string>& args) const {
        std::string command = KELMOR_PROGRAM;
        for (std::string arg : args) {
            for (std::size_t q = arg.find('\''); q != std::string::npos; q = arg.find('\'', q + 4))
                arg.replace(q, 1, "'\\''");  // close, escaped quote, reopen
            command += " '" + arg + "'";
        }
        const int status =
            std::system((command + " >" + Path("out") + " 2>" + Path("err")).c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(Path("out")),
                ReadFile(Path("err"))};
    }
    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
        return Path(name);
    }
    std::string Demo() const {
        const Result load = Kelmor({Path("demo.sqlite"), "load", DEMO_JSONL});
        EXPECT_EQ(load.code, 0) << load.err;
        return Path("demo.sqlite");
    }

    kelmor::test::TempDir temp_;
    std::string dir_ = temp_.Dir();
};

// The demo file is kept in dump order, so load then dump gives it back byte
// for byte, and loading that dump dumps identically again.
TEST_F(KelmorCli, DemoLoadDumpIsTheIdentity) {
    const Result first = Kelmor({Demo(), "dump"});
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(first.out, ReadFile(DEMO_JSONL));
    ASSERT_EQ(Kelmor({Path("again.sqlite"), "load", Write("dump.jsonl", first.out)}).code, 0);
    EXPECT_EQ(Kelmor({Path("again.sqlite"), "dump"}).out, first.out);
}

// Any accepted spelling is dumped in its simplest form, sorted by file then key.
TEST_F(KelmorCli, LoadAcceptsEverySpellingAndDumpWritesTheSimplest) {
    const std::string input = Write(
        "in.jsonl",
        "{\"file\":\"SECTEUR\",\"key\":\"002\",\"attributes\":[\"ZOÉ\",[],\"\",[[]]]}\r\n\n"
        "{\"key\":\"001\",\"file\":\"SECTEUR\",\"attributes\":[[\"NOËL\"],[[\"þ\",\"ÿ\"],\"b\"]]}\n"
        "{\"file\":\"COMPTEUR\",\"key\":\"999\"}\n");
    const Result load = Kelmor({Path("a.sqlite"), "load", input});
    ASSERT_EQ(load.code, 0) << load.err;
    EXPECT_EQ(load.out, "3 records loaded into 2 files (new database " + Path("a.sqlite") + ")\n");
    EXPECT_EQ(
        Kelmor({Path("a.sqlite"), "dump"}).out,
        "{\"file\":\"COMPTEUR\",\"key\":\"999\",\"attributes\":[]}\n"
        "{\"file\":\"SECTEUR\",\"key\":\"001\",\"attributes\":[\"NOËL\",[[\"þ\",\"ÿ\"],\"b\"]]}\n"
        "{\"file\":\"SECTEUR\",\"key\":\"002\",\"attributes\":[\"ZOÉ\"]}\n");
}

// The order of labels belongs to the query tests; here, how rows are printed.
TEST_F(KelmorCli, ReadAndQueryTheDemo) {
    const std::string db = Demo();
    EXPECT_EQ(Kelmor({db, "read", "QUARTIER", "0020101"}).out,
              "{\"file\":\"QUARTIER\",\"key\":\"0020101\",\"attributes\":[\"GROS "
              "CAILLOU\",\"002001\"]}\n");
    EXPECT_EQ(Kelmor({db, "query", "SSELECT SOUSSECTEUR = '001]' PAR 1", "0 1"}).out,
              "[\"00104\",\"AINAY\"]\n[\"00101\",\"BELLECOUR\"]\n[\"00105\",\"CÉLESTINS\"]\n"
              "[\"00103\",\"PERRACHE\"]\n[\"00102\",\"TERREAUX\"]\n");
    // A multi-valued column keeps its values apart.
    EXPECT_EQ(Kelmor({db, "query", "SSELECT SECTEUR = '001'", "0 17 18"}).out,
              "[\"001\",[\"001\",\"004\"],[\"18874\",\"19531\"]]\n");
}

TEST_F(KelmorCli, ErrorsExitWithTheirCodeAndSayWhy) {
    const std::string db = Demo(), missing = Path("missing.sqlite"), foreign = Path("f.db");
    // The library leaves another program's database as it was; the commands
    // must not touch it before asking.
    kelmor::test::SqliteRows(foreign, "CREATE TABLE invoices(id);");
    const std::string before = ReadFile(foreign);
    // What each bad line is told belongs to the reader's tests; here, that the
    // load stores nothing of its good first line.
    const std::string bad =
        Write("bad.jsonl",
              "{\"file\":\"SECTEUR\",\"key\":\"001\",\"attributes\":[\"NORD\"]}\n"
              "{\"file\":\"SECTEUR\",\"key\":\"003\"\n");
    // A load into a new database holds a lock on the file it writes: here,
    // another load into busy.sqlite is going on.
    const std::string busy = Path("busy.sqlite");
    const int loading = ::open((busy + ".loading").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_EQ(::flock(loading, LOCK_EX | LOCK_NB), 0);
    const std::vector<std::tuple<std::vector<std::string>, int, std::string>> cases = {
        {{}, 2, "usage: kelmor DB COMMAND"},
        {{db, "drop"}, 2, "unknown command \"drop\""},
        {{db, "read", "SECTEUR"}, 2, "wrong number of arguments"},
        {{db, "read", "SECTEUR", "010"}, 3, "010"},
        {{db, "read", "SECTEURS", "001"}, 4, "SECTEURS"},
        {{db, "query", "SSELECT AIDE"}, 4, "AIDE"},
        {{db, "query", "SSELECT SECTEUR PAR"}, 5, "PAR"},
        {{db, "query", "SSELECT SECTEUR", "0 X"}, 5, "X"},
        {{db, "create", "MON FICHIER"}, 5, "MON FICHIER"},
        {{missing, "dump"}, 6, "missing.sqlite"},
        {{dir_, "dump"}, 6, "is a directory"},
        {{dir_, "load", DEMO_JSONL}, 6, "is a directory"},
        {{db, "load", dir_}, 7, "is a directory"},
        {{Path("new.sqlite"), "generate", "1000", "1", "1", "U"}, 2, "from 1 to 999"},
        {{db, "generate", "1", "1", "1", "U"}, 6, "exists"},
        {{db, "load", Path("none.jsonl")}, 7, "none.jsonl"},
        {{db, "count-prefix", "SOUSSECTEUR", "0"}, 5, "at least 1 character"},
        {{db, "count-prefix", "SOUSSECTEUR", "3 "}, 2, "must be a number"},
        {{db, "count-prefix", "SOUSSECTEUR"}, 2, "wrong number of arguments"},
        {{missing, "count-prefix", "SOUSSECTEUR", "3"}, 6, "missing.sqlite"},
        {{Path("bad.sqlite"), "load", bad}, 5, "bad.jsonl:2: not valid JSON"},
        {{foreign, "create", "SECTEUR"}, 6, "another program"},
        {{foreign, "load", DEMO_JSONL}, 6, "another program"},
        {{busy, "load", DEMO_JSONL}, 6, "another load into"}};
    for (const auto& [args, code, message] : cases) {
        const Result result = Kelmor(args);
        EXPECT_EQ(result.code, code) << message << ": " << result.err;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_FALSE(fs::exists(missing)) << "a read must not create a database";
    EXPECT_FALSE(fs::exists(Path("bad.sqlite"))) << "a failed load must not create one";
    EXPECT_FALSE(fs::exists(busy));
    EXPECT_TRUE(fs::exists(busy + ".loading")) << "the other load's file is left to it";
    ::close(loading);
    EXPECT_EQ(ReadFile(foreign), before);
    EXPECT_FALSE(fs::exists(foreign + "-wal"));
}

// SQLite to PostgreSQL and back: the same records, the same answers, and a
// copy into a database that holds records is refused without a change.
TEST_F(KelmorCli, CopyBetweenBackendsKeepsEveryRecordAndRefusesATargetInUse) {
    const kelmor::test::TestDatabase server(kelmor::test::BackendKind::Postgres);
    const std::string pg = server.Location(), demo = Demo(), back = Path("back.sqlite");
    EXPECT_EQ(Kelmor({pg, "dump"}).code, 6) << "no tables before the copy";
    // Counted key prefixes go with their files.
    const Result counted = Kelmor({demo, "count-prefix", "SOUSSECTEUR", "3"});
    ASSERT_EQ(counted.code, 0) << counted.err;
    EXPECT_EQ(counted.out, "counted key prefixes of SOUSSECTEUR: 3 characters\n");

    const Result there = Kelmor({demo, "copy", pg});
    ASSERT_EQ(there.code, 0) << there.err;
    EXPECT_NE(there.out.find("SECTEUR: 12 records, sha256 "), std::string::npos) << there.out;
    // The totals are those of the database copied.
    const std::string totals = kelmor::test::SqliteRows(
        demo,
        "SELECT (SELECT count(*) FROM kelmor_records) || ' records copied in ' || "
        "(SELECT count(*) FROM kelmor_files) || ' files'",
        true);
    EXPECT_NE(there.out.find(totals.substr(0, totals.size() - 1)), std::string::npos) << there.out;
    ASSERT_EQ(Kelmor({pg, "copy", back}).code, 0);
    EXPECT_EQ(Kelmor({back, "dump"}).out, ReadFile(DEMO_JSONL));
    for (const char* query : {"SSELECT SECTEUR PAR 1", "SSELECT SOUSSECTEUR = '001]' PAR 1"}) {
        EXPECT_EQ(Kelmor({pg, "query", query, "0 1"}).out,
                  Kelmor({demo, "query", query, "0 1"}).out);
    }
    for (const std::string& copy : {pg, back}) {
        EXPECT_EQ(kelmor::Database::Open(copy, kelmor::OpenMode::ReadOnly)
                      ->backend()
                      .CountedKeyPrefixes("SOUSSECTEUR"),
                  std::vector<int>{3})
            << copy;
    }

    ASSERT_EQ(Kelmor({back, "load",
                      Write("one.jsonl",
                            "{\"file\":\"SECTEUR\",\"key\":\"001\","
                            "\"attributes\":[\"AUTRE\"]}\n")})
                  .code,
              0);
    const Result refused = Kelmor({back, "copy", pg});
    EXPECT_EQ(refused.code, 8);
    EXPECT_NE(refused.err.find("holds records"), std::string::npos) << refused.err;
    EXPECT_EQ(Kelmor({pg, "dump"}).out, ReadFile(DEMO_JSONL));
    EXPECT_EQ(Kelmor({demo, "copy", demo}).code, 8);
}

// Loads stream into a server database too, the later of two lines of one key
// winning; generate wants an empty database. A bad file is refused before any
// database is touched, which the reader's and the error table's tests cover.
TEST_F(KelmorCli, LoadAndGenerateIntoAServerDatabase) {
    const kelmor::test::TestDatabase server(kelmor::test::BackendKind::Postgres);
    const std::string pg = server.Location();
    const Result loaded = Kelmor({pg, "load", DEMO_JSONL});
    ASSERT_EQ(loaded.code, 0) << loaded.err;
    EXPECT_EQ(Kelmor({pg, "dump"}).out, ReadFile(DEMO_JSONL));

    const std::string twice = Write("twice.jsonl",
                                    "{\"file\":\"NEUF\",\"key\":\"1\",\"attributes\":[\"A\"]}\n"
                                    "{\"file\":\"NEUF\",\"key\":\"1\",\"attributes\":[\"B\"]}\n");
    ASSERT_EQ(Kelmor({pg, "load", twice}).code, 0);
    EXPECT_EQ(Kelmor({pg, "read", "NEUF", "1"}).out,
              "{\"file\":\"NEUF\",\"key\":\"1\",\"attributes\":[\"B\"]}\n");

    const Result refused = Kelmor({pg, "generate", "2", "2", "2", "CHEF"});
    EXPECT_EQ(refused.code, 6);
    EXPECT_NE(refused.err.find("already holds files"), std::string::npos) << refused.err;
}

// Records written around the library (invalid UTF-8): dump names each and
// prints the others, read and query name the record; none prints a JSON
// library's exception.
TEST_F(KelmorCli, RecordsThatAreNotTextAreNamedAndTheRestIsPrinted) {
    const std::string db = Demo();
    kelmor::test::SqliteRows(db,
                             "UPDATE kelmor_records SET body = X'4E4FC3' WHERE key = '0010101' OR "
                             "(key = '005' AND file = (SELECT id FROM kelmor_files WHERE name = "
                             "'SECTEUR'))");
    const Result dump = Kelmor({db, "dump"});
    EXPECT_EQ(dump.code, 9);
    EXPECT_NE(dump.err.find("the record \"005\" of SECTEUR is not valid text"), std::string::npos)
        << dump.err;
    EXPECT_NE(dump.err.find("the record \"0010101\" of QUARTIER"), std::string::npos) << dump.err;
    EXPECT_NE(dump.err.find("2 stored record(s)"), std::string::npos) << dump.err;
    const std::string demo = ReadFile(DEMO_JSONL);
    EXPECT_EQ(std::count(dump.out.begin(), dump.out.end(), '\n'),
              std::count(demo.begin(), demo.end(), '\n') - 2);

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{db, "read", "SECTEUR", "005"},
          std::vector<std::string>{db, "query", "SSELECT SECTEUR PAR 1", "0 1"}}) {
        const Result result = Kelmor(args);
        EXPECT_EQ(result.code, 9) << result.err;
        EXPECT_NE(result.err.find("\"005\""), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find("json"), std::string::npos) << result.err;
    }
    const std::string keys = Kelmor({db, "query", "SSELECT SECTEUR"}).out;
    EXPECT_EQ(std::count(keys.begin(), keys.end(), '\n'), 12) << "keys alone are good text";
}

// dump, read and query need no write access: they work on a read-only file
// system (run in a private mount namespace, where the machine allows one).
TEST_F(KelmorCli, ReadingCommandsWorkOnAReadOnlyFileSystem) {
    const std::string db = Demo();
    std::ofstream(Path("ro.sh")) << "set -e\nmount --bind '" << dir_ << "' '" << dir_
                                 << "'\nmount -o remount,ro,bind '" << dir_ << "'\n! touch '"
                                 << dir_ << "/probe' 2>/dev/null\n'" << KELMOR_PROGRAM << "' '"
                                 << db << "' dump > '" << dir_ << "/../ro-dump'\n'"
                                 << KELMOR_PROGRAM << "' '" << db
                                 << "' query 'SSELECT SECTEUR PAR 1' '1' | head -1\n";
    if (std::system("unshare -m true 2>/dev/null") != 0) GTEST_SKIP() << "no mount namespaces here";
    const std::string dump = dir_ + "/../ro-dump";
    const int status =
        std::system(("unshare -m sh '" + Path("ro.sh") + "' > '" + dump + "-query' 2>&1").c_str());
    EXPECT_EQ(status, 0) << ReadFile(dump + "-query");
    EXPECT_EQ(ReadFile(dump), ReadFile(DEMO_JSONL));
    EXPECT_EQ(ReadFile(dump + "-query"), "[\"AJACCIO\"]\n");
    fs::remove(dump);
    fs::remove(dump + "-query");
}

// The scale generator: the same database every time, on either backend,
// complete at any size, and each neighbourhood linked to an antenna that exists.
TEST_F(KelmorCli, GenerateMakesTheSameDatabaseEveryTime) {
    const Result made = Kelmor({Path("g1.sqlite"), "generate", "3", "2", "4", "CHEF"});
    ASSERT_EQ(made.code, 0) << made.err;
    EXPECT_EQ(made.out, "1155 records generated into " + Path("g1.sqlite") + "\n");
    const kelmor::test::TestDatabase server(kelmor::test::BackendKind::Postgres);
    const Result there = Kelmor({server.Location(), "generate", "3", "2", "4", "CHEF"});
    ASSERT_EQ(there.code, 0) << there.err;
    EXPECT_EQ(there.out, "1155 records generated into the server database\n");
    const std::string dump = Kelmor({Path("g1.sqlite"), "dump"}).out;
    EXPECT_EQ(Kelmor({server.Location(), "dump"}).out, dump);
    EXPECT_EQ(kelmor::test::SqliteRows(Path("g1.sqlite"),
                                       "SELECT name, (SELECT count(*) FROM kelmor_records "
                                       "WHERE file = id) FROM kelmor_files WHERE name IN "
                                       "('SECTEUR', 'SOUSSECTEUR', 'QUARTIER', 'ANTENNEMEDICALE')"
                                       " ORDER BY name",
                                       true),
              "ANTENNEMEDICALE|1000\nQUARTIER|24\nSECTEUR|3\nSOUSSECTEUR|6\n");
    EXPECT_EQ(Kelmor({Path("g1.sqlite"), "read", "DROITS", "CHEF"}).out,
              "{\"file\":\"DROITS\",\"key\":\"CHEF\",\"attributes\":[[\"SECTEUR\","
              "\"CENTREMEDICAL\"],[\"2\",\"2\"]]}\n");
    EXPECT_EQ(Kelmor({Path("g1.sqlite"), "read", "COMPTEUR", "999"}).code, 0);
    const std::string antennas =
        Kelmor({Path("g1.sqlite"), "query", "SSELECT ANTENNEMEDICALE"}).out;
    std::istringstream links(Kelmor({Path("g1.sqlite"), "query", "SSELECT QUARTIER", "2"}).out);
    for (std::string row; std::getline(links, row);) {
        EXPECT_NE(antennas.find("[\"" + row.substr(2, 6) + "\"]"), std::string::npos) << row;
    }
    EXPECT_FALSE(fs::exists(Path("g1.sqlite.generating")));

    // The lists the editor counts are counted from kept counts, equal to the
    // records there; count-prefix adds a length to those.
    for (const std::string& location : {Path("g1.sqlite"), server.Location()}) {
        SCOPED_TRACE(location);
        const Result added = Kelmor({location, "count-prefix", "QUARTIER", "7"});
        ASSERT_EQ(added.code, 0) << added.err;
        EXPECT_EQ(added.out, "counted key prefixes of QUARTIER: 3 5 7 characters\n");
        EXPECT_EQ(Kelmor({location, "count-prefix", "QUARTIER", "5"}).out, added.out);
        const auto db = kelmor::Database::Open(location, kelmor::OpenMode::ReadOnly);
        EXPECT_EQ(db->backend().CountedKeyPrefixes("SOUSSECTEUR"), std::vector<int>{3});
        // clang-format off
        const std::vector<std::tuple<const char*, const char*, int>> counts = {
            {"SOUSSECTEUR", "002", 2}, {"QUARTIER", "003", 8}, {"QUARTIER", "00302", 4},
            {"QUARTIER", "0030204", 1}, {"QUARTIER", "004", 0}};
        // clang-format on
        for (const auto& [file, prefix, records] : counts) {
            EXPECT_EQ(db->backend().Count(file, {kelmor::KeySelection::Kind::Prefix, prefix}),
                      records)
                << file << " " << prefix;
        }
    }
}

}  // namespace
