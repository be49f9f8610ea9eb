// What the operator sees and what is stored when a field's write fails (the
// database busy, full, read-only or gone) or meets another workstation's
// change of the same information: a French message, the stored values shown
// again, nothing written over the other change, and a retry that writes.

#include <QString>

#include <gtest/gtest.h>

#include <ostream>

#include "forms/msgbox.h"
#include "kelmor/error.h"
#include "session.h"

namespace levels_test {
namespace {

using kelmor::test::BackendKind;

std::string Told(std::int32_t number) {
    return Box(QString::fromUtf8(kelmor::FrenchMessage(number)), forms::vbExclamation);
}

// A field written as it is left, on the fixture's records, and how its write
// is refused: a storage failure, or kConflict for another workstation's
// change of the same attribute. Each field's revert runs once, each kind of
// refusal once on each backend.
struct Refusal {
    const char* name;
    std::int32_t failure;
    BackendKind backend;
    const char* open;
    const char* control;
    std::string typed;
    std::string file, key;
    int attr;
    std::string stored, shown;  // before the edit: as stored, as shown
    std::string other;          // another workstation's value of the attribute
    std::string otherShown;     // and how the field shows it
};

constexpr BackendKind kLite = BackendKind::Sqlite, kPg = BackendKind::Postgres;
// clang-format off
const Refusal kRefusals[] = {
    {"SectorLabelBusy", kelmor::kBusy, kLite, "001", "Cbo_LibSecteur", "NORD EST", "SECTEUR", "001",
     1, "NORD", "NORD", "NORD OUEST", "NORD OUEST"},
    {"ApprovalDiskFull", kelmor::kDiskFull, kPg, "001", "Txt_NoAgrementSect", "AG-9", "SECTEUR",
     "001", 3, "AG-1", "AG-1", "AG-7", "AG-7"},
    {"DateReadOnly", kelmor::kReadOnly, kLite, "001", "Txt_DatAgrementSect", "01/02/2003",
     "SECTEUR", "001", 4, "12125", "12/03/2001", "12126", "13/03/2001"},
    {"CramLost", kelmor::kConnectionLost, kPg, "001", "Txt_NumCRAM", "CR-9", "SECTEUR", "001", 20,
     "CR-1", "CR-1", "CR-7", "CR-7"},
    {"DepartementConflict", kelmor::kConflict, kLite, "001", "Txt_Dep", "33", "SECTEUR", "001", 21,
     "05", "05", "2A", "2A"},
    {"SubSectorLabelBusy", kelmor::kBusy, kPg, "001 02", "Cbo_LibSousSecteur", "HAUT",
     "SOUSSECTEUR", "00102", 1, "ABBAYE", "ABBAYE", "BAS", "BAS"},
    {"NeighbourhoodLabelDiskFull", kelmor::kDiskFull, kLite, "001 02 02", "Cbo_LibQuartier", "PRES",
     "QUARTIER", "0010202", 1, "CLOITRE", "CLOITRE", "PARVIS", "PARVIS"},
    {"RelinkReadOnly", kelmor::kReadOnly, kPg, "001 02 02", "Txt_CodeAntMedQuartier", "004",
     "QUARTIER", "0010202", 2, "012005", "005", "012001", "001"},
    {"RelinkLost", kelmor::kConnectionLost, kLite, "001 02 02", "Txt_CodeAntMedQuartier", "004",
     "QUARTIER", "0010202", 2, "012005", "005", "012001", "001"},
    {"SubSectorLabelConflict", kelmor::kConflict, kPg, "001 02", "Cbo_LibSousSecteur", "HAUT",
     "SOUSSECTEUR", "00102", 1, "ABBAYE", "ABBAYE", "BAS", "BAS"},
};
// clang-format on

void PrintTo(const Refusal& r, std::ostream* out) {
    *out << r.name;
}

class RefusedWrite : public ::testing::TestWithParam<Refusal> {};

TEST_P(RefusedWrite, IsToldShowsTheStoredValueAndTheRetryWritesKeepingOtherChanges) {
    const Refusal& c = GetParam();
    Session s(c.backend);
    ASSERT_TRUE(s.Open(c.open));
    // Meanwhile another workstation changes what no field of the editor holds.
    constexpr int kUnshown = 30;
    s.OtherWorkstationSets(c.file, c.key, {{kUnshown, "AUTRE"}});
    const bool conflict = c.failure == kelmor::kConflict;
    if (conflict) {
        s.OtherWorkstationSets(c.file, c.key, {{c.attr, c.other}});
    } else {
        s.FailWritesWith(c.failure);
    }
    s.Do(Enter(c.control, c.typed));
    EXPECT_EQ(s.TakeMessages(), Texts{Told(c.failure)});
    EXPECT_EQ(s.TakeWrites(), Texts{});
    const std::string stored = conflict ? c.other : c.stored;
    EXPECT_EQ(s.Stored(c.file, c.key, c.attr), stored);
    EXPECT_EQ(s.Text(c.control), conflict ? c.otherShown : c.shown)
        << "the screen shows what is stored";
    s.FailWritesWith(0);
    // Nothing is pending: leaving the field again, untouched, stores nothing.
    s.Do(std::string("focus ") + c.control + "\nkey " + c.control + " Tab");
    EXPECT_EQ(s.TakeWrites(), Texts{});
    EXPECT_EQ(s.TakeMessages(), Texts{});
    // The refused value never comes back with another write of the record.
    if (c.file == "SECTEUR" && c.attr != 20) {
        s.Do(Enter("Txt_NumCRAM", "CR-5"));
        EXPECT_EQ(s.TakeWrites(), Texts{"SECTEUR 001"});
        EXPECT_EQ(s.Stored(c.file, c.key, c.attr), stored);
    }
    s.Do(Enter(c.control, c.typed));
    EXPECT_EQ(s.TakeMessages(), Texts{});
    EXPECT_EQ(s.TakeWrites(), Texts{c.file + " " + c.key}) << "the retry writes";
    EXPECT_NE(s.Stored(c.file, c.key, c.attr), stored);
    EXPECT_EQ(s.Stored(c.file, c.key, kUnshown), "AUTRE");
}

INSTANTIATE_TEST_SUITE_P(Fields, RefusedWrite, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

// The scripted operator types a character outside the Basic Multilingual
// Plane as one key event, as a keyboard does: nothing of it is dropped.
TEST(TypedText, CharactersOutsideTheBasicPlaneAreTypedWhole) {
    Session s;
    ASSERT_TRUE(s.Open("001"));
    s.Do(Enter("Txt_NumCRAM", "CR-\U0001F600\U0001D11E-1"));
    EXPECT_EQ(s.Text("Txt_NumCRAM"), "CR-\U0001F600\U0001D11E-1");
    EXPECT_EQ(s.Stored("SECTEUR", "001", 20), "CR-\U0001F600\U0001D11E-1");
}

}  // namespace
}  // namespace levels_test
