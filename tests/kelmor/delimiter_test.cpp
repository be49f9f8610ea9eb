// Text never mixes with the marks: what an operator can type round-trips, and
// a mark or invalid UTF-8 inside a value is refused before anything is stored.

#include <gtest/gtest.h>

#include "kelmor/backend.h"
#include "kelmor/database.h"
#include "test_database.h"
#include "test_support.h"

namespace kelmor {
namespace {

struct TypedText {
    const char* name;  // for the test's name
    const char* text;
};

class DelimiterSafety : public testing::TestWithParam<std::tuple<test::BackendKind, TypedText>> {
protected:
    void SetUp() override { db_->CreateFile("SECTEUR"); }
    DbFile File() const { return db_->OpenFile("SECTEUR"); }
    test::TestDatabase base_{std::get<0>(GetParam())};
    std::shared_ptr<Database> db_ = base_.Open();
};

TEST_P(DelimiterSafety, TypedTextRoundTripsAsValueKeyAndPrefix) {
    const std::string text = std::get<1>(GetParam()).text;
    DbRecord record = File().NewRecord(text + "01");
    record.Set(1, text);
    record.Set(2, 2, 2, text);
    record.DBWrite();
    File().NewRecord("ZZZ").DBWrite();

    const DbRecord read = File().ReadRecord(text + "01");
    EXPECT_EQ(read.Get(1), text);
    EXPECT_EQ(read.Get(2, 2, 2), text);
    EXPECT_EQ(read.DCount(2), 2);
    const ResultList list = test::Select(*db_, "SSELECT SECTEUR = '" + text + "]'", "", "0 1");
    ASSERT_EQ(list.DCount(), 1);
    EXPECT_EQ(list.Get(1, 1), text + "01");
    EXPECT_EQ(list.Get(1, 2), text);
}

// clang-format off
const TypedText kTyped[] = {
    {"Diaeresis", "NOËL"}, {"Umlaut", "MÜLLER"}, {"Acute", "SAINT-ÉTIENNE"},
    {"YDiaeresis", "ÿ"}, {"Thorn", "þ"}, {"MarkLookalikes", "ÿþýü"},
    {"Apostrophe", "L'HAŸ-LES-ROSES"}, {"Ligature", "ŒUVRE"}, {"Accents", "À ÂÇÈÉÊËÎÏÔÙÛ"},
    {"Euro", "5 €"}, {"Emoji", "\xF0\x9F\x98\x80"}};
// clang-format on

INSTANTIATE_TEST_SUITE_P(French, DelimiterSafety,
                         testing::Combine(test::AllBackends(), testing::ValuesIn(kTyped)),
                         [](const testing::TestParamInfo<DelimiterSafety::ParamType>& info) {
                             return test::BackendName(std::get<0>(info.param)) + "_" +
                                    std::get<1>(info.param).name;
                         });

class RejectedText : public testing::TestWithParam<test::BackendKind> {};

TEST_P(RejectedText, IsRefusedNamingTheProblemAndNothingIsStored) {
    const test::TestDatabase base(GetParam());
    auto db = base.Open();
    db->CreateFile("SECTEUR");
    const DbFile file = db->OpenFile("SECTEUR");
    DbRecord record = file.NewRecord("001");
    record.Set(1, "CENTRE");
    record.DBWrite();
    // clang-format off
    const std::vector<std::pair<std::string, const char*>> bad = {
        {"A\xFE-Z", "attribute mark (byte 0xFE)"}, {"\xFD", "value mark (byte 0xFD)"},
        {"AB\xFC", "sub-value mark (byte 0xFC)"},   {"NO\xC3", "invalid UTF-8"},
        {"\xED\xA0\x80", "invalid UTF-8"},          {"\xC0\xAF", "invalid UTF-8"},
        {"NO\xCBL", "invalid UTF-8"},               {std::string("A\0B", 3), "NUL"}};
    // clang-format on
    for (const auto& [text, problem] : bad) {
        test::ExpectError([&] { record.Set(1, text); }, kBadValue, problem);
        test::ExpectError([&] { record.Set(2, 1, 2, "x" + text); }, kBadValue, problem);
        test::ExpectError([&] { record.SetValues(3, {"ok", text}); }, kBadValue, problem);
        test::ExpectError([&] { (void)file.NewRecord(text); }, kBadValue, problem);
    }
    test::ExpectError([&] { record.SetText("NO\xCBL"); }, kBadValue, "invalid UTF-8");
    // The backends check too, for callers that bypass the records.
    Backend& backend = db->backend();
    test::ExpectError([&] { backend.Write("SECTEUR", "001", "NO\xC3"); }, kBadValue, "001");
    test::ExpectError([&] { (void)backend.Insert("SECTEUR", "002", "\xC0\xAF"); }, kBadValue,
                      "002");
    const Backend::Updater invalid = [](const auto&) { return std::string("\xFF"); };
    test::ExpectError([&] { (void)backend.Update("SECTEUR", "003", invalid); }, kBadValue, "003");
    EXPECT_FALSE(backend.InTransaction());
    EXPECT_EQ(test::Select(*db, "SSELECT SECTEUR", "", "0").DCount(), 1);
    record.DBWrite();
    EXPECT_EQ(file.ReadRecord("001").Text(), "CENTRE");
}

INSTANTIATE_TEST_SUITE_P(Backends, RejectedText, test::AllBackends(), test::BackendParamName());

}  // namespace
}  // namespace kelmor
