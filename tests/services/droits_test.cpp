// Rights read from DROITS: parallel modules and levels, 0 for anything unknown.

#include "services/droits.h"

#include <gmock/gmock.h>

#include "kelmor/database.h"
#include "test_support.h"

namespace {

using services::DroitsUtilisateur;

class Droits : public ::testing::Test {
protected:
    void Put(const std::string& user, const std::vector<std::string>& modules,
             const std::vector<std::string>& levels) {
        db_->CreateFile("DROITS");
        db_->OpenFile("DROITS").DeleteRecord(user);  // a new record replaces nothing
        kelmor::DbRecord record = db_->OpenFile("DROITS").NewRecord(user);
        record.SetValues(1, modules);
        record.SetValues(2, levels);
        record.DBWrite();
    }
    std::int32_t Level(const char* user, const char* module) {
        return DroitsUtilisateur(*db_, user).ModuleRights(module).AccessLevel();
    }
    kelmor::test::TempDir dir_;
    std::shared_ptr<kelmor::Database> db_ = kelmor::Database::OpenSqlite(dir_.File("r.sqlite"));
};

TEST_F(Droits, GivesTheStoredLevelOrZero) {
    Put("MARTIN", {"SECTEUR", "AIDE", "AIDANT"}, {"2", "1", "0"});
    Put("PETIT", {"AIDE", "SECTEUR"}, {"2"});  // fewer levels than modules
    Put("ROUX", {"SECTEUR"}, {"2147483647"});
    const std::vector<std::tuple<const char*, const char*, std::int32_t>> cases = {
        {"MARTIN", "SECTEUR", 2}, {"MARTIN", "AIDE", 1},    {"MARTIN", "AIDANT", 0},
        {"MARTIN", "AUTRE", 0},   {"MARTIN", "secteur", 0}, {"INCONNU", "SECTEUR", 0},
        {"PETIT", "AIDE", 2},     {"PETIT", "SECTEUR", 0},  {"ROUX", "SECTEUR", 2147483647}};
    for (const auto& [user, module, level] : cases) {
        EXPECT_EQ(Level(user, module), level) << user << " " << module;
        EXPECT_EQ(DroitsUtilisateur(*db_, user).ModuleRights(module).Module(), module);
    }
}

TEST_F(Droits, MissingRightsFileIsAnErrorNamingIt) {
    kelmor::test::ExpectError([&] { DroitsUtilisateur rights(*db_, "MARTIN"); },
                              kelmor::kNoSuchFile, "DROITS");
    db_->CreateFile("DROITS");
    EXPECT_EQ(Level("MARTIN", "SECTEUR"), 0);
}

TEST_F(Droits, ALevelThatIsNotAWholeNumberIsAnErrorNamingIt) {
    for (const char* bad : {"DEUX", " 2", "2.0", "2147483648"}) {
        Put("MARTIN", {"AIDE", "SECTEUR"}, {"2", bad});
        EXPECT_EQ(Level("MARTIN", "AIDE"), 2) << "other modules stay readable";
        EXPECT_THAT(
            [&] { (void)Level("MARTIN", "SECTEUR"); },
            testing::ThrowsMessage<services::RightsError>(testing::AllOf(
                testing::HasSubstr("MARTIN"), testing::HasSubstr("\"" + std::string(bad) + "\""))));
    }
}

}  // namespace
