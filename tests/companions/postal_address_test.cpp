// The postal rules without any widget: the stored form of a line, telephone
// numbers, départements, the printed block and the problems named.

#include <gtest/gtest.h>

#include "adresse/postal_address.h"

namespace {

using namespace zonitra::postal;
using Lines = std::vector<std::string>;

TEST(PostalAddress, FieldFormsAndDepartements) {
    for (const auto& [typed, stored] : {std::pair{"Cours Émile-Zola,", "COURS EMILE ZOLA"},
                                        {"L’Île-Rousse", "L ILE ROUSSE"},
                                        {"  bp   118 ", "BP 118"},
                                        {"Œuvre n° 3 ; bât. « B »", "OEUVRE N 3 BAT B"},
                                        {"--", ""}})
        EXPECT_EQ(PostalForm(typed), stored) << typed;
    for (const auto& [typed, form] :
         {std::pair<const char*, std::optional<std::string>>{"0478421530", "04 78 42 15 30"},
          {"04.78-42 15  30", "04 78 42 15 30"},
          {"04 78 42 15 3", std::nullopt},
          {"04 78 42 15 301", std::nullopt},
          {"+33 4 78 42 15 30", std::nullopt},
          {"", std::nullopt}})
        EXPECT_EQ(TelephoneForm(typed), form) << typed;
    // clang-format off
    for (const auto& [code, departement] :
         {std::pair{"69002", "69"}, {"01000", "01"}, {"20200", "20"}, {"97400", "974"},
          {"98000", "980"}, {"96000", ""}, {"00100", ""}, {"97700", ""}, {"6900A", ""},
          {"690020", ""}})
        // clang-format on
        EXPECT_EQ(Departement(code), departement) << code;
}

TEST(PostalAddress, PrintedLinesFollowTheNormsOrder) {
    Address a{"12 rue de la République",
              "  Bâtiment A, 2e étage ",
              "bp 118",
              "69002",
              "Lyon",
              "04 78 42 15 30",
              "",
              true};
    EXPECT_EQ(PrintedLines(a), (Lines{"Bâtiment A, 2e étage", "12 RUE DE LA REPUBLIQUE", "BP 118",
                                      "69002 LYON CEDEX"}));
    a.ligne2 = a.ligne3 = a.codePostal = a.commune = "";
    EXPECT_EQ(PrintedLines(a), Lines{"12 RUE DE LA REPUBLIQUE"});  // CEDEX alone is no line
    EXPECT_EQ(PrintedLines(Address{}), Lines{});
}

TEST(PostalAddress, ProblemsNameEachWrongFieldInFrench) {
    const Address fine{"1 RUE A", "", "", "13500", "MARTIGUES", "04 42 80 11 02", "", false};
    EXPECT_EQ(Problems(fine), Lines{});
    EXPECT_EQ(Problems(Address{}), Lines{});  // empty fields are never wrong
    struct Case {
        void (*spoil)(Address&);
        Lines problems;
    };
    const Case cases[] = {
        {[](Address& a) { a.codePostal = "96500"; },
         {"Le code postal « 96500 » ne correspond à aucun département."}},
        {[](Address& a) {
             a.codePostal = "13";
             a.fax = "1";
         },
         {"Le code postal « 13 » doit comporter cinq chiffres.",
          "Le fax « 1 » doit comporter dix chiffres, espaces permis."}},
        {[](Address& a) { a.telephone = "04 42 80"; },
         {"Le téléphone « 04 42 80 » doit comporter dix chiffres, espaces permis."}},
        {[](Address& a) {
             a.commune = "SAINT REMY EN BOUZEMONT SAINT GEN";
             a.cedex = true;
         },
         {"La ligne « 13500 SAINT REMY EN BOUZEMONT SAINT GEN CEDEX » dépasse 38 caractères."}},
    };
    for (const Case& c : cases) {
        Address a = fine;
        c.spoil(a);
        EXPECT_EQ(Problems(a), c.problems);
    }
}

TEST(PostalAddress, ReadsEightAttributesFromTheFirst) {
    kelmor::DynArray record;
    for (int a = 1; a <= 12; ++a) record.Set(a, "v" + std::to_string(a));
    record.Set(12, "1");
    EXPECT_EQ(ReadAddress(record, 5), (Address{"v5", "v6", "v7", "v8", "v9", "v10", "v11", true}));
    EXPECT_FALSE(ReadAddress(record, 4).cedex);  // anything but "1" reads as no
    EXPECT_THROW(ReadAddress(record, 0), std::invalid_argument);
}

}  // namespace
