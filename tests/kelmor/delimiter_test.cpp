// Text never mixes with the marks: what an operator can type round-trips, and
// a mark or invalid UTF-8 inside a value is refused before anything is stored.

#include <gtest/gtest.h>

#include "kelmor/database.h"
#include "test_support.h"

namespace kelmor {
namespace {

struct Typed {
    const char* name;
    const char* text;
};

class DelimiterSafety : public testing::TestWithParam<Typed> {
protected:
    void SetUp() override { db_->CreateFile("SECTEUR"); }
    DbFile File() const { return db_->OpenFile("SECTEUR"); }
    test::TempDir dir_;
    std::shared_ptr<Database> db_ = Database::OpenSqlite(dir_.File("d.db"));
};

TEST_P(DelimiterSafety, TypedTextRoundTripsAsValueKeyAndPrefix) {
    const std::string text = GetParam().text;
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

// The bytes of ÿ, þ, ý and ü (C3 BF, C3 BE, C3 BD, C3 BC) end like the marks.
INSTANTIATE_TEST_SUITE_P(
    French, DelimiterSafety,
    testing::Values(Typed{"Diaeresis", "NOËL"}, Typed{"Umlaut", "MÜLLER"},
                    Typed{"AcuteAndHyphen", "SAINT-ÉTIENNE"}, Typed{"SmallYDiaeresis", "ÿ"},
                    Typed{"Thorn", "þ"}, Typed{"FourMarkLookalikes", "ÿþýü"},
                    Typed{"CapitalYDiaeresis", "L'HAŸ-LES-ROSES"}, Typed{"Ligature", "ŒUVRE"},
                    Typed{"AccentedCapitals", "À ÂÇÈÉÊËÎÏÔÙÛ"}, Typed{"Euro", "5 €"},
                    Typed{"FourByteCharacter", "\xF0\x9F\x98\x80"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RejectedText, IsRefusedNamingTheProblemAndNothingIsStored) {
    test::TempDir dir;
    auto db = Database::OpenSqlite(dir.File("r.db"));
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
    record.DBWrite();
    EXPECT_EQ(file.ReadRecord("001").Text(), "CENTRE");
}

}  // namespace
}  // namespace kelmor
