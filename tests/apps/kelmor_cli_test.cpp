// Runs the built kelmor program and checks its output and exit codes.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "test_database.h"

namespace {

namespace fs = std::filesystem;

struct Result {
    int code = -1;
    std::string out, err;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class KelmorCli : public ::testing::Test {
protected:
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    Result Kelmor(const std::vector<std::string>& args) const {
        std::string command = KELMOR_PROGRAM;
        for (std::string arg : args) {
            for (std::size_t q = arg.find('\''); q != std::string::npos; q = arg.find('\'', q + 4))
                arg.replace(q, 1, "'\\''");  // close, escaped quote, reopen
            command += " '" + arg + "'";
        }
        const int status =
            std::system((command + " >" + Path("out") + " 2>" + Path("err")).c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(Path("out")),
                ReadAll(Path("err"))};
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

    std::string dir_ = [] {
        std::string d = (fs::temp_directory_path() / "kelmor-cli-XXXXXX").string();
        return mkdtemp(d.data()) ? d : "";
    }();
};

// The demo file is kept in dump order, so load then dump gives it back byte
// for byte, and loading that dump dumps identically again.
TEST_F(KelmorCli, DemoLoadDumpIsTheIdentity) {
    const Result first = Kelmor({Demo(), "dump"});
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(first.out, ReadAll(DEMO_JSONL));
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
    EXPECT_EQ(load.out, "3 records loaded into 2 files\n");
    EXPECT_EQ(
        Kelmor({Path("a.sqlite"), "dump"}).out,
        "{\"file\":\"COMPTEUR\",\"key\":\"999\",\"attributes\":[]}\n"
        "{\"file\":\"SECTEUR\",\"key\":\"001\",\"attributes\":[\"NOËL\",[[\"þ\",\"ÿ\"],\"b\"]]}\n"
        "{\"file\":\"SECTEUR\",\"key\":\"002\",\"attributes\":[\"ZOÉ\"]}\n");
}

TEST_F(KelmorCli, ReadAndQueryTheDemo) {
    const std::string db = Demo();
    EXPECT_EQ(Kelmor({db, "read", "QUARTIER", "0020101"}).out,
              "{\"file\":\"QUARTIER\",\"key\":\"0020101\",\"attributes\":[\"GROS "
              "CAILLOU\",\"002001\"]}\n");
    // Accented labels sort with their base letter.
    EXPECT_EQ(
        Kelmor({db, "query", "SSELECT SECTEUR PAR 1", "1"}).out,
        "[\"AJACCIO\"]\n[\"BASTIA\"]\n[\"BOURG-EN-BRESSE\"]\n[\"CROIX-ROUSSE\"]\n[\"ÉCULLY\"]\n"
        "[\"ÉTANG DE BERRE\"]\n[\"ETOILE-SUR-RHÔNE\"]\n[\"GRENOBLE\"]\n[\"ÎLE BARBE\"]\n"
        "[\"LYON CENTRE\"]\n[\"SAINT-ÉTIENNE\"]\n[\"ZOLA - VILLEURBANNE\"]\n");
    EXPECT_EQ(Kelmor({db, "query", "SSELECT SOUSSECTEUR = '001]' PAR 1", "0 1"}).out,
              "[\"00104\",\"AINAY\"]\n[\"00101\",\"BELLECOUR\"]\n[\"00105\",\"CÉLESTINS\"]\n"
              "[\"00103\",\"PERRACHE\"]\n[\"00102\",\"TERREAUX\"]\n");
    // A multi-valued column keeps its values apart.
    EXPECT_EQ(Kelmor({db, "query", "SSELECT SECTEUR = '001'", "0 17 18"}).out,
              "[\"001\",[\"001\",\"004\"],[\"18874\",\"19531\"]]\n");
}

TEST_F(KelmorCli, ErrorsExitWithTheirCodeAndSayWhy) {
    const std::string db = Demo(), missing = Path("missing.sqlite");
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
        {{missing, "query", "SSELECT SECTEUR"}, 6, "missing.sqlite"},
        {{db, "load", Path("none.jsonl")}, 7, "none.jsonl"}};
    for (const auto& [args, code, message] : cases) {
        const Result result = Kelmor(args);
        EXPECT_EQ(result.code, code) << message << ": " << result.err;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_FALSE(fs::exists(missing)) << "a read must not create a database";
}

TEST_F(KelmorCli, MalformedLinesAreNamedAndNothingIsStored) {
    const std::string input =
        Write("bad.jsonl",
              "{\"file\":\"SECTEUR\",\"key\":\"001\",\"attributes\":[\"NORD\"]}\n"
              "{\"file\":\"SECTEUR\",\"key\":\"002\",\"attributes\":[\"SUD\",7]}\n"
              "{\"file\":\"SECTEUR\",\"key\":\"003\"\n");
    const Result load = Kelmor({Path("bad.sqlite"), "load", input});
    EXPECT_EQ(load.code, 5);
    EXPECT_NE(load.err.find("bad.jsonl:2: attribute 2"), std::string::npos) << load.err;
    EXPECT_NE(load.err.find("bad.jsonl:3: not valid JSON"), std::string::npos) << load.err;
    EXPECT_EQ(Kelmor({Path("bad.sqlite"), "create", "SECTEUR"}).code, 0);
    EXPECT_EQ(Kelmor({Path("bad.sqlite"), "dump"}).out, "") << "the good first line was not stored";
}

// SQLite to PostgreSQL and back: the same records, the same answers, and a
// copy into a database that holds records is refused without a change.
TEST_F(KelmorCli, CopyBetweenBackendsKeepsEveryRecordAndRefusesATargetInUse) {
    const kelmor::test::TestDatabase server(kelmor::test::BackendKind::Postgres);
    const std::string pg = server.Location(), demo = Demo(), back = Path("back.sqlite");
    EXPECT_EQ(Kelmor({pg, "dump"}).code, 6) << "no tables before the copy";

    const Result there = Kelmor({demo, "copy", pg});
    ASSERT_EQ(there.code, 0) << there.err;
    EXPECT_NE(there.out.find("SECTEUR: 12 records, sha256 "), std::string::npos) << there.out;
    EXPECT_NE(there.out.find("120 records copied in 8 files"), std::string::npos) << there.out;
    ASSERT_EQ(Kelmor({pg, "copy", back}).code, 0);
    EXPECT_EQ(Kelmor({back, "dump"}).out, ReadAll(DEMO_JSONL));
    for (const char* query : {"SSELECT SECTEUR PAR 1", "SSELECT SOUSSECTEUR = '001]' PAR 1"}) {
        EXPECT_EQ(Kelmor({pg, "query", query, "0 1"}).out,
                  Kelmor({demo, "query", query, "0 1"}).out);
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
    EXPECT_EQ(Kelmor({pg, "dump"}).out, ReadAll(DEMO_JSONL));
    EXPECT_EQ(Kelmor({demo, "copy", demo}).code, 8);
}

}  // namespace
