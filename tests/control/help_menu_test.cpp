// The help pop-up: which presses open it, and what choosing its entry asks
// of the help viewer.

#include <QApplication>

#include "fixture.h"
#include "forms/idle.h"
#include "forms/popupmenu.h"
#include "forms/twips.h"
#include "help/help_viewer.h"

namespace {

using control_test::Editor;
using control_test::Eventually;

// Where to press, in twips relative to the widget: a bare spot of it.
struct Spot {
    const char* target;
    int x, y;
};

class HelpMenu : public ::testing::Test {
protected:
    void SetUp() override {
        ed_.ctl().Init();
        // The lower frames take presses only when their level is open.
        ed_.ctl().Voir_SousSecteur();
        ed_.ctl().Voir_Quartier();
        ASSERT_TRUE(ed_.Show());
    }
    void TearDown() override {
        if (auto* menu = forms::PopupMenu::Open()) menu->close();
    }

    QWidget* Target(const char* name) {
        if (name == std::string("Ctr_Secteur")) return &ed_.ctl();
        return ed_.ctl().findChild<QWidget*>(name);
    }
    void Press(const Spot& spot, Qt::MouseButton button) {
        QWidget* w = Target(spot.target);
        ASSERT_NE(w, nullptr) << spot.target;
        const QPoint at(forms::TwipsToPixelsX(spot.x, w), forms::TwipsToPixelsY(spot.y, w));
        QTest::mouseClick(w, button, {}, at);
        forms::WaitIdle();
    }
    // Chooses the entry of the open menu with the mouse; the viewer then shows the page.
    void ChooseHelp() {
        forms::PopupMenu* menu = forms::PopupMenu::Open();
        ASSERT_NE(menu, nullptr);
        QAction* entry = menu->Entry("Mnu_Sommaire");
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
        forms::WaitIdle();
    }
    help::HelpViewer* Viewer() { return ed_.ctl().State().HelpIfCreated(); }

    Editor ed_;
};

class HelpMenuSpot : public HelpMenu, public ::testing::WithParamInterface<Spot> {};

TEST_P(HelpMenuSpot, RightClickOpensAideAndItsEntryShowsTheEditorsPage) {
    Press(GetParam(), Qt::RightButton);
    forms::PopupMenu* menu = forms::PopupMenu::Open();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), "Mnu_Aide");
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().front()->text(), "Aide ORVANIS");
    EXPECT_TRUE(menu->actions().front()->isEnabled());
    EXPECT_EQ(Viewer(), nullptr);  // created on first use only

    ChooseHelp();
    ASSERT_TRUE(Eventually([&] { return Viewer() && !Viewer()->Shown().empty(); }, "the page"));
    EXPECT_EQ(Viewer()->Shown().back(), (help::Topic{"Secteur.htm", "P", "Les Secteurs", ""}));
    EXPECT_EQ(Viewer()->Client(), ed_.client());
    EXPECT_EQ(Viewer()->Database(), ed_.dbPtr());
}

INSTANTIATE_TEST_SUITE_P(Spots, HelpMenuSpot,
                         ::testing::Values(Spot{"Ctr_Secteur", 3500, 5950},
                                           Spot{"Cdr_Secteur", 120, 1000},
                                           Spot{"Cdr_SousSecteur", 120, 500},
                                           Spot{"Cdr_Quartier", 120, 800}),
                         [](const auto& info) { return std::string(info.param.target); });

struct NoMenuCase {
    Spot spot;
    Qt::MouseButton button;
};

class NoHelpMenu : public HelpMenu, public ::testing::WithParamInterface<NoMenuCase> {};

TEST_P(NoHelpMenu, OtherPressesOpenNothing) {
    Press(GetParam().spot, GetParam().button);
    EXPECT_EQ(forms::PopupMenu::Open(), nullptr);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Presses, NoHelpMenu,
    ::testing::Values(NoMenuCase{{"Ctr_Secteur", 3500, 5950}, Qt::LeftButton},
                      NoMenuCase{{"Cdr_Secteur", 120, 1000}, Qt::MiddleButton},
                      NoMenuCase{{"Cdr_Quartier", 120, 800}, Qt::LeftButton},
                      NoMenuCase{{"Cmd_SortirSecteurGeo", 400, 180}, Qt::RightButton},
                      NoMenuCase{{"Cmd_AjouterQuartier", 400, 180}, Qt::RightButton},
                      NoMenuCase{{"Etq_CodeSecteur", 100, 100}, Qt::RightButton},
                      NoMenuCase{{"Txt_CodeSecteur", 100, 100}, Qt::RightButton},
                      NoMenuCase{{"Cbo_LibQuartier", 100, 100}, Qt::RightButton}));

TEST_F(HelpMenu, LaterRequestsReuseTheViewerAndHandItTheHostObjectsAgain) {
    Press({"Cdr_Secteur", 120, 1000}, Qt::RightButton);
    ChooseHelp();
    ASSERT_TRUE(Eventually([&] { return Viewer() != nullptr; }, "the viewer"));
    help::HelpViewer* first = Viewer();

    auto otherClient = std::make_shared<const std::string>("second client");
    ed_.ctl().SetTheClient(otherClient);
    Press({"Ctr_Secteur", 3500, 5950}, Qt::RightButton);
    ChooseHelp();
    ASSERT_TRUE(Eventually([&] { return Viewer()->Shown().size() == 2; }, "the second page"));
    EXPECT_EQ(Viewer(), first);
    EXPECT_EQ(Viewer()->Client(), zonitra::ClientObject(otherClient));
}

}  // namespace
