// A real restart of the test server: every workstation's connection is cut
// at once. Run alone (RUN_SERIAL), since it cuts every other test's too.

#include <gtest/gtest.h>
#include <stdlib.h>

#include "kelmor/database.h"
#include "test_database.h"
#include "test_support.h"

namespace kelmor {
namespace {

TEST(ServerRestart, TheFirstCallSaysTheConnectionWasLostAndTheNextFindsEverything) {
    const char* restart = getenv("ZONITRA_TEST_PG_RESTART");
    ASSERT_NE(restart, nullptr) << "run under tools/pg.sh, which says how to restart its server";
    const test::TestDatabase base(test::BackendKind::Postgres);
    auto db = base.Open();
    test::Fill(*db, {"SECTEUR;001;1=NORD"});
    const DbFile file = db->OpenFile("SECTEUR");

    ASSERT_EQ(std::system(restart), 0);
    const ReadResult first = file.TryReadRecord("001");
    EXPECT_EQ(first.error, kConnectionLost) << first.message;
    EXPECT_NE(first.message.find("the next call connects again"), std::string::npos);
    DbRecord record = file.ReadRecord("001");
    EXPECT_EQ(record.Get(1), "NORD");
    record.Set(1, "NORD APRÈS");
    record.DBWrite();
    EXPECT_EQ(base.Open(OpenMode::MustExist)->OpenFile("SECTEUR").ReadRecord("001").Get(1),
              "NORD APRÈS");
}

}  // namespace
}  // namespace kelmor
