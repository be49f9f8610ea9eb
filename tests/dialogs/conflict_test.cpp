// A dialog's "Ok" meeting another workstation's change of the same
// information: the operator is told in French, the other change is kept, and
// the dialog stays open on what is now stored.

#include <gtest/gtest.h>

#include <ostream>

#include "editor_harness.h"
#include "kelmor/error.h"

namespace {

struct Case {
    const char* name;
    std::string sector, form, close;
    std::string edit;            // from the sector shown to before "Ok"
    harness::Values other;       // the other workstation's values
    std::string control, shown;  // how the open dialog then shows them
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

// clang-format off
const Case kCases[] = {
    {"Approval", "013", "Frm_Agrement", "click Cmd_Annuler\nclick Cmd_Retour",
     "click Cmd_Agrement\ntype Txt_CodAsso 1\nkey Txt_CodAsso Enter\n"
     "type Txt_Date 15/06/2024\ntype Txt_Num AG-2024-0150\n",
     {{17, "001"}, {18, "20000"}, {19, "AG-AUTRE"}}, "Txt_Num", "AG-AUTRE"},
    {"Address", "005", "Frm_Adresse", "click Cmd_Retour",
     "click Cmd_Adresse\nclear Txt_Ligne1\ntype Txt_Ligne1 7 RUE NEUVE\n",
     {{5, "9 PLACE BELLECOUR"}}, "Txt_Ligne1", "9 PLACE BELLECOUR"},
    {"DocumentFolders", "005", "Frm_ParamGestDoc", "click Cmd_Annuler",
     "click Cmd_GestionDocumentaire\ntype Txt_CheminRepAide E:\\Aide\n"
     "type Txt_CheminRepAidant E:\\Aidant\n",
     {{22, "F:\\Autre\\"}}, "Txt_CheminRepAide", "F:\\Autre\\"},
};
// clang-format on

class DialogConflict : public ::testing::TestWithParam<Case> {};

TEST_P(DialogConflict, IsToldKeepsTheOtherChangeAndShowsIt) {
    const Case& c = GetParam();
    harness::Session s("MARTIN");
    s.OfferHostButtons();
    s.Play("type Txt_CodeSecteur " + c.sector + "\nkey Txt_CodeSecteur Enter");
    // After the sector was read for the screen, before the dialog saves it.
    s.OtherWorkstationSets("SECTEUR", c.sector, c.other);
    const auto out =
        s.Play(c.edit + "click Cmd_Ok\nstate\nrecord SECTEUR " + c.sector + "\n" + c.close);
    ASSERT_EQ(out.size(), 2u);
    const auto& state = out[0];
    ASSERT_EQ(state["messages"].size(), 1u);
    EXPECT_EQ(state["messages"][0]["text"], kelmor::FrenchMessage(kelmor::kConflict));
    EXPECT_TRUE(state["writes"].empty());
    EXPECT_EQ(state["form"], c.form) << "the dialog stays open";
    EXPECT_EQ(state["controls"][c.control]["text"], c.shown);
    for (const auto& [attr, value] : c.other)
        EXPECT_EQ(out[1]["attributes"][attr - 1], value) << "attribute " << attr;
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DialogConflict, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
