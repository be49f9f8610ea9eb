// The demo database must hold what the editor relies on: every link resolves,
// dates are stored dates, and the users and counter record exist.

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>

#include "kelmor/database.h"
#include "services/date_service.h"
#include "services/droits.h"
#include "services/jsonl.h"

namespace {

namespace fs = std::filesystem;

class DemoDataTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new fs::path(fs::temp_directory_path() /
                            ("zonitra-demo-data-" + std::to_string(::getpid())));
        fs::remove_all(*dir_);
        fs::create_directories(*dir_);
        db_ = new std::shared_ptr<kelmor::Database>(
            kelmor::Database::OpenSqlite((*dir_ / "demo.sqlite").string()));
        std::ifstream in(DEMO_JSONL);
        ASSERT_TRUE(in) << DEMO_JSONL;
        for (std::string line; std::getline(in, line);) {
            const services::jsonl::Record record = services::jsonl::FromLine(line);
            (*db_)->CreateFile(record.file);
            kelmor::DbRecord stored = (*db_)->OpenFile(record.file).NewRecord(record.key);
            stored.SetText(record.data.Text());
            stored.DBWrite();
        }
    }
    static void TearDownTestSuite() {
        delete db_;
        std::error_code ignored;
        fs::remove_all(*dir_, ignored);
        delete dir_;
    }

    static kelmor::Database& Db() { return **db_; }

    static std::vector<std::string> Keys(const std::string& file) {
        std::int32_t count = 0;
        kelmor::DynArray request;
        request.Set(1, "SSELECT " + file);
        const kelmor::ResultList rows = Db().Query(request.Text(), "", count);
        std::vector<std::string> keys;
        for (const auto& row : rows.Rows()) keys.push_back(row[0]);
        return keys;
    }

    static bool Exists(const std::string& file, const std::string& key) {
        return Db().OpenFile(file).TryReadRecord(key).record.has_value();
    }

    static inline fs::path* dir_ = nullptr;
    static inline std::shared_ptr<kelmor::Database>* db_ = nullptr;
};

TEST_F(DemoDataTest, HoldsEveryFileTheEditorOpens) {
    for (const char* file : {"SECTEUR", "SOUSSECTEUR", "QUARTIER", "CENTREMEDICAL",
                             "ANTENNEMEDICALE", "ASSOCIATION", "COMPTEUR", "DROITS"}) {
        EXPECT_FALSE(Keys(file).empty()) << file;
    }
    EXPECT_TRUE(Exists("COMPTEUR", "999"));
}

TEST_F(DemoDataTest, KeysNestAndLinksResolve) {
    for (const std::string& key : Keys("SOUSSECTEUR")) {
        EXPECT_EQ(key.size(), 5u) << key;
        EXPECT_TRUE(Exists("SECTEUR", key.substr(0, 3))) << key;
    }
    for (const std::string& key : Keys("QUARTIER")) {
        EXPECT_EQ(key.size(), 7u) << key;
        EXPECT_TRUE(Exists("SOUSSECTEUR", key.substr(0, 5))) << key;
        const std::string link = Db().OpenFile("QUARTIER").ReadRecord(key).Get(2);
        EXPECT_EQ(link.size(), 6u) << key;
        EXPECT_TRUE(Exists("ANTENNEMEDICALE", link)) << key << " -> " << link;
    }
    for (const std::string& key : Keys("ANTENNEMEDICALE")) {
        EXPECT_TRUE(Exists("CENTREMEDICAL", key.substr(0, 3))) << key;
    }
}

TEST_F(DemoDataTest, SectorFieldsFollowTheirRules) {
    const services::DateService dates;
    const std::set<std::string> corsica = {"2A", "2B"};
    for (const std::string& key : Keys("SECTEUR")) {
        const kelmor::DbRecord sector = Db().OpenFile("SECTEUR").ReadRecord(key);
        EXPECT_EQ(key.size(), 3u);
        EXPECT_EQ(sector.Get(2), "") << key;
        EXPECT_LE(sector.Get(3).size(), 25u) << key;
        EXPECT_LE(sector.Get(20).size(), 20u) << key;
        EXPECT_NO_THROW(dates.DateToDisplay(sector.Get(4))) << key;
        const std::string dep = sector.Get(21);
        const bool numeric = dep.size() == 2 && dep >= "01" && dep <= "99" &&
                             dep.find_first_not_of("0123456789") == std::string::npos;
        EXPECT_TRUE(numeric || corsica.count(dep)) << key << " " << dep;
        const int approvals = sector.DCount(17);
        EXPECT_EQ(sector.DCount(18), approvals) << key;
        EXPECT_EQ(sector.DCount(19), approvals) << key;
        for (int i = 1; i <= approvals; ++i) {
            EXPECT_TRUE(Exists("ASSOCIATION", sector.Get(17, i))) << key;
            EXPECT_NE(dates.DateToDisplay(sector.Get(18, i)), "") << key;
            EXPECT_LE(sector.Get(19, i).size(), 12u) << key;
        }
        for (int path : {22, 23}) {
            const std::string folder = sector.Get(path);
            EXPECT_TRUE(folder.empty() || folder.back() == '\\') << key << " " << folder;
        }
    }
}

TEST_F(DemoDataTest, HasAnEditorAndAReader) {
    EXPECT_EQ(services::DroitsUtilisateur(Db(), "MARTIN").ModuleRights("SECTEUR").AccessLevel(), 2);
    EXPECT_EQ(services::DroitsUtilisateur(Db(), "DURAND").ModuleRights("SECTEUR").AccessLevel(), 1);
}

}  // namespace
