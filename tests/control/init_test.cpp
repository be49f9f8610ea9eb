// Init and the host members: what the operator finds after Init for each
// access level, where Init stops when a step fails, and what the control
// releases when it ends.

#include <gtest/gtest.h>

#include "fixture.h"
#include "kelmor/database.h"

namespace {

using control_test::Editor;
using control_test::FixtureOptions;
using control_test::Items;
using zonitra::Ctr_Secteur;

struct RightsCase {
    std::string user;
    bool mayCreate;
};

class InitByRights : public ::testing::TestWithParam<RightsCase> {};

TEST_P(InitByRights, LeavesTheSectorLevelReadyAndHidesCreationWithoutLevel2) {
    Editor ed({}, GetParam().user);
    ASSERT_NO_THROW(ed.ctl().Init());
    const auto& ui = ed.ui();
    const bool shown = GetParam().mayCreate;
    const std::vector<QWidget*> creation{ui.Cmd_AjouterSecteur, ui.Cmd_AjouterSousSecteur,
                                         ui.Cmd_AjouterQuartier, ui.Cmd_OkSecteurGeo};
    for (QWidget* w : creation) {
        EXPECT_EQ(w->isHidden(), !shown) << control_test::NameOf(w);
    }
    // Hidden from the start whatever the rights, and Init does not show them.
    EXPECT_TRUE(ui.Cmd_AjouterCentreMedQuartier->isHidden());
    EXPECT_TRUE(ui.Cmd_AjouterAntMedQuartier->isHidden());
    EXPECT_TRUE(ui.Cmd_GestionDocumentaire->isHidden());

    EXPECT_TRUE(ui.Cdr_Secteur->isEnabled());
    EXPECT_TRUE(ui.Txt_CodeSecteur->isEnabled());
    EXPECT_FALSE(ui.Cdr_SousSecteur->isEnabled());
    EXPECT_FALSE(ui.Cdr_Quartier->isEnabled());
    EXPECT_FALSE(ui.Cmd_OkSecteurGeo->isEnabled());
    EXPECT_FALSE(ui.Cmd_AnnulerSecteurGeo->isEnabled());
    EXPECT_TRUE(ui.Cmd_SortirSecteurGeo->isEnabled());

    EXPECT_EQ(Items(ui.Cbo_LibSecteur), (std::vector<std::string>{"CENTRE", "ÉTANG", "NORD"}));
    EXPECT_EQ(Items(ui.Cbo_LibCentreMedQuartier), (std::vector<std::string>{"ARCHE", "LILAS"}));
    EXPECT_EQ(ui.Cbo_LibSecteur->Text(), "");

    const zonitra::SharedState& s = ed.ctl().State();
    EXPECT_EQ(s.W_NbSecteur, 3);
    EXPECT_EQ(s.lists.secteur->Get(1, 1), "002");
    ASSERT_TRUE(s.compteur.has_value());
    EXPECT_EQ(s.compteur->Key(), "999");
    EXPECT_TRUE(s.W_Requete.has_value());
    EXPECT_EQ(s.W_CreationSecteur, zonitra::kFalse);

    // Nothing shows a button hidden by the rights again.
    ed.ctl().Voir_Ok();
    EXPECT_EQ(ui.Cmd_OkSecteurGeo->isHidden(), !shown);
}

INSTANTIATE_TEST_SUITE_P(Users, InitByRights,
                         ::testing::Values(RightsCase{control_test::kChef, true},
                                           RightsCase{control_test::kAgent, false},
                                           RightsCase{"INCONNU", false}));

struct FailureCase {
    const char* label;
    FixtureOptions options;
    std::string step;
    std::int32_t number;
    int filesOpened;
};

class InitFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(InitFailure, StopsAtTheFailingStepAndNamesIt) {
    const FailureCase& c = GetParam();
    Editor ed(c.options);
    try {
        ed.ctl().Init();
        FAIL() << "Init succeeded";
    } catch (const zonitra::InitError& error) {
        EXPECT_EQ(error.step(), c.step);
        EXPECT_EQ(error.number(), c.number);
        EXPECT_NE(std::string(error.what()).find(c.step), std::string::npos) << error.what();
    }
    const zonitra::FileHandles& f = ed.ctl().State().files;
    const bool opened[] = {f.secteur.has_value(),         f.sousSecteur.has_value(),
                           f.quartier.has_value(),        f.centreMedical.has_value(),
                           f.antenneMedicale.has_value(), f.association.has_value(),
                           f.compteur.has_value()};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(opened[i], i < c.filesOpened) << "file " << i;
    // The steps after the failure did not run: no request array, no modes, no lists.
    EXPECT_FALSE(ed.ctl().State().W_Requete.has_value());
    EXPECT_TRUE(ed.ui().Cmd_OkSecteurGeo->isEnabled());
    EXPECT_TRUE(ed.ui().Cdr_SousSecteur->isEnabled());
    EXPECT_EQ(ed.ui().Cbo_LibSecteur->ListCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, InitFailure,
    ::testing::Values(
        FailureCase{
            "NoCounter999", {2, false, ""}, "ReadRecord COMPTEUR \"999\"", kelmor::kNotFound, 7},
        FailureCase{"NoSECTEUR", {2, true, "SECTEUR"}, "OpenFile SECTEUR", kelmor::kNoSuchFile, 0},
        FailureCase{"NoASSOCIATION",
                    {2, true, "ASSOCIATION"},
                    "OpenFile ASSOCIATION",
                    kelmor::kNoSuchFile,
                    5},
        FailureCase{
            "NoCOMPTEUR", {2, true, "COMPTEUR"}, "OpenFile COMPTEUR", kelmor::kNoSuchFile, 6}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(InitHostObjects, MissingObjectsAreNamed) {
    QTemporaryDir dir;
    auto db = control_test::MakeDatabase(dir);
    Ctr_Secteur noRights;
    noRights.SetTheDatabase(db);
    try {
        noRights.Init();
        FAIL() << "Init succeeded without DroitsUtilisateur";
    } catch (const zonitra::InitError& error) {
        EXPECT_EQ(error.step(), "Appliquer_Droits");
        EXPECT_NE(std::string(error.what()).find("DroitsUtilisateur"), std::string::npos);
    }
    EXPECT_FALSE(noRights.State().files.secteur.has_value());

    Ctr_Secteur noDatabase;
    noDatabase.SetDroitsUtilisateur(
        std::make_shared<services::DroitsUtilisateur>(*db, control_test::kChef));
    try {
        noDatabase.Init();
        FAIL() << "Init succeeded without TheDatabase";
    } catch (const zonitra::InitError& error) {
        EXPECT_EQ(error.step(), "OpenFile SECTEUR");
        EXPECT_NE(std::string(error.what()).find("TheDatabase"), std::string::npos);
    }
}

TEST(HostMembers, RightsAreAskedWhenDroitsUtilisateurIsSet) {
    QTemporaryDir dir;
    auto db = control_test::MakeDatabase(dir);
    Ctr_Secteur ctl;
    ctl.SetDroitsUtilisateur(
        std::make_shared<services::DroitsUtilisateur>(*db, control_test::kChef));
    ASSERT_TRUE(ctl.ModuleAccess().has_value());
    EXPECT_EQ(ctl.ModuleAccess()->Module(), "SECTEUR");
    EXPECT_EQ(ctl.ModuleAccess()->AccessLevel(), 2);
    // A broken level fails at once, and the rights held before stay.
    EXPECT_THROW(ctl.SetDroitsUtilisateur(
                     std::make_shared<services::DroitsUtilisateur>(*db, control_test::kBroken)),
                 services::RightsError);
    EXPECT_EQ(ctl.ModuleAccess()->AccessLevel(), 2);
}

TEST(HostMembers, SortirFlagIsTheHostsToReadAndWrite) {
    Editor ed;
    EXPECT_EQ(ed.ctl().G_SortirSecteur(), zonitra::kFalse);
    ed.ctl().SetG_SortirSecteur(zonitra::kTrue);
    ed.ctl().Init();
    EXPECT_EQ(ed.ctl().G_SortirSecteur(), zonitra::kTrue);
}

TEST(Lifecycle, EndingTheControlReleasesEveryObjectItHolds) {
    QTemporaryDir dir;
    auto db = control_test::MakeDatabase(dir);
    auto rights = std::make_shared<services::DroitsUtilisateur>(*db, control_test::kChef);
    std::weak_ptr<services::DroitsUtilisateur> rightsHeld = rights;
    std::shared_ptr<zonitra::SharedState> state;
    {
        Ctr_Secteur ctl;
        ctl.SetDroitsUtilisateur(rights);
        ctl.SetTheClient(std::make_shared<const int>(7));
        ctl.SetTheDatabase(db);
        ctl.Init();
        ctl.Cacher_Agrement();
        state = ctl.SharedStatePtr();
        rights.reset();
        ASSERT_EQ(db.use_count(), 2);
    }
    EXPECT_TRUE(rightsHeld.expired());
    EXPECT_EQ(db.use_count(), 1);
    EXPECT_FALSE(state->W_ListeAssociation || state->lists.secteur || state->lists.centreMedical ||
                 state->W_Requete || state->compteur || state->files.secteur ||
                 state->files.compteur || state->files.association);
}

}  // namespace
