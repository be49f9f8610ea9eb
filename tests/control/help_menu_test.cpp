// The help pop-up: which presses open it, and what its entry asks of the help
// viewer.

#include "fixture.h"
#include "forms/idle.h"
#include "forms/popupmenu.h"
#include "forms/twips.h"
#include "help/help_viewer.h"

namespace {

using namespace control_test;

struct Spot {
    const char* target;  // "Ctr_Secteur" is the control's background
    int x, y;            // a bare spot of it, in twips
};

class HelpMenu : public ::testing::Test {
protected:
    void SetUp() override {
        ed_.ctl->Init();
        ed_.ctl->Voir_SousSecteur();  // a disabled frame takes no press
        ed_.ctl->Voir_Quartier();
        ASSERT_TRUE(ed_.Show());
    }
    void TearDown() override {
        if (auto* menu = forms::PopupMenu::Open()) menu->close();
    }
    // Presses on the spot; the menu that opened, or nullptr.
    forms::PopupMenu* Press(const Spot& spot, Qt::MouseButton button) {
        QWidget* w = spot.target == std::string("Ctr_Secteur")
                         ? ed_.ctl
                         : ed_.ctl->findChild<QWidget*>(spot.target);
        QTest::mouseClick(w, button, {},
                          {forms::TwipsToPixelsX(spot.x, w), forms::TwipsToPixelsY(spot.y, w)});
        forms::WaitIdle();
        return forms::PopupMenu::Open();
    }
    help::HelpViewer* Viewer() { return ed_.ctl->State().HelpIfCreated(); }

    Editor ed_;
};

TEST_F(HelpMenu, RightClickOnBackgroundOrFrameOpensAideAndItsEntryShowsThePage) {
    const Spot spots[] = {{"Ctr_Secteur", 3500, 5950},
                          {"Cdr_Secteur", 120, 1000},
                          {"Cdr_SousSecteur", 120, 500},
                          {"Cdr_Quartier", 120, 800}};
    help::HelpViewer* first = nullptr;
    std::size_t shown = 0;
    for (const Spot& spot : spots) {
        SCOPED_TRACE(spot.target);
        forms::PopupMenu* menu = Press(spot, Qt::RightButton);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(NameOf(menu), "Mnu_Aide");
        ASSERT_EQ(menu->actions().size(), 1);
        QAction* entry = menu->actions().front();
        EXPECT_TRUE(entry->isEnabled() && entry->objectName() == "Mnu_Sommaire");
        if (!first) {
            EXPECT_EQ(Viewer(), nullptr);  // created on first use only
        }

        auto client = std::make_shared<const int>(static_cast<int>(shown));
        ed_.ctl->SetTheClient(client);  // handed again at every request
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
        ASSERT_TRUE(
            Eventually([&] { return Viewer() && Viewer()->Shown().size() > shown; }, "the page"));
        ++shown;
        if (!first) first = Viewer();
        EXPECT_EQ(Viewer(), first);
        EXPECT_EQ(Viewer()->Shown().back(), (help::Topic{"Secteur.htm", "P", "Les Secteurs", ""}));
        EXPECT_EQ(Viewer()->Client(), zonitra::ClientObject(client));
        EXPECT_EQ(Viewer()->Database(), ed_.db);
    }
}

TEST_F(HelpMenu, OtherButtonsAndOtherControlsOpenNothing) {
    const std::pair<Spot, Qt::MouseButton> presses[] = {
        {{"Ctr_Secteur", 3500, 5950}, Qt::LeftButton},
        {{"Cdr_Secteur", 120, 1000}, Qt::MiddleButton},
        {{"Cdr_Quartier", 120, 800}, Qt::LeftButton},
        {{"Cmd_SortirSecteurGeo", 400, 180}, Qt::RightButton},
        {{"Cmd_AjouterQuartier", 400, 180}, Qt::RightButton},
        {{"Etq_CodeSecteur", 100, 100}, Qt::RightButton},
        {{"Txt_CodeSecteur", 100, 100}, Qt::RightButton},
        {{"Cbo_LibQuartier", 100, 100}, Qt::RightButton}};
    for (const auto& [spot, button] : presses) {
        EXPECT_EQ(Press(spot, button), nullptr) << spot.target << " " << button;
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << spot.target;
    }
    EXPECT_EQ(Viewer(), nullptr);
}

}  // namespace
