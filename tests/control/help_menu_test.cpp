// The help pop-up: which presses open it, and what its entry asks of the help
// viewer.

#include "fixture.h"
#include "forms/idle.h"
#include "forms/popupmenu.h"
#include "forms/twips.h"
#include "help/help_viewer.h"

namespace {

using namespace control_test;

struct Press {
    const char* target;  // "Ctr_Secteur" is the control's background
    int x, y;            // a bare spot of it, in twips
    Qt::MouseButton button = Qt::RightButton;
};

TEST(HelpMenu, RightClickOnBackgroundOrFrameOnlyOpensAideWhoseEntryShowsThePage) {
    Editor ed;
    ed.ctl->Init();
    ed.ctl->Voir_SousSecteur();  // a disabled frame takes no press
    ed.ctl->Voir_Quartier();
    ASSERT_TRUE(ed.Show());
    auto press = [&](const Press& p) {
        QWidget* w = p.target == std::string("Ctr_Secteur") ? &ed.editor()
                                                            : ed.ctl->findChild<QWidget*>(p.target);
        QTest::mouseClick(w, p.button, {},
                          {forms::TwipsToPixelsX(p.x, w), forms::TwipsToPixelsY(p.y, w)});
        forms::WaitIdle();
        return forms::PopupMenu::Open();
    };
    auto viewer = [&] { return ed.editor().State().HelpIfCreated(); };

    for (const Press& p :
         {Press{"Ctr_Secteur", 3500, 5950, Qt::LeftButton},
          Press{"Cdr_Quartier", 120, 800, Qt::LeftButton}, Press{"Cmd_SortirSecteurGeo", 400, 180},
          Press{"Etq_CodeSecteur", 100, 100}, Press{"Txt_CodeSecteur", 100, 100},
          Press{"Cbo_LibQuartier", 100, 100}}) {
        EXPECT_EQ(press(p), nullptr) << p.target << " " << p.button;
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << p.target;
    }
    EXPECT_EQ(viewer(), nullptr);  // created on first use only

    std::size_t shown = 0;  // a viewer made again would have shown fewer pages
    for (const Press& p : {Press{"Ctr_Secteur", 3500, 5950}, Press{"Cdr_Secteur", 120, 1000},
                           Press{"Cdr_SousSecteur", 120, 500}, Press{"Cdr_Quartier", 120, 800}}) {
        SCOPED_TRACE(p.target);
        forms::PopupMenu* menu = press(p);
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->actions().size(), 1);
        QAction* entry = menu->actions().front();
        EXPECT_EQ(NameOf(menu) + "/" + NameOf(entry), "Mnu_Aide/Mnu_Sommaire");
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
        ASSERT_TRUE(QTest::qWaitFor([&] { return viewer() && viewer()->Shown().size() > shown; }));
        ++shown;
        EXPECT_EQ(viewer()->Shown().back(), (help::Topic{"Secteur.htm", "P", "Les Secteurs", ""}));
        EXPECT_EQ(viewer()->Database(), ed.db);
    }
}

}  // namespace
