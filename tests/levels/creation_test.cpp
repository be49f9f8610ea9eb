// Entering new sectors, sub-sectors and neighbourhoods: "Ajouter", "OK",
// "Annuler", the codes "OK" stores them under (never over an existing
// record), and what happens when no code is left or a write fails. The label
// checks of "OK" and the sector's attribute fields are played by
// creation_scenario.drive.

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "forms/msgbox.h"
#include "kelmor/database.h"
#include "session.h"

namespace levels_test {
namespace {

struct Level {
    const char* name;
    std::string open;  // the parent shown first
    const char* add;
    const char* label;
    Texts copies;       // the labels leaving `label` proposes its own to
    Texts writes;       // what "OK" stores
    std::string after;  // the screen after "OK" or "Annuler" (Yes)
    const char* focus;
};

// Types the label, leaves it, and links the new neighbourhood to antenna 004
// of centre 012, which has three: neither writes anything.
const char* const kFill =
    "type {label} vaise\nkey {label} Tab\n"
    "clear Txt_CodeCentreMedQuartier\ntype Txt_CodeCentreMedQuartier 012\n"
    "type Txt_CodeAntMedQuartier 004\nkey Txt_CodeAntMedQuartier Tab";

std::string Fill(const char* label) {
    return QString::fromLatin1(kFill).replace("{label}", label).toStdString();
}

std::string Start(Session& s, const Level& c) {
    if (!c.open.empty() && !s.Open(c.open)) return "could not open " + c.open;
    s.Do(std::string("click ") + c.add);
    return s.Focus();
}

// What a second "Ajouter", "Adresse" or "Agrément" says while an entry is open.
std::string Refusal() {
    return Box(QStringLiteral("Une création est en cours.\r\nVous devez d'abord cliquer sur "
                              "'OK' pour l'enregistrer ou sur 'Annuler' pour la quitter"),
               forms::vbExclamation);
}

class Create : public ::testing::TestWithParam<Level> {};

TEST_P(Create, OkStoresTheLevelUnderAGeneratedCodeThenClearsIt) {
    const Level& c = GetParam();
    Session s;
    ASSERT_EQ(Start(s, c), c.label);
    for (const char* locked :
         {"Txt_CodeSecteur", "Txt_CodeSousSecteur", "Txt_CodeQuartier", "Cmd_AjouterSecteur",
          "Cmd_AjouterSousSecteur", "Cmd_AjouterQuartier", "Cmd_Adresse", "Cmd_SortirSecteurGeo"})
        EXPECT_FALSE(s.Enabled(locked)) << locked;
    EXPECT_EQ(s.Items(c.label), Texts{}) << "nothing to choose";
    s.Do(Fill(c.label));
    for (const std::string& copy : c.copies) EXPECT_EQ(s.Text(copy.c_str()), "VAISE") << copy;
    // Leaving a sector or sub-sector label opens the levels below whole, as a
    // lookup does; their "Ajouter" and "Adresse" then refuse while entering.
    const bool opensBelow = !c.copies.empty();
    EXPECT_EQ(s.Enabled("Txt_CodeQuartier"), opensBelow);
    EXPECT_EQ(s.Enabled("Cmd_AjouterQuartier"), opensBelow);
    if (opensBelow) {
        const std::string entered = s.Screen();
        // The address button belongs to the sub-sector level, opened by a sector only.
        const bool sector = c.copies.size() == 2;
        s.Do(sector ? "click Cmd_AjouterQuartier\nclick Cmd_Adresse" : "click Cmd_AjouterQuartier");
        EXPECT_EQ(s.TakeMessages(), Texts(sector ? 2 : 1, Refusal()));
        EXPECT_EQ(s.Screen(), entered);
    }
    EXPECT_EQ(s.TakeWrites(), Texts{}) << "no rename, no relink while entering";

    s.Do("click Cmd_OkSecteurGeo");
    EXPECT_EQ(s.TakeWrites(), c.writes);
    const std::string quartier = c.writes.back().substr(9);
    EXPECT_EQ(s.Stored("QUARTIER", quartier, 1), "VAISE");
    EXPECT_EQ(s.Stored("QUARTIER", quartier, 2), "012004");
    EXPECT_EQ(s.Screen(), c.after);
    EXPECT_EQ(s.Focus(), c.focus);
    EXPECT_TRUE(s.Enabled("Cmd_SortirSecteurGeo"));
    EXPECT_FALSE(s.Enabled("Cmd_OkSecteurGeo"));
    const Texts listed = s.Items(c.label);
    EXPECT_NE(std::find(listed.begin(), listed.end(), "VAISE"), listed.end());
    EXPECT_EQ(s.TakeMessages(), Texts{});
}

TEST_P(Create, AnnulerAsksThenDiscardsTheEntryOnYesOnly) {
    const Level& c = GetParam();
    Session s;
    ASSERT_EQ(Start(s, c), c.label);
    s.Do(Fill(c.label));
    const std::string entered = s.Screen();
    const std::string question = Box(kLeaveCreation, forms::vbExclamation) + " [Yes No: ";
    s.Do("answer No\nclick Cmd_AnnulerSecteurGeo");
    EXPECT_EQ(s.TakeMessages(), Texts{question + "No]"});
    EXPECT_EQ(s.Screen(), entered);
    EXPECT_TRUE(s.Enabled("Cmd_OkSecteurGeo"));

    s.Do("answer Yes\nclick Cmd_AnnulerSecteurGeo");
    EXPECT_EQ(s.TakeMessages(), Texts{question + "Yes]"});
    EXPECT_EQ(s.Screen(), c.after);
    EXPECT_EQ(s.Focus(), c.focus);
    EXPECT_TRUE(s.Enabled(c.add));
    EXPECT_FALSE(s.Enabled("Cmd_OkSecteurGeo"));
    EXPECT_EQ(s.TakeWrites(), Texts{});
}

// The fixture's sectors 001-004 and 007: the gap 005 comes first.
// clang-format off
const Level kLevels[] = {
    {"Sector", "", "Cmd_AjouterSecteur", "Cbo_LibSecteur", {"Cbo_LibSousSecteur", "Cbo_LibQuartier"},
     {"SECTEUR 005", "SOUSSECTEUR 00501", "QUARTIER 0050101"}, ",,,,,,,,,", "Txt_CodeSecteur"},
    {"SubSector", "001", "Cmd_AjouterSousSecteur", "Cbo_LibSousSecteur", {"Cbo_LibQuartier"},
     {"SOUSSECTEUR 00104", "QUARTIER 0010401"}, "001,NORD,,,,,,,,", "Txt_CodeSousSecteur"},
    {"Neighbourhood", "001 02", "Cmd_AjouterQuartier", "Cbo_LibQuartier", {},
     {"QUARTIER 0010204"}, "001,NORD,02,ABBAYE,,,,,,", "Txt_CodeQuartier"}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Levels, Create, ::testing::ValuesIn(kLevels),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Codes: gaps, records left behind, and none left ---

// Keys prefix + from..to, each number `width` digits.
Texts Range(const std::string& file, const std::string& prefix, int from, int to, int width) {
    Texts keys;
    for (int n = from; n <= to; ++n)
        keys.push_back(file + " " + prefix +
                       QString::number(n).rightJustified(width, u'0').toStdString());
    return keys;
}

// Who changes the records, and when: "Ajouter" may have walked the codes already.
enum class Change { BeforeAjouter, OwnAfterAjouter, OtherAfterAjouter };

struct Codes {
    const char* name;
    int level;  // 0 sector, 1 sub-sector, 2 neighbourhood
    std::string open;
    Texts added, removed;  // "FILE KEY"
    Texts writes;          // none: refused for want of a code
    Change when = Change::BeforeAjouter;
};

const char* const kAdd[] = {"Cmd_AjouterSecteur", "Cmd_AjouterSousSecteur", "Cmd_AjouterQuartier"};
const char* const kLabelOf[] = {"Cbo_LibSecteur", "Cbo_LibSousSecteur", "Cbo_LibQuartier"};
const QString kNoCode[] = {
    "Aucun code de Secteur n'est libre : les codes 001 à 999 sont tous utilisés.",
    "Aucun code de Sous-Secteur n'est libre dans ce Secteur : les codes 01 à 99 sont tous "
    "utilisés.",
    "Aucun code de Quartier n'est libre dans ce Sous-Secteur : les codes 01 à 99 sont tous "
    "utilisés."};

// "FILE KEY" as the file, then the key.
std::pair<std::string, std::string> Split(const std::string& record) {
    const auto space = record.find(' ');
    return {record.substr(0, space), record.substr(space + 1)};
}

class NewCode : public ::testing::TestWithParam<Codes> {};

TEST_P(NewCode, IsTheNextFreeKeyAndNeverReplacesARecord) {
    const Codes& c = GetParam();
    Session s;
    const auto change = [&](kelmor::Database& db) {
        kelmor::Transaction batch(db);
        for (const std::string& record : c.added) {
            const auto [file, key] = Split(record);
            db.backend().Write(file, key, "ANCIEN");  // whatever was there
        }
        for (const std::string& record : c.removed) {
            const auto [file, key] = Split(record);
            db.OpenFile(file).DeleteRecord(key);
        }
        batch.Commit();
    };
    if (c.when == Change::BeforeAjouter) change(s.Plain());
    ASSERT_TRUE(c.open.empty() || s.Open(c.open));
    s.Do(std::string("click ") + kAdd[c.level] + "\n" + Fill(kLabelOf[c.level]));
    if (c.when != Change::BeforeAjouter)
        change(c.when == Change::OwnAfterAjouter ? s.Plain() : *s.OpenOther());
    s.Do("click Cmd_OkSecteurGeo");
    EXPECT_EQ(s.TakeWrites(), c.writes);
    for (const std::string& record : c.added) {
        const auto [file, key] = Split(record);
        EXPECT_EQ(s.Stored(file, key, 1), "ANCIEN") << record;
    }
    if (!c.writes.empty()) return;
    const QString rest =
        QStringLiteral("\r\nVous devez cliquer sur 'Annuler' pour quitter cette création");
    EXPECT_EQ(s.TakeMessages(), Texts{Box(kNoCode[c.level] + rest, forms::vbExclamation)});
    EXPECT_EQ(s.Focus(), "Cmd_AnnulerSecteurGeo");
    EXPECT_TRUE(s.Enabled("Cmd_OkSecteurGeo")) << "the entry stays open";
    EXPECT_TRUE(s.Enabled(kLabelOf[2]));
}

// clang-format off
const Codes kCodes[] = {
    {"SectorPassesALeftSubSector", 0, "", {"SOUSSECTEUR 00501"}, {},
     {"SECTEUR 006", "SOUSSECTEUR 00601", "QUARTIER 0060101"}},
    {"SectorPassesALeftNeighbourhood", 0, "", {"QUARTIER 0050101"}, {},
     {"SECTEUR 006", "SOUSSECTEUR 00601", "QUARTIER 0060101"}},
    {"SectorGapBesideKeysThatAreNoCode", 0, "", {"SECTEUR 05", "SECTEUR 0005", "SECTEUR 00A"}, {},
     {"SECTEUR 005", "SOUSSECTEUR 00501", "QUARTIER 0050101"}},
    {"SectorNoneLeft", 0, "", Range("SECTEUR", "", 5, 999, 3), {}, {}},
    {"SectorFreedByThisConnectionAfterAjouter", 0, "", {}, {"SECTEUR 003"},
     {"SECTEUR 003", "SOUSSECTEUR 00301", "QUARTIER 0030101"}, Change::OwnAfterAjouter},
    {"SectorFreedByAnotherWorkstationAfterAjouter", 0, "", {}, {"SECTEUR 003"},
     {"SECTEUR 003", "SOUSSECTEUR 00301", "QUARTIER 0030101"}, Change::OtherAfterAjouter},
    {"SubSectorTakenByAnotherWorkstationAfterAjouter", 1, "004", {"SOUSSECTEUR 00402"}, {},
     {"SOUSSECTEUR 00403", "QUARTIER 0040301"}, Change::OtherAfterAjouter},
    {"SubSectorGapFirst", 1, "004", {"SOUSSECTEUR 00403"}, {},
     {"SOUSSECTEUR 00402", "QUARTIER 0040201"}},
    {"SubSectorPassesALeftNeighbourhood", 1, "004", {"QUARTIER 0040201"}, {},
     {"SOUSSECTEUR 00403", "QUARTIER 0040301"}},
    {"SubSectorNoneLeft", 1, "004", Range("SOUSSECTEUR", "004", 2, 99, 2), {}, {}},
    {"NeighbourhoodComesRoundTo01", 2, "004 01", Range("QUARTIER", "00401", 4, 99, 2),
     {"QUARTIER 0040101"}, {"QUARTIER 0040101"}},
    {"NeighbourhoodNoneLeft", 2, "004 01", Range("QUARTIER", "00401", 3, 99, 2), {}, {}}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, NewCode, ::testing::ValuesIn(kCodes),
                         [](const auto& info) { return std::string(info.param.name); });

// The approvals button keeps the state of the last lookup; while a new sector
// is entered it must not open the approvals of the sector shown before.
TEST(CreateSector, TheApprovalsOfTheSectorShownBeforeAreNotOpened) {
    Session s;
    kelmor::test::Fill(s.Plain(), {"ASSOCIATION;002;1=AUTRE ENTITE"});
    ASSERT_TRUE(s.Open("001"));
    ASSERT_TRUE(s.Enabled("Cmd_Agrement"));
    s.Do("click Cmd_AjouterSecteur\nclick Cmd_Agrement");
    EXPECT_EQ(s.TakeMessages(), Texts{Refusal()});
    EXPECT_EQ(s.Focus(), "Cmd_Agrement") << "no dialog opened";
    EXPECT_TRUE(s.Enabled("Cmd_OkSecteurGeo"));
}

// The three records of a sector are stored together or not at all.
TEST(CreateSector, AWriteFailingMidwayStoresNothingAndKeepsTheEntry) {
    Session s;
    s.Do("click Cmd_AjouterSecteur\n" + Fill("Cbo_LibSecteur"));
    s.TakeCalls();
    s.FailInsertsInto("SOUSSECTEUR");
    s.Do("click Cmd_OkSecteurGeo");
    const Texts calls = s.TakeCalls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "rollback"), calls.end());
    EXPECT_EQ(s.Stored("SECTEUR", "005", 1), "<none>");
    EXPECT_EQ(s.TakeWrites(), Texts{});
    const Texts messages = s.TakeMessages();  // the platform reports the failure
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("disk full"), std::string::npos) << messages[0];
    EXPECT_EQ(s.Text("Cbo_LibQuartier"), "VAISE");

    s.FailInsertsInto("");
    s.Do("click Cmd_OkSecteurGeo");
    EXPECT_EQ(s.TakeWrites(), (Texts{"SECTEUR 005", "SOUSSECTEUR 00501", "QUARTIER 0050101"}));
}

}  // namespace
}  // namespace levels_test
