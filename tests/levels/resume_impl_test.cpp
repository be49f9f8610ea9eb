// Lookups run with errors resumed: the error number a probe sees, and a
// failing step skipped while the next ones run.

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "control/shared_state.h"
#include "kelmor/database.h"
#include "levels/fields.h"
#include "levels/resume.h"

namespace {

using zonitra::levels::kUnspecifiedError;

struct Failure {
    const char* name;
    std::function<void()> raise;
    std::int32_t number;
};

class ErrorNumbers : public ::testing::TestWithParam<Failure> {};

TEST_P(ErrorNumbers, AreThoseOfTheFailure) {
    EXPECT_EQ(zonitra::levels::Resumed("test", GetParam().raise), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ErrorNumbers,
    ::testing::Values(Failure{"completed", [] {}, 0},
                      Failure{"not_found", [] { throw kelmor::NotFoundError("SECTEUR", "042"); },
                              kelmor::kNotFound},
                      Failure{"storage", [] { throw kelmor::Error(kelmor::kStorageError, "disk"); },
                              kelmor::kStorageError},
                      Failure{"logic", [] { throw std::logic_error("no current record"); },
                              kUnspecifiedError},
                      Failure{"not_an_exception", [] { throw 42; }, kUnspecifiedError}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ResumeSteps, AFailingStepIsSkippedAndTheNextOnesRun) {
    std::vector<int> ran;
    zonitra::levels::ResumeSteps("test", {
                                             [&] { ran.push_back(1); },
                                             [&] {
                                                 ran.push_back(2);
                                                 throw kelmor::Error(kelmor::kStorageError, "x");
                                             },
                                             [&] { ran.push_back(3); },
                                             [&] { throw std::runtime_error("y"); },
                                             [&] { ran.push_back(5); },
                                         });
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3, 5}));
}

// The probing read over a real file: found, missing, and the file not open.
class ProbingRead : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = kelmor::Database::OpenSqlite(dir_.filePath("probe.db").toStdString());
        db_->CreateFile("SECTEUR");
        kelmor::DbRecord record = db_->OpenFile("SECTEUR").NewRecord("001");
        record.Set(1, "NORD");
        record.DBWrite();
        file_ = db_->OpenFile("SECTEUR");
        slot_ = db_->OpenFile("SECTEUR").NewRecord("old");  // a previous lookup's record
    }
    std::int32_t Read(const std::string& key) {
        return zonitra::levels::ReadResumed("test", file_, "SECTEUR", key, slot_);
    }

    QTemporaryDir dir_;
    std::shared_ptr<kelmor::Database> db_;
    std::optional<kelmor::DbFile> file_;
    std::optional<kelmor::DbRecord> slot_;
};

TEST_F(ProbingRead, AFoundRecordBecomesTheCurrentOne) {
    EXPECT_EQ(Read("001"), 0);
    ASSERT_TRUE(slot_);
    EXPECT_EQ(slot_->Get(1), "NORD");
}

TEST_F(ProbingRead, AMissingRecordLeavesNone) {
    EXPECT_EQ(Read("002"), kelmor::kNotFound);
    EXPECT_FALSE(slot_);
}

TEST_F(ProbingRead, AFileNotOpenIsAnotherFailure) {
    file_.reset();
    EXPECT_EQ(Read("001"), kUnspecifiedError);
    EXPECT_FALSE(slot_);
}

}  // namespace
