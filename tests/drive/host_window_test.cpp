// The demo host's window: the editor made by its registered name fills it, and
// whatever closes the window ("Sortir" unloading it, or the close box) tells
// the host once, leaving the editor readable for G_SortirSecteur.
#include <control/ctr_secteur.h>
#include <control/registry.h>
#include <control/screen_model.h>
#include <forms/form.h>
#include <forms/twips.h>
#include <gtest/gtest.h>

#include <QTest>
#include <QWindow>

#include "host_window.h"

namespace {

using host::HostWindow;

TEST(HostWindowTest, HoldsTheEditorMadeByItsRegisteredNameAtItsDesignSize) {
    HostWindow window;
    zonitra::Ctr_Secteur* editor = window.Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(window.centralWidget(), editor);
    EXPECT_EQ(editor->objectName(), "Ctr_Secteur");
    EXPECT_EQ(window.size(), QSize(forms::TwipsToPixelsX(zonitra::kDesignWidthTwips, editor),
                                   forms::TwipsToPixelsY(zonitra::kDesignHeightTwips, editor)));
}

TEST(HostWindowTest, UnloadingTheHostFormClosesItAndTellsTheHostOnce) {
    HostWindow window;
    int closed = 0;
    QObject::connect(&window, &HostWindow::Closed, [&] { ++closed; });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // What the editor's "Sortir" does: set its flag, then unload its host form.
    window.Editor()->SetG_SortirSecteur(zonitra::kTrue);
    EXPECT_TRUE(forms::UnloadWindowOf(window.Editor()));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(window.Editor()->G_SortirSecteur(), zonitra::kTrue);
}

TEST(HostWindowTest, TheCloseBoxClosesItWithoutSortir) {
    HostWindow window;
    int closed = 0;
    QObject::connect(&window, &HostWindow::Closed, [&] { ++closed; });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.windowHandle()->close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(window.Editor()->G_SortirSecteur(), zonitra::kFalse);
}

TEST(HostWindowTest, RegistersTheEditorsLibraryBeforeCreatingIt) {
    zonitra::UnregisterServer();
    HostWindow window;
    EXPECT_NE(window.Editor(), nullptr);
}

}  // namespace
