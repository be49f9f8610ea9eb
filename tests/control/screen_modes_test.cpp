// Enabling and disabling the levels, the approvals button, the département
// check and the neighbourhood line.

#include <QApplication>

#include <functional>

#include "fixture.h"
#include "forms/focus.h"

namespace {

using control_test::Editor;
using control_test::NameOf;
using zonitra::Ctr_Secteur;

// The controls each level switches, Cmd_GestionDocumentaire apart.
const std::vector<std::string> kSector = {"Cdr_Secteur",
                                          "Etq_CodeSecteur",
                                          "Txt_CodeSecteur",
                                          "Etq_LibSecteur",
                                          "Cbo_LibSecteur",
                                          "Etq_NoAgrementSect",
                                          "Txt_NoAgrementSect",
                                          "Etq_DatAgrementSect",
                                          "Txt_DatAgrementSect",
                                          "Etq_NumCRAM",
                                          "Txt_NumCRAM",
                                          "Txt_Dep",
                                          "Etq_Dep",
                                          "Cmd_AjouterSecteur"};
const std::vector<std::string> kSousSecteur = {
    "Cdr_SousSecteur",    "Etq_CodeSousSecteur", "Txt_CodeSousSecteur",   "Etq_LibSousSecteur",
    "Cbo_LibSousSecteur", "Cmd_Adresse",         "Cmd_AjouterSousSecteur"};
const std::vector<std::string> kQuartier = {"Cdr_Quartier",
                                            "Etq_CodeQuartier",
                                            "Txt_CodeQuartier",
                                            "Etq_LibQuartier",
                                            "Cbo_LibQuartier",
                                            "Cmd_AjouterQuartier",
                                            "Etq_CentreMedQuartier",
                                            "Txt_CodeCentreMedQuartier",
                                            "Cbo_LibCentreMedQuartier",
                                            "Cmd_AjouterCentreMedQuartier",
                                            "Etq_AntMedQuartier",
                                            "Txt_CodeAntMedQuartier",
                                            "Cbo_LibAntMedQuartier",
                                            "Cmd_AjouterAntMedQuartier"};

struct ModeCase {
    const char* label;
    std::function<void(Ctr_Secteur&)> act;
    bool sector, sousSecteur, quartier, okAnnuler;
};

class Modes : public ::testing::TestWithParam<ModeCase> {};

// Each control's own state is checked, not only the one it inherits from its frame.
TEST_P(Modes, EachLevelSwitchesAllItsControlsAndNothingElse) {
    const ModeCase& c = GetParam();
    Editor ed;
    ed.ctl().Init();
    ed.ui().Txt_NumCRAM->SetText("1234");
    c.act(ed.ctl());
    auto check = [&](const std::vector<std::string>& group, bool enabled) {
        for (const std::string& name : group) {
            auto* w = ed.ctl().findChild<QWidget*>(QString::fromStdString(name));
            ASSERT_NE(w, nullptr) << name;
            const bool own = !w->testAttribute(Qt::WA_ForceDisabled);
            EXPECT_EQ(own, enabled) << name;
        }
    };
    check(kSector, c.sector);
    check(kSousSecteur, c.sousSecteur);
    check(kQuartier, c.quartier);
    EXPECT_EQ(ed.ui().Cmd_OkSecteurGeo->isEnabled(), c.okAnnuler);
    EXPECT_EQ(ed.ui().Cmd_AnnulerSecteurGeo->isEnabled(), c.okAnnuler);
    EXPECT_EQ(ed.ui().Cmd_SortirSecteurGeo->isEnabled(), !c.okAnnuler);
    // Modes never touch texts or visibility.
    EXPECT_EQ(ed.ui().Txt_NumCRAM->Text(), "1234");
    EXPECT_TRUE(ed.ui().Cmd_AjouterCentreMedQuartier->isHidden());
    EXPECT_FALSE(ed.ui().Cmd_AjouterQuartier->isHidden());
}

INSTANTIATE_TEST_SUITE_P(
    Situations, Modes,
    ::testing::Values(ModeCase{"AfterInit", [](Ctr_Secteur&) {}, true, false, false, false},
                      ModeCase{"SectorShown",
                               [](Ctr_Secteur& c) {
                                   c.Voir_SousSecteur();
                                   c.Cacher_Quartier();
                               },
                               true, true, false, false},
                      ModeCase{"SubSectorShown",
                               [](Ctr_Secteur& c) {
                                   c.Voir_SousSecteur();
                                   c.Voir_Quartier();
                               },
                               true, true, true, false},
                      ModeCase{"NewSector", [](Ctr_Secteur& c) { c.Voir_Ok(); }, true, false, false,
                               true},
                      ModeCase{"NewSubSector",
                               [](Ctr_Secteur& c) {
                                   c.Cacher_Secteur();
                                   c.Voir_SousSecteur();
                                   c.Voir_Ok();
                               },
                               false, true, false, true},
                      ModeCase{"NewNeighbourhood",
                               [](Ctr_Secteur& c) {
                                   c.Cacher_Secteur();
                                   c.Cacher_SousSecteur();
                                   c.Voir_Quartier();
                                   c.Voir_Ok();
                               },
                               false, false, true, true},
                      ModeCase{"AfterConfirm",
                               [](Ctr_Secteur& c) {
                                   c.Voir_Ok();
                                   c.Cacher_Ok();
                                   c.Voir_Secteur();
                               },
                               true, false, false, false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Modes, AddressFollowsTheSubSectorLevelInsideAnEnabledSectorFrame) {
    Editor ed;
    ed.ctl().Init();
    ed.ctl().Voir_SousSecteur();
    EXPECT_TRUE(ed.ui().Cmd_Adresse->isEnabled());
    ed.ctl().Cacher_SousSecteur();
    EXPECT_TRUE(ed.ui().Cdr_Secteur->isEnabled());
    EXPECT_FALSE(ed.ui().Cmd_Adresse->isEnabled());
}

TEST(Modes, DocumentButtonNeedsASectorCodeAndStaysHidden) {
    Editor ed;
    ed.ctl().Init();
    ASSERT_TRUE(ed.Show());
    EXPECT_FALSE(ed.ui().Cmd_GestionDocumentaire->isEnabled());
    QTest::keyClicks(ed.ui().Txt_CodeSecteur, "002");
    ed.ctl().Voir_Secteur();
    EXPECT_TRUE(ed.ui().Cmd_GestionDocumentaire->isEnabled());
    EXPECT_TRUE(ed.ui().Cmd_GestionDocumentaire->isHidden());
    ed.ctl().Cacher_Secteur();
    EXPECT_FALSE(ed.ui().Cmd_GestionDocumentaire->isEnabled());
}

TEST(Modes, NeighbourhoodLineAlternatesItsDrawingModeOnly) {
    Editor ed;
    ed.ctl().Init();
    forms::Line* line = ed.ui().Lig_Quartier;
    const QRect place = line->geometry();
    EXPECT_EQ(line->DrawMode(), 4);
    ed.ctl().Voir_Quartier();
    EXPECT_EQ(line->DrawMode(), 13);
    ed.ctl().Cacher_Quartier();
    EXPECT_EQ(line->DrawMode(), 4);
    EXPECT_EQ(line->geometry(), place);
}

class Approvals : public ::testing::TestWithParam<int> {};

TEST_P(Approvals, ButtonNeedsMoreThanOneLegalEntity) {
    const int entities = GetParam();
    Editor ed({entities, true, ""});
    ed.ctl().Init();
    ed.ctl().Cacher_Agrement();
    EXPECT_EQ(ed.ui().Cmd_Agrement->isEnabled(), entities > 1);
    const zonitra::SharedState& s = ed.ctl().State();
    ASSERT_TRUE(s.W_ListeAssociation.has_value());
    EXPECT_EQ(s.W_ListeAssociation->DCount(), entities);
    EXPECT_EQ(s.W_Requete->Get(1), "SSELECT ASSOCIATION");
    EXPECT_EQ(s.W_Requete->Get(2), "ASSOCIATION");
    EXPECT_EQ(s.W_Requete->Get(3), "1 ");
}

INSTANTIATE_TEST_SUITE_P(Entities, Approvals, ::testing::Values(0, 1, 2, 3));

struct DepCase {
    const char* typed;
    zonitra::Boolean16 flag;
};

class DepartementCheck : public ::testing::TestWithParam<DepCase> {};

TEST_P(DepartementCheck, FlagsAnyCharacterOtherThanDigits) {
    Editor ed;
    ed.ctl().Init();
    ASSERT_TRUE(ed.Show());
    ed.ctl().State().W_DepNonNumerique = zonitra::kTrue;  // Test clears it first
    forms::SetFocus(ed.ui().Txt_Dep);
    QTest::keyClicks(ed.ui().Txt_Dep, QString::fromUtf8(GetParam().typed));
    ed.ctl().Test();
    EXPECT_EQ(ed.ctl().State().W_DepNonNumerique, GetParam().flag);
}

INSTANTIATE_TEST_SUITE_P(
    Typed, DepartementCheck,
    ::testing::Values(DepCase{"2A", zonitra::kTrue}, DepCase{"07", zonitra::kFalse},
                      DepCase{"", zonitra::kFalse}, DepCase{"9", zonitra::kFalse},
                      DepCase{"/1", zonitra::kTrue}, DepCase{"1:", zonitra::kTrue},
                      DepCase{"É", zonitra::kTrue}, DepCase{" 1", zonitra::kTrue}));

}  // namespace
