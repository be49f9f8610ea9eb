// The screen's modes and tab order on the real widgets, the approvals button
// and the département check.

#include "fixture.h"

namespace {

using namespace control_test;
using C = zonitra::Ctr_Secteur;
using Names = std::vector<std::string>;

TEST(Screen, TabFollowsTheTabOrderThroughWhatIsEnabled) {
    Editor ed;
    ed.ctl->Init();
    ASSERT_TRUE(ed.Show());
    const auto& ui = ed.ui();
    auto Tabs = [](QWidget* start, int count) {  // names met pressing Tab `count` times
        forms::SetFocus(start);
        Names seen;
        while (count--) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen.push_back(NameOf(forms::FocusedControl()));
        }
        return seen;
    };
    EXPECT_EQ(Tabs(ui.Txt_CodeSecteur, 8),
              (Names{"Cbo_LibSecteur", "Txt_NoAgrementSect", "Txt_DatAgrementSect", "Txt_NumCRAM",
                     "Txt_Dep", "Cmd_SortirSecteurGeo", "Cmd_AjouterSecteur", "Txt_CodeSecteur"}));
    ed.ctl->Voir_SousSecteur();
    ed.ctl->Voir_Quartier();
    ed.ctl->Voir_Ok();
    EXPECT_EQ(Tabs(ui.Cbo_LibAntMedQuartier, 6),
              (Names{"Cmd_OkSecteurGeo", "Cmd_AjouterQuartier", "Cmd_AjouterSousSecteur",
                     "Cmd_AjouterSecteur", "Cmd_AnnulerSecteurGeo", "Cmd_Adresse"}));
}

// Some controls each level switches, its frame first.
const char* const kLevels[3][4] = {
    {"Cdr_Secteur", "Txt_CodeSecteur", "Txt_Dep", "Cmd_AjouterSecteur"},
    {"Cdr_SousSecteur", "Txt_CodeSousSecteur", "Cmd_Adresse", "Cmd_AjouterSousSecteur"},
    {"Cdr_Quartier", "Cbo_LibQuartier", "Txt_CodeAntMedQuartier", "Cmd_AjouterCentreMedQuartier"}};

// One editor through successive modes: what each level enables, and Sortir
// always the opposite of OK/Annuler.
TEST(Screen, ModesSwitchEveryLevelsControls) {
    using Step = void (C::*)();
    struct Mode {
        std::vector<Step> steps;
        bool levels[3], okAnnuler;
    };
    const Mode modes[] = {
        {{}, {true, false, false}, false},
        {{&C::Voir_SousSecteur, &C::Voir_Quartier}, {true, true, true}, false},
        {{&C::Cacher_Secteur, &C::Voir_Ok}, {false, true, true}, true},
        {{&C::Cacher_Ok, &C::Voir_Secteur, &C::Cacher_Quartier}, {true, true, false}, false}};
    Editor ed;
    ed.ctl->Init();
    for (const Mode& mode : modes) {
        SCOPED_TRACE(&mode - modes);  // the row
        for (Step step : mode.steps) (ed.ctl->*step)();
        for (int level = 0; level < 3; ++level)
            for (const char* name : kLevels[level]) {
                auto* w = ed.ctl->findChild<QWidget*>(name);
                ASSERT_NE(w, nullptr) << name;
                // The control's own state, not only the one its frame gives it.
                EXPECT_EQ(!w->testAttribute(Qt::WA_ForceDisabled), mode.levels[level]) << name;
            }
        EXPECT_EQ(ed.ui().Cmd_OkSecteurGeo->isEnabled(), mode.okAnnuler);
        EXPECT_EQ(ed.ui().Cmd_AnnulerSecteurGeo->isEnabled(), mode.okAnnuler);
        EXPECT_EQ(ed.ui().Cmd_SortirSecteurGeo->isEnabled(), !mode.okAnnuler);
        EXPECT_EQ(ed.ui().Lig_Quartier->DrawMode(), mode.levels[2] ? 13 : 4);
    }
}

TEST(Screen, ApprovalsButtonNeedsMoreThanOneLegalEntity) {
    for (int entities : {1, 2}) {
        Editor ed(kChef, entities);
        ed.ctl->Init();
        ed.ctl->Cacher_Agrement();
        EXPECT_EQ(ed.ui().Cmd_Agrement->isEnabled(), entities > 1) << entities;
        EXPECT_EQ(ed.editor().State().W_ListeAssociation->DCount(), entities);
    }
}

TEST(Departement, TestFlagsAnyCharacterOtherThanADigit) {
    Editor ed;
    ed.ctl->Init();
    for (auto [typed, flag] :
         {std::pair{"2A", zonitra::kTrue}, {"07", zonitra::kFalse}, {"/1", zonitra::kTrue}}) {
        ed.ui().Txt_Dep->SetText("");
        ed.editor().State().W_DepNonNumerique = zonitra::kTrue;  // Test clears it first
        QTest::keyClicks(ed.ui().Txt_Dep, typed);
        ed.ctl->Test();
        EXPECT_EQ(ed.editor().State().W_DepNonNumerique, flag) << typed;
    }
}

}  // namespace
