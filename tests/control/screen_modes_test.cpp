// Enabling and disabling the levels, the approvals button, the département
// check and the neighbourhood line.

#include <functional>

#include "fixture.h"

namespace {

using namespace control_test;
using zonitra::Ctr_Secteur;

// What each level switches (Cmd_GestionDocumentaire apart).
const char* const kSector =
    "Cdr_Secteur Etq_CodeSecteur Txt_CodeSecteur Etq_LibSecteur Cbo_LibSecteur "
    "Etq_NoAgrementSect Txt_NoAgrementSect Etq_DatAgrementSect Txt_DatAgrementSect "
    "Etq_NumCRAM Txt_NumCRAM Txt_Dep Etq_Dep Cmd_AjouterSecteur";
const char* const kSousSecteur =
    "Cdr_SousSecteur Etq_CodeSousSecteur Txt_CodeSousSecteur Etq_LibSousSecteur "
    "Cbo_LibSousSecteur Cmd_Adresse Cmd_AjouterSousSecteur";
const char* const kQuartier =
    "Cdr_Quartier Etq_CodeQuartier Txt_CodeQuartier Etq_LibQuartier Cbo_LibQuartier "
    "Cmd_AjouterQuartier Etq_CentreMedQuartier Txt_CodeCentreMedQuartier "
    "Cbo_LibCentreMedQuartier Cmd_AjouterCentreMedQuartier Etq_AntMedQuartier "
    "Txt_CodeAntMedQuartier Cbo_LibAntMedQuartier Cmd_AjouterAntMedQuartier";

struct ModeCase {
    const char* label;
    std::function<void(Ctr_Secteur&)> act;
    bool sector, sousSecteur, quartier, okAnnuler;
};

class Modes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(Modes, EachLevelSwitchesEveryOneOfItsControls) {
    const ModeCase& c = GetParam();
    Editor ed;
    ed.ctl->Init();
    ed.ui().Txt_NumCRAM->SetText("1234");
    c.act(*ed.ctl);
    for (auto [group, enabled] :
         {std::pair{kSector, c.sector}, {kSousSecteur, c.sousSecteur}, {kQuartier, c.quartier}}) {
        for (const QString& name : QString(group).split(' ')) {
            auto* w = ed.ctl->findChild<QWidget*>(name);
            ASSERT_NE(w, nullptr) << name.toStdString();
            // The control's own state, not only the one its frame gives it.
            EXPECT_EQ(!w->testAttribute(Qt::WA_ForceDisabled), enabled) << name.toStdString();
        }
    }
    EXPECT_EQ(ed.ui().Cmd_OkSecteurGeo->isEnabled(), c.okAnnuler);
    EXPECT_EQ(ed.ui().Cmd_AnnulerSecteurGeo->isEnabled(), c.okAnnuler);
    EXPECT_EQ(ed.ui().Cmd_SortirSecteurGeo->isEnabled(), !c.okAnnuler);
    EXPECT_EQ(ed.ui().Txt_NumCRAM->Text(), "1234");  // texts and visibility are not theirs
    EXPECT_TRUE(ed.ui().Cmd_AjouterAntMedQuartier->isHidden());
}

INSTANTIATE_TEST_SUITE_P(
    Situations, Modes,
    ::testing::Values(
        ModeCase{"AfterInit", [](Ctr_Secteur&) {}, true, false, false, false},
        ModeCase{"SectorShown", [](Ctr_Secteur& c) { c.Voir_SousSecteur(); }, true, true, false,
                 false},
        ModeCase{"SubSectorShown", [](Ctr_Secteur& c) { c.Voir_SousSecteur(), c.Voir_Quartier(); },
                 true, true, true, false},
        ModeCase{"NewSector", [](Ctr_Secteur& c) { c.Voir_Ok(); }, true, false, false, true},
        ModeCase{"NewSubSector",
                 [](Ctr_Secteur& c) { c.Cacher_Secteur(), c.Voir_SousSecteur(), c.Voir_Ok(); },
                 false, true, false, true},
        ModeCase{"NewNeighbourhood",
                 [](Ctr_Secteur& c) {
                     c.Cacher_Secteur(), c.Cacher_SousSecteur(), c.Voir_Quartier(), c.Voir_Ok();
                 },
                 false, false, true, true},
        ModeCase{"Confirmed",
                 [](Ctr_Secteur& c) {
                     c.Voir_Ok(), c.Cacher_Secteur(), c.Voir_Quartier(), c.Cacher_Ok(),
                         c.Voir_Secteur(), c.Cacher_SousSecteur(), c.Cacher_Quartier();
                 },
                 true, false, false, false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Modes, DocumentsNeedACodeAddressFollowsSubSectorsLineAlternates) {
    Editor ed;
    ed.ctl->Init();
    ASSERT_TRUE(ed.Show());
    const auto& ui = ed.ui();
    EXPECT_TRUE(ui.Cdr_Secteur->isEnabled());
    EXPECT_FALSE(ui.Cmd_Adresse->isEnabled());
    ed.ctl->Voir_SousSecteur();
    EXPECT_TRUE(ui.Cmd_Adresse->isEnabled());

    EXPECT_FALSE(ui.Cmd_GestionDocumentaire->isEnabled());
    QTest::keyClicks(ui.Txt_CodeSecteur, "002");
    ed.ctl->Voir_Secteur();
    EXPECT_TRUE(ui.Cmd_GestionDocumentaire->isEnabled());
    EXPECT_TRUE(ui.Cmd_GestionDocumentaire->isHidden());

    const QRect place = ui.Lig_Quartier->geometry();
    EXPECT_EQ(ui.Lig_Quartier->DrawMode(), 4);
    ed.ctl->Voir_Quartier();
    EXPECT_EQ(ui.Lig_Quartier->DrawMode(), 13);
    ed.ctl->Cacher_Quartier();
    EXPECT_EQ(ui.Lig_Quartier->DrawMode(), 4);
    EXPECT_EQ(ui.Lig_Quartier->geometry(), place);
}

class Approvals : public ::testing::TestWithParam<int> {};

TEST_P(Approvals, ButtonNeedsMoreThanOneLegalEntity) {
    Editor ed({GetParam(), true, ""});
    ed.ctl->Init();
    ed.ctl->Cacher_Agrement();
    EXPECT_EQ(ed.ui().Cmd_Agrement->isEnabled(), GetParam() > 1);
    const zonitra::SharedState& s = ed.ctl->State();
    EXPECT_EQ(s.W_ListeAssociation->DCount(), GetParam());
    EXPECT_EQ(s.W_Requete->Text(),
              "SSELECT ASSOCIATION\xFE"
              "ASSOCIATION\xFE"
              "1 ");
}

INSTANTIATE_TEST_SUITE_P(Entities, Approvals, ::testing::Values(0, 1, 2, 3));

TEST(Modes, DepartementCheckFlagsAnyCharacterOtherThanADigit) {
    Editor ed;
    ed.ctl->Init();
    ASSERT_TRUE(ed.Show());
    for (auto [typed, flag] : {std::pair{"2A", zonitra::kTrue},
                               {"07", zonitra::kFalse},
                               {"", zonitra::kFalse},
                               {"/1", zonitra::kTrue},
                               {"1:", zonitra::kTrue},
                               {"É", zonitra::kTrue}}) {
        ed.ui().Txt_Dep->SetText("");
        ed.ctl->State().W_DepNonNumerique = zonitra::kTrue;  // Test clears it first
        forms::SetFocus(ed.ui().Txt_Dep);
        QTest::keyClicks(ed.ui().Txt_Dep, QString::fromUtf8(typed));
        ed.ctl->Test();
        EXPECT_EQ(ed.ctl->State().W_DepNonNumerique, flag) << typed;
    }
}

}  // namespace
