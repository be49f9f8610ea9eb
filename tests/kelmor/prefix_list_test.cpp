// Lists of the keys starting with a prefix, by label: read in key order with
// their stored sort keys, then sorted on them; the collator's own sort of the
// same rows is the reference, on both backends. The walk of the keys alone
// (a creation's probe) gives the same keys, in byte order.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "kelmor/backend.h"
#include "test_database.h"
#include "test_support.h"

namespace kelmor {
namespace {

// French order differs from byte order (accents, case, ligatures), equal
// labels (ties by key), empty ones, several values and sub-values.
// clang-format off
const std::vector<std::string> kLabels = {
    "école", "ECOLE", "Ecole", "éclair", "Zèbre", "zebre", "Œuf", "oeuf", "", "côte", "cote",
    std::string("A") + kValueMark + "B", "A", std::string("A") + kSubValueMark + "C"};
// clang-format on

class PrefixList : public testing::TestWithParam<test::BackendKind> {
protected:
    void Store(const std::vector<std::string>& keys) {
        db_->CreateFile("F");
        for (std::size_t i = 0; i < keys.size(); ++i)
            db_->backend().Write("F", keys[i],
                                 kLabels[(i * 5) % kLabels.size()] + kAttributeMark + "x");
    }
    std::vector<std::string> Rows(const std::string& query) {
        const ResultList list = test::Select(*db_, query, "", "0 1");
        std::vector<std::string> rows;
        for (int r = 1; r <= list.DCount(); ++r) rows.push_back(list.Get(r));
        return rows;
    }

    test::TestDatabase base_{GetParam()};
    std::shared_ptr<Database> db_ = base_.Open();
};

TEST_P(PrefixList, HoldsExactlyThePrefixedKeysInTheCollatorsOrder) {
    std::vector<std::string> keys;
    // 007 holds more rows than a page; its neighbours and the key 007 itself
    // lie on the edges of the range, 00é and 00ê end in a two-byte character.
    for (int i = 0; i < 300; ++i) keys.push_back("007" + std::to_string(1000 + (i * 37) % 300));
    for (const char* k : {"007", "006", "0069", "006\xC3\xBF", "008", "0080", "00", "00é", "00é1",
                          "00ê", "00ê1", "00è9", "1"})
        keys.emplace_back(k);
    Store(keys);

    for (const std::string prefix : {"007", "006", "00é", "00ê", "0", "00", "0079", "009"}) {
        SCOPED_TRACE(prefix);
        const std::vector<std::string> listed = Rows("SSELECT F = '" + prefix + "]' PAR 1");
        // Two sort attributes take the collator's in-memory sort.
        EXPECT_EQ(listed, Rows("SSELECT F = '" + prefix + "]' PAR 1 PAR 1"));
        std::vector<std::string> expected;
        for (const std::string& k : keys)
            if (k.rfind(prefix, 0) == 0) expected.push_back(k);
        std::vector<std::string> got;
        for (const std::string& row : listed)
            got.push_back(row.substr(0, row.find(kAttributeMark)));
        std::sort(expected.begin(), expected.end());
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, expected);
        std::vector<std::string> walked;
        db_->backend().ScanKeys("F", {KeySelection::Kind::Prefix, prefix},
                                [&](std::string_view key) { walked.emplace_back(key); });
        EXPECT_EQ(walked, expected) << "the keys alone";
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, PrefixList, test::AllBackends(), test::BackendParamName());

}  // namespace
}  // namespace kelmor
