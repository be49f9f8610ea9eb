// The screen on the real widgets: places, captions, initial state, limits and
// the tab order the editor's logic depends on.

#include <algorithm>

#include "control/screen_model.h"
#include "fixture.h"
#include "forms/twips.h"

namespace {

using namespace control_test;

struct Placed {
    const char *name, *className, *container, *caption;
    int left, top, width, height;
};

// One of each kind, in each container.
const Placed kPlaced[] = {
    {"Cdr_Secteur", "forms::Frame", "Ctr_Secteur", "Secteur", 0, 0, 6975, 2055},
    {"Etq_NoAgrementSect", "forms::Label", "Cdr_Secteur", "Numéro Agrément", 240, 960, 735, 495},
    {"Txt_Dep", "forms::TextBox", "Cdr_Secteur", "", 6000, 1560, 495, 285},
    {"Cmd_AjouterSousSecteur", "forms::Button", "Cdr_SousSecteur", "Ajouter", 5880, 360, 855, 375},
    {"Cbo_LibCentreMedQuartier", "forms::ComboBox", "Cdr_Quartier", "", 2040, 1320, 3735, 315},
    {"Lig_Quartier", "forms::Line", "Cdr_Quartier", "", 240, 1080, 6360, 0},
    {"Cmd_Agrement", "forms::Button", "Ctr_Secteur", "Agrément Entité/Département", 120, 6000, 2295,
     375},
};

class ScreenLayout : public ::testing::TestWithParam<Placed> {};

TEST_P(ScreenLayout, ControlSitsInItsContainerAtItsPlace) {
    const Placed& p = GetParam();
    Editor ed;
    auto* w = ed.ctl->findChild<QWidget*>(p.name);
    ASSERT_NE(w, nullptr);
    EXPECT_STREQ(w->metaObject()->className(), p.className);
    EXPECT_EQ(NameOf(w->parentWidget()), p.container);
    const QVariant text = w->property(w->property("title").isValid() ? "title" : "text");
    EXPECT_EQ(text.toString(), QString::fromUtf8(p.caption));
    const QRect g = w->geometry();
    const double px = forms::PixelsToTwipsX(1, w);  // one pixel of rounding at each edge
    EXPECT_NEAR(forms::PixelsToTwipsX(g.x(), w), p.left, px);
    EXPECT_NEAR(forms::PixelsToTwipsY(g.y(), w), p.top, px);
    EXPECT_NEAR(forms::PixelsToTwipsX(g.width(), w), p.width, 2 * px);
    EXPECT_NEAR(forms::PixelsToTwipsY(g.height(), w), p.height, 2 * px);
}

INSTANTIATE_TEST_SUITE_P(Sample, ScreenLayout, ::testing::ValuesIn(kPlaced),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Screen, EveryControlOnceAndOnlyThreeHiddenTwoDisabled) {
    Editor ed;
    for (const zonitra::ControlDef& def : zonitra::ScreenModel()) {
        const auto name = QString::fromUtf8(def.name.data(), def.name.size());
        EXPECT_EQ(ed.ctl->findChildren<QObject*>(name).size(), 1) << def.name;
    }
    std::vector<std::string> hidden, disabled;
    for (QWidget* w : ed.ctl->findChildren<QWidget*>()) {
        // Qt's own inner widgets carry no name or a qt_ one.
        if (w->objectName().isEmpty() || w->objectName().startsWith("qt_")) continue;
        if (w->isHidden()) hidden.push_back(NameOf(w));
        if (!w->isEnabled()) disabled.push_back(NameOf(w));
    }
    std::sort(hidden.begin(), hidden.end());
    EXPECT_EQ(hidden,
              (std::vector<std::string>{"Cmd_AjouterAntMedQuartier", "Cmd_AjouterCentreMedQuartier",
                                        "Cmd_GestionDocumentaire", "Mnu_Aide"}));
    EXPECT_EQ(disabled, (std::vector<std::string>{"Cmd_Agrement", "Cmd_GestionDocumentaire"}));
    EXPECT_EQ(ed.ui().Mnu_Sommaire->text(), "Aide ORVANIS");
    EXPECT_NEAR(forms::PixelsToTwipsX(ed.ctl->sizeHint().width(), ed.ctl), 7020, 15);
}

TEST(Screen, TypingStopsAtEachFieldsLimit) {
    Editor ed;
    ed.ctl->Init();
    ASSERT_TRUE(ed.Show());
    for (auto [name, limit] : {std::pair{"Txt_CodeSecteur", 3},
                               {"Txt_NoAgrementSect", 25},
                               {"Txt_NumCRAM", 20},
                               {"Txt_Dep", 2},
                               {"Txt_DatAgrementSect", 30}}) {
        auto* box = ed.ctl->findChild<forms::TextBox*>(name);
        forms::SetFocus(box);
        // A code that exists, so that its lookup leaves it in place.
        QTest::keyClicks(box, "001" + QString(27, QChar('1')));
        EXPECT_EQ(box->Text().size(), limit) << name;
    }
}

// Names met by pressing Tab `count` times from `start`.
std::vector<std::string> Tabs(QWidget* start, int count) {
    forms::SetFocus(start);
    std::vector<std::string> seen;
    for (int i = 0; i < count; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen.push_back(NameOf(forms::FocusedControl()));
    }
    return seen;
}

TEST(Screen, TabFollowsTheTabOrderThroughWhatIsEnabled) {
    Editor ed;
    ed.ctl->Init();
    ASSERT_TRUE(ed.Show());
    const auto& ui = ed.ui();
    EXPECT_EQ(Tabs(ui.Txt_CodeSecteur, 8),
              (std::vector<std::string>{
                  "Cbo_LibSecteur", "Txt_NoAgrementSect", "Txt_DatAgrementSect", "Txt_NumCRAM",
                  "Txt_Dep", "Cmd_SortirSecteurGeo", "Cmd_AjouterSecteur", "Txt_CodeSecteur"}));
    ed.ctl->Voir_SousSecteur();
    ed.ctl->Voir_Quartier();
    ed.ctl->Voir_Ok();
    EXPECT_EQ(Tabs(ui.Txt_Dep, 2),
              (std::vector<std::string>{"Txt_CodeSousSecteur", "Cbo_LibSousSecteur"}));
    ed.ctl->Voir_Quartier();  // entering the sub-sector code closed it again
    EXPECT_EQ(Tabs(ui.Txt_CodeQuartier, 13),
              (std::vector<std::string>{
                  "Cbo_LibQuartier", "Txt_CodeCentreMedQuartier", "Cbo_LibCentreMedQuartier",
                  "Txt_CodeAntMedQuartier", "Cbo_LibAntMedQuartier", "Cmd_OkSecteurGeo",
                  "Cmd_AjouterQuartier", "Cmd_AjouterSousSecteur", "Cmd_AjouterSecteur",
                  "Cmd_AnnulerSecteurGeo", "Cmd_Adresse", "Txt_CodeSecteur", "Cbo_LibSecteur"}));
    forms::SetFocus(ui.Txt_CodeSecteur);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(NameOf(forms::FocusedControl()), "Cmd_Adresse");
}

}  // namespace
