// Runs the built kelmor program and checks its output and exit codes.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

std::string Quoted(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Each test gets its own directory for databases and captured output.
class KelmorCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zonitra-kelmor-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                std::to_string(::getpid()) + "-" +
                std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    fs::path Path(const std::string& name) const { return dir_ / name; }

    Result Kelmor(const std::vector<std::string>& args) const {
        std::string command = Quoted(KELMOR_PROGRAM);
        for (const std::string& arg : args) command += " " + Quoted(arg);
        command += " >" + Quoted(Path("out").string()) + " 2>" + Quoted(Path("err").string());
        const int status = std::system(command.c_str());
        Result result;
        result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = ReadAll(Path("out"));
        result.err = ReadAll(Path("err"));
        return result;
    }

    fs::path Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
        return Path(name);
    }

    // Loads the demo database into `db` and checks that it worked.
    std::string Demo(const std::string& db = "demo.sqlite") const {
        const Result load = Kelmor({Path(db).string(), "load", DEMO_JSONL});
        EXPECT_EQ(load.code, 0) << load.err;
        return Path(db).string();
    }

    fs::path dir_;
};

TEST_F(KelmorCliTest, DemoDumpIsTheDemoFileAndDumpsAgainIdentically) {
    const std::string db = Demo();
    const Result first = Kelmor({db, "dump"});
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(first.out, ReadAll(DEMO_JSONL)) << "the demo file is kept in dump order";

    const fs::path dumped = Write("dump.jsonl", first.out);
    ASSERT_EQ(Kelmor({Path("again.sqlite").string(), "load", dumped.string()}).code, 0);
    const Result second = Kelmor({Path("again.sqlite").string(), "dump"});
    EXPECT_EQ(second.code, 0);
    EXPECT_EQ(second.out, first.out);
}

// Any accepted spelling becomes the simplest form, sorted by file then key;
// dumping what was dumped changes nothing.
TEST_F(KelmorCliTest, LoadDumpLoadDumpIsStable) {
    const fs::path input =
        Write("in.jsonl", R"({"file":"SOUSSECTEUR","key":"00102","attributes":[["B"]]})"
                          "\n\n"
                          R"({"key":"002","file":"SECTEUR","attributes":["ZOÉ",[],"",[]]})"
                          "\r\n"
                          R"({"file":"SECTEUR","key":"001","attributes":["x",[["a"],"b"]]})"
                          "\n"
                          R"({"file":"SOUSSECTEUR","key":"00101","attributes":["A"]})"
                          "\n"
                          R"({"file":"SECTEUR","key":"001","attributes":["NOËL",[["þ","ÿ"],"b"]]})"
                          "\n"
                          R"({"file":"COMPTEUR","key":"999"})");
    const Result load = Kelmor({Path("a.sqlite").string(), "load", input.string()});
    ASSERT_EQ(load.code, 0) << load.err;
    EXPECT_EQ(load.out, "6 records loaded into 3 files\n");

    const Result first = Kelmor({Path("a.sqlite").string(), "dump"});
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(first.out, R"({"file":"COMPTEUR","key":"999","attributes":[]})"
                         "\n"
                         R"({"file":"SECTEUR","key":"001","attributes":["NOËL",[["þ","ÿ"],"b"]]})"
                         "\n"
                         R"({"file":"SECTEUR","key":"002","attributes":["ZOÉ"]})"
                         "\n"
                         R"({"file":"SOUSSECTEUR","key":"00101","attributes":["A"]})"
                         "\n"
                         R"({"file":"SOUSSECTEUR","key":"00102","attributes":["B"]})"
                         "\n");

    const fs::path dumped = Write("dump.jsonl", first.out);
    ASSERT_EQ(Kelmor({Path("b.sqlite").string(), "load", dumped.string()}).code, 0);
    EXPECT_EQ(Kelmor({Path("b.sqlite").string(), "dump"}).out, first.out);
}

TEST_F(KelmorCliTest, DumpOfChosenFilesGoesByFileName) {
    const std::string db = Demo();
    const Result dump = Kelmor({db, "dump", "DROITS", "ASSOCIATION"});
    ASSERT_EQ(dump.code, 0) << dump.err;
    const std::vector<std::string> lines = Lines(dump.out);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(
        lines.front(),
        R"({"file":"ASSOCIATION","key":"001","attributes":["AIDE À DOMICILE DU PAYS LYONNAIS"]})");
    EXPECT_EQ(
        lines.back(),
        R"({"file":"DROITS","key":"MARTIN","attributes":[["SECTEUR","AIDE","AIDANT","ASSOCIATION","CENTREMEDICAL"],["2","2","2","2","2"]]})");
}

TEST_F(KelmorCliTest, ReadPrintsOneLine) {
    const std::string db = Demo();
    const Result read = Kelmor({db, "read", "QUARTIER", "0020101"});
    EXPECT_EQ(read.code, 0) << read.err;
    EXPECT_EQ(read.out,
              R"({"file":"QUARTIER","key":"0020101","attributes":["GROS CAILLOU","002001"]})"
              "\n");
}

struct QueryCase {
    std::string query;
    std::string columns;
    std::vector<std::string> rows;
};

class KelmorQueryTest : public KelmorCliTest, public ::testing::WithParamInterface<QueryCase> {};

TEST_P(KelmorQueryTest, PrintsOneArrayPerRow) {
    const std::string db = Demo();
    std::vector<std::string> args = {db, "query", GetParam().query};
    if (!GetParam().columns.empty()) args.push_back(GetParam().columns);
    const Result query = Kelmor(args);
    ASSERT_EQ(query.code, 0) << query.err;
    EXPECT_EQ(Lines(query.out), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Demo, KelmorQueryTest,
    ::testing::Values(
        // Accented labels sort with their base letter.
        QueryCase{"SSELECT SECTEUR PAR 1",
                  "0 1",
                  {R"(["006","AJACCIO"])", R"(["007","BASTIA"])", R"(["012","BOURG-EN-BRESSE"])",
                   R"(["002","CROIX-ROUSSE"])", R"(["008","ÉCULLY"])",
                   R"(["003","ÉTANG DE BERRE"])", R"(["004","ETOILE-SUR-RHÔNE"])",
                   R"(["011","GRENOBLE"])", R"(["013","ÎLE BARBE"])", R"(["001","LYON CENTRE"])",
                   R"(["009","SAINT-ÉTIENNE"])", R"(["005","ZOLA - VILLEURBANNE"])"}},
        QueryCase{"SSELECT SOUSSECTEUR = '001]' PAR 1",
                  "0 1",
                  {R"(["00104","AINAY"])", R"(["00101","BELLECOUR"])", R"(["00105","CÉLESTINS"])",
                   R"(["00103","PERRACHE"])", R"(["00102","TERREAUX"])"}},
        QueryCase{"SSELECT QUARTIER = '00201]' PAR 1", "0 1", {R"(["0020101","GROS CAILLOU"])"}},
        QueryCase{"SSELECT SOUSSECTEUR = '012]' PAR 1", "0 1", {}},
        QueryCase{"SSELECT ANTENNEMEDICALE = '006]' PAR 1", "0 1", {}},
        QueryCase{"SSELECT ANTENNEMEDICALE = '002]' PAR 1", "1", {R"(["PLATEAU"])"}},
        QueryCase{
            "SSELECT ASSOCIATION",
            "",
            {R"(["001"])", R"(["002"])", R"(["003"])", R"(["004"])", R"(["005"])", R"(["006"])"}},
        // A multi-valued column keeps its values apart.
        QueryCase{
            "SSELECT SECTEUR = '001'", "0 17 18", {R"(["001",["001","004"],["18874","19531"]])"}}));

struct FailureCase {
    std::vector<std::string> args;  // "DB" stands for a loaded demo database
    int code;
    std::string message;  // part of stderr
};

class KelmorFailureTest : public KelmorCliTest,
                          public ::testing::WithParamInterface<FailureCase> {};

TEST_P(KelmorFailureTest, ExitsWithItsCodeAndSaysWhy) {
    std::vector<std::string> args = GetParam().args;
    for (std::string& arg : args) {
        if (arg == "DB") arg = Demo();
        if (arg == "MISSING") arg = Path("missing.sqlite").string();
    }
    const Result result = Kelmor(args);
    EXPECT_EQ(result.code, GetParam().code) << result.err;
    EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(fs::exists(Path("missing.sqlite"))) << "a read must not create a database";
}

INSTANTIATE_TEST_SUITE_P(
    Errors, KelmorFailureTest,
    ::testing::Values(FailureCase{{}, 2, "usage: kelmor DB COMMAND"},
                      FailureCase{{"DB"}, 2, "usage:"},
                      FailureCase{{"DB", "drop"}, 2, "unknown command \"drop\""},
                      FailureCase{{"DB", "read", "SECTEUR"}, 2, "wrong number of arguments"},
                      FailureCase{{"DB", "load"}, 2, "wrong number of arguments"},
                      FailureCase{{"DB", "create"}, 2, "wrong number of arguments"},
                      FailureCase{{"DB", "read", "SECTEUR", "010"}, 3, "010"},
                      FailureCase{{"DB", "read", "SECTEURS", "001"}, 4, "SECTEURS"},
                      FailureCase{{"DB", "dump", "SECTEUR", "AIDE"}, 4, "AIDE"},
                      FailureCase{{"DB", "query", "SSELECT AIDE"}, 4, "AIDE"},
                      FailureCase{{"DB", "query", "SSELECT SECTEUR PAR"}, 5, "PAR"},
                      FailureCase{{"DB", "query", "SSELECT SECTEUR", "0 X"}, 5, "X"},
                      FailureCase{{"DB", "create", "MON FICHIER"}, 5, "MON FICHIER"},
                      FailureCase{{"MISSING", "dump"}, 6, "missing.sqlite"},
                      FailureCase{{"MISSING", "read", "SECTEUR", "001"}, 6, "missing.sqlite"},
                      FailureCase{{"MISSING", "query", "SSELECT SECTEUR"}, 6, "missing.sqlite"}));

TEST_F(KelmorCliTest, MalformedLinesAreNamedAndNothingIsStored) {
    const fs::path input =
        Write("bad.jsonl", R"({"file":"SECTEUR","key":"001","attributes":["NORD"]})"
                           "\n"
                           R"({"file":"SECTEUR","key":"002","attributes":["SUD",7]})"
                           "\n"
                           R"({"file":"SECTEUR","key":"003")"
                           "\n");
    const std::string db = Path("bad.sqlite").string();
    const Result load = Kelmor({db, "load", input.string()});
    EXPECT_EQ(load.code, 5);
    EXPECT_NE(load.err.find("bad.jsonl:2: attribute 2"), std::string::npos) << load.err;
    EXPECT_NE(load.err.find("bad.jsonl:3: not valid JSON"), std::string::npos) << load.err;
    EXPECT_EQ(load.err.find("bad.jsonl:1:"), std::string::npos) << load.err;
    EXPECT_EQ(Kelmor({db, "create", "SECTEUR"}).code, 0);
    EXPECT_EQ(Kelmor({db, "dump"}).out, "") << "the good first line was not stored either";
}

TEST_F(KelmorCliTest, MissingInputFileIsNamed) {
    const Result load = Kelmor({Path("x.sqlite").string(), "load", Path("none.jsonl").string()});
    EXPECT_EQ(load.code, 7);
    EXPECT_NE(load.err.find("none.jsonl"), std::string::npos) << load.err;
}

TEST_F(KelmorCliTest, CreateMakesEmptyFilesAndKeepsExistingOnes) {
    const std::string db = Demo();
    ASSERT_EQ(Kelmor({db, "create", "AIDE", "ASSOCIATION"}).code, 0);
    const Result empty = Kelmor({db, "dump", "AIDE"});
    EXPECT_EQ(empty.code, 0) << empty.err;
    EXPECT_EQ(empty.out, "");
    EXPECT_EQ(Lines(Kelmor({db, "dump", "ASSOCIATION"}).out).size(), 6u);
}

TEST_F(KelmorCliTest, HelpGoesToStandardOutput) {
    const Result help = Kelmor({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("exit codes"), std::string::npos);
    EXPECT_EQ(help.err, "");
}

}  // namespace
