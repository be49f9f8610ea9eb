// Init: what the operator finds after it for each access level, and where it
// stops when the counter record is missing.

#include "fixture.h"

namespace {

using namespace control_test;

class InitByRights : public ::testing::TestWithParam<std::pair<std::string, bool>> {};

TEST_P(InitByRights, SectorLevelReadyAndNoCreationBelowLevel2) {
    Editor ed(GetParam().first);
    ASSERT_NO_THROW(ed.ctl->Init());
    const auto& ui = ed.ui();
    for (QWidget* w : std::vector<QWidget*>{ui.Cmd_AjouterSecteur, ui.Cmd_AjouterSousSecteur,
                                            ui.Cmd_AjouterQuartier, ui.Cmd_OkSecteurGeo})
        EXPECT_EQ(w->isHidden(), !GetParam().second) << NameOf(w);
    EXPECT_TRUE(ui.Cmd_AjouterCentreMedQuartier->isHidden());
    EXPECT_TRUE(ui.Txt_CodeSecteur->isEnabled() && ui.Cmd_SortirSecteurGeo->isEnabled());
    EXPECT_FALSE(ui.Cdr_SousSecteur->isEnabled() || ui.Cdr_Quartier->isEnabled());
    EXPECT_EQ(Items(ui.Cbo_LibSecteur), (std::vector<std::string>{"CENTRE", "ÉTANG", "NORD"}));
    EXPECT_EQ(Items(ui.Cbo_LibCentreMedQuartier), (std::vector<std::string>{"ARCHE", "LILAS"}));
    EXPECT_EQ(ed.editor().State().lists.secteur->Get(1, 1), "002");  // row 1 backs the first entry
    ed.ctl->Voir_Ok();                                               // nothing shows them again
    EXPECT_EQ(ui.Cmd_OkSecteurGeo->isHidden(), !GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Users, InitByRights,
                         ::testing::Values(std::pair{kChef, true}, std::pair{kAgent, false}),
                         [](const auto& info) { return info.param.first; });

TEST(InitFailure, WithoutCounter999FilesAreOpenedAndLevelsNotSetUp) {
    Editor ed(kChef, 2, false);
    try {
        ed.ctl->Init();
        ADD_FAILURE() << "Init succeeded";
    } catch (const zonitra::InitError& error) {
        EXPECT_EQ(error.step(), "ReadRecord COMPTEUR \"999\"");
        EXPECT_EQ(error.number(), kelmor::kNotFound);
    }
    const zonitra::FileHandles& f = ed.editor().State().files;
    EXPECT_TRUE(f.secteur && f.sousSecteur && f.quartier && f.centreMedical && f.antenneMedicale &&
                f.association && f.compteur);
    // Later steps did not run: no request array, modes and lists as built.
    EXPECT_FALSE(ed.editor().State().W_Requete.has_value());
    EXPECT_TRUE(ed.ui().Cmd_OkSecteurGeo->isEnabled() && ed.ui().Cdr_SousSecteur->isEnabled());
    EXPECT_EQ(ed.ui().Cbo_LibSecteur->ListCount(), 0);
}

}  // namespace
