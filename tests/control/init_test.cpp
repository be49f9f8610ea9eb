// Init and the host members: what the operator finds after Init for each
// access level, where Init stops when a step fails, what ending releases.

#include "fixture.h"

namespace {

using namespace control_test;
using zonitra::Ctr_Secteur;

class InitByRights : public ::testing::TestWithParam<std::pair<std::string, bool>> {};

TEST_P(InitByRights, SectorLevelReadyAndNoCreationBelowLevel2) {
    Editor ed({}, GetParam().first);
    ASSERT_NO_THROW(ed.ctl->Init());
    const auto& ui = ed.ui();
    const bool mayCreate = GetParam().second;
    for (QWidget* w : std::vector<QWidget*>{ui.Cmd_AjouterSecteur, ui.Cmd_AjouterSousSecteur,
                                            ui.Cmd_AjouterQuartier, ui.Cmd_OkSecteurGeo})
        EXPECT_EQ(w->isHidden(), !mayCreate) << NameOf(w);
    EXPECT_TRUE(ui.Cmd_AjouterCentreMedQuartier->isHidden());

    EXPECT_TRUE(ui.Txt_CodeSecteur->isEnabled());
    EXPECT_FALSE(ui.Cdr_SousSecteur->isEnabled() || ui.Cdr_Quartier->isEnabled());
    EXPECT_TRUE(ui.Cmd_SortirSecteurGeo->isEnabled());
    EXPECT_EQ(Items(ui.Cbo_LibSecteur), (std::vector<std::string>{"CENTRE", "ÉTANG", "NORD"}));
    EXPECT_EQ(Items(ui.Cbo_LibCentreMedQuartier), (std::vector<std::string>{"ARCHE", "LILAS"}));
    const zonitra::SharedState& s = ed.ctl->State();
    EXPECT_EQ(s.W_NbSecteur, 3);
    EXPECT_EQ(s.lists.secteur->Get(1, 1), "002");  // row 1 backs the first entry
    EXPECT_EQ(s.compteur->Key(), "999");
    EXPECT_TRUE(s.W_Requete.has_value());
    ed.ctl->Voir_Ok();  // nothing shows them again
    EXPECT_EQ(ui.Cmd_OkSecteurGeo->isHidden(), !mayCreate);
}

INSTANTIATE_TEST_SUITE_P(Users, InitByRights,
                         ::testing::Values(std::pair{kChef, true}, std::pair{kAgent, false},
                                           std::pair{std::string("INCONNU"), false}));

struct FailureCase {
    FixtureOptions options;
    std::string step;
    std::int32_t number;
    int filesOpened;
};

class InitFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(InitFailure, StopsAtTheFailingStepNamingIt) {
    const FailureCase& c = GetParam();
    Editor ed(c.options);
    try {
        ed.ctl->Init();
        ADD_FAILURE() << "Init succeeded";
    } catch (const zonitra::InitError& error) {
        EXPECT_EQ(error.step(), c.step);
        EXPECT_EQ(error.number(), c.number);
        EXPECT_NE(std::string(error.what()).find(c.step), std::string::npos) << error.what();
    }
    const zonitra::FileHandles& f = ed.ctl->State().files;
    const bool opened[] = {!!f.secteur,         !!f.sousSecteur, !!f.quartier, !!f.centreMedical,
                           !!f.antenneMedicale, !!f.association, !!f.compteur};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(opened[i], i < c.filesOpened) << "file " << i;
    // Later steps did not run: no request array, modes and lists as built.
    EXPECT_FALSE(ed.ctl->State().W_Requete.has_value());
    EXPECT_TRUE(ed.ui().Cmd_OkSecteurGeo->isEnabled() && ed.ui().Cdr_SousSecteur->isEnabled());
    EXPECT_EQ(ed.ui().Cbo_LibSecteur->ListCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, InitFailure,
    ::testing::Values(
        FailureCase{{2, false, ""}, "ReadRecord COMPTEUR \"999\"", kelmor::kNotFound, 7},
        FailureCase{{2, true, "SECTEUR"}, "OpenFile SECTEUR", kelmor::kNoSuchFile, 0},
        FailureCase{{2, true, "ASSOCIATION"}, "OpenFile ASSOCIATION", kelmor::kNoSuchFile, 5},
        FailureCase{{2, true, "COMPTEUR"}, "OpenFile COMPTEUR", kelmor::kNoSuchFile, 6}));

TEST(HostMembers, RightsAreAskedAtOnceAndMissingObjectsAreNamedByInit) {
    QTemporaryDir dir;
    auto db = MakeDatabase(dir);
    Ctr_Secteur ctl;
    ctl.SetTheDatabase(db);
    EXPECT_THROW(ctl.Init(), zonitra::InitError);  // no DroitsUtilisateur
    EXPECT_FALSE(ctl.State().files.secteur.has_value());

    ctl.SetDroitsUtilisateur(std::make_shared<services::DroitsUtilisateur>(*db, kChef));
    EXPECT_EQ(ctl.ModuleAccess()->Module(), "SECTEUR");
    EXPECT_EQ(ctl.ModuleAccess()->AccessLevel(), 2);
    // A broken level fails when set, and the rights held before stay.
    EXPECT_THROW(
        ctl.SetDroitsUtilisateur(std::make_shared<services::DroitsUtilisateur>(*db, kBroken)),
        services::RightsError);
    EXPECT_EQ(ctl.ModuleAccess()->AccessLevel(), 2);

    ctl.SetTheDatabase(nullptr);
    try {
        ctl.Init();
        ADD_FAILURE() << "Init succeeded without TheDatabase";
    } catch (const zonitra::InitError& error) {
        EXPECT_EQ(error.step(), "OpenFile SECTEUR");
        EXPECT_NE(std::string(error.what()).find("TheDatabase"), std::string::npos);
    }
}

TEST(Lifecycle, SortirIsTheHostsFlagAndEndingReleasesEverything) {
    QTemporaryDir dir;
    auto db = MakeDatabase(dir);
    auto rights = std::make_shared<services::DroitsUtilisateur>(*db, kChef);
    std::weak_ptr<services::DroitsUtilisateur> rightsHeld = rights;
    std::shared_ptr<zonitra::SharedState> state;
    {
        Ctr_Secteur ctl;
        EXPECT_EQ(ctl.G_SortirSecteur(), zonitra::kFalse);
        ctl.SetG_SortirSecteur(zonitra::kTrue);
        ctl.SetDroitsUtilisateur(std::exchange(rights, nullptr));
        ctl.SetTheDatabase(db);
        ctl.Init();
        ctl.Cacher_Agrement();
        EXPECT_EQ(ctl.G_SortirSecteur(), zonitra::kTrue);  // never reset by the control
        state = ctl.SharedStatePtr();
    }
    EXPECT_TRUE(rightsHeld.expired());
    EXPECT_EQ(db.use_count(), 1);
    EXPECT_FALSE(state->W_ListeAssociation || state->lists.secteur || state->W_Requete ||
                 state->compteur || state->files.secteur || state->files.compteur);
}

}  // namespace
