#include "services/droits.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "kelmor/database.h"

namespace {

using services::DroitsUtilisateur;
using services::RightsError;

// A database file of its own in a fresh temporary directory.
class TempDatabase {
public:
    TempDatabase() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               ("zonitra-droits-" + std::string(info->name()) + "-" + std::to_string(::getpid()) +
                "-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        db_ = kelmor::Database::OpenSqlite((dir_ / "rights.sqlite").string());
    }
    ~TempDatabase() {
        db_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    kelmor::Database& db() { return *db_; }

    void Put(const std::string& user, const std::vector<std::string>& modules,
             const std::vector<std::string>& levels) {
        db_->CreateFile("DROITS");
        kelmor::DbRecord record = db_->OpenFile("DROITS").NewRecord(user);
        record.SetValues(1, modules);
        record.SetValues(2, levels);
        record.DBWrite();
    }

private:
    std::filesystem::path dir_;
    std::shared_ptr<kelmor::Database> db_;
};

struct RightsCase {
    const char* user;
    const char* module;
    std::int32_t level;
};

class ModuleRightsTest : public ::testing::TestWithParam<RightsCase> {
protected:
    void SetUp() override {
        database_.Put("MARTIN", {"SECTEUR", "AIDE", "AIDANT"}, {"2", "1", "0"});
        database_.Put("DURAND", {"SECTEUR", "AIDE"}, {"1", "2"});
        // Fewer levels than modules: the last module has none.
        database_.Put("PETIT", {"AIDE", "SECTEUR"}, {"2"});
        database_.Put("LEROY", {"SECTEUR", "SECTEUR"}, {"1", "2"});
        database_.Put("ROUX", {"SECTEUR", "AIDE"}, {"-1", "2147483647"});
    }
    TempDatabase database_;
};

TEST_P(ModuleRightsTest, GivesTheStoredLevelOrZero) {
    const RightsCase& c = GetParam();
    const DroitsUtilisateur rights(database_.db(), c.user);
    const services::ModuleAccess access = rights.ModuleRights(c.module);
    EXPECT_EQ(access.AccessLevel(), c.level);
    EXPECT_EQ(access.Module(), c.module);
}

INSTANTIATE_TEST_SUITE_P(
    Users, ModuleRightsTest,
    ::testing::Values(RightsCase{"MARTIN", "SECTEUR", 2}, RightsCase{"MARTIN", "AIDE", 1},
                      RightsCase{"MARTIN", "AIDANT", 0}, RightsCase{"DURAND", "SECTEUR", 1},
                      RightsCase{"DURAND", "AIDE", 2},
                      // Unknown module, unknown user, names are case-sensitive.
                      RightsCase{"DURAND", "AIDANT", 0}, RightsCase{"MARTIN", "secteur", 0},
                      RightsCase{"INCONNU", "SECTEUR", 0}, RightsCase{"martin", "SECTEUR", 0},
                      RightsCase{"PETIT", "AIDE", 2}, RightsCase{"PETIT", "SECTEUR", 0},
                      RightsCase{"LEROY", "SECTEUR", 1}, RightsCase{"ROUX", "SECTEUR", -1},
                      RightsCase{"ROUX", "AIDE", 2147483647}));

TEST(DroitsUtilisateurTest, MissingRightsFileIsAnErrorNamingIt) {
    TempDatabase database;
    try {
        DroitsUtilisateur rights(database.db(), "MARTIN");
        FAIL() << "a database without DROITS gave rights";
    } catch (const kelmor::Error& e) {
        EXPECT_EQ(e.number(), kelmor::kNoSuchFile);
        EXPECT_NE(std::string(e.what()).find("DROITS"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("MARTIN"), std::string::npos) << e.what();
    }
}

TEST(DroitsUtilisateurTest, EmptyRightsFileGivesZero) {
    TempDatabase database;
    database.db().CreateFile("DROITS");
    EXPECT_EQ(DroitsUtilisateur(database.db(), "MARTIN").ModuleRights("SECTEUR").AccessLevel(), 0);
}

class BadLevelTest : public ::testing::TestWithParam<const char*> {};

TEST_P(BadLevelTest, IsAnErrorNamingUserModuleAndText) {
    TempDatabase database;
    database.Put("MARTIN", {"AIDE", "SECTEUR"}, {"2", GetParam()});
    const DroitsUtilisateur rights(database.db(), "MARTIN");
    EXPECT_EQ(rights.ModuleRights("AIDE").AccessLevel(), 2) << "other modules stay readable";
    try {
        rights.ModuleRights("SECTEUR");
        FAIL() << "level \"" << GetParam() << "\" accepted";
    } catch (const RightsError& e) {
        const std::string message = e.what();
        for (const std::string& part : {std::string("MARTIN"), std::string("SECTEUR"),
                                        "\"" + std::string(GetParam()) + "\""}) {
            EXPECT_NE(message.find(part), std::string::npos) << message;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(NotWholeNumbers, BadLevelTest,
                         ::testing::Values("DEUX", "2 ", " 2", "2.0", "+2", "2147483648", "0x2"));

// The rights are read once: the object keeps what DROITS held when it was made.
TEST(DroitsUtilisateurTest, ReadsTheRightsWhenConstructed) {
    TempDatabase database;
    database.Put("MARTIN", {"SECTEUR"}, {"2"});
    const DroitsUtilisateur before(database.db(), "MARTIN");
    database.Put("MARTIN", {"SECTEUR"}, {"1"});
    EXPECT_EQ(before.ModuleRights("SECTEUR").AccessLevel(), 2);
    EXPECT_EQ(DroitsUtilisateur(database.db(), "MARTIN").ModuleRights("SECTEUR").AccessLevel(), 1);
}

}  // namespace
