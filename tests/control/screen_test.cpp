// The screen: every control where the editor's operators expect it, with its
// caption, limits and tab order, checked on the real widgets.

#include <QApplication>
#include <QMetaObject>

#include <algorithm>

#include "control/screen_model.h"
#include "fixture.h"
#include "forms/focus.h"
#include "forms/twips.h"

namespace {

using control_test::Editor;
using control_test::NameOf;

struct Placed {
    const char* name;
    const char* className;
    const char* container;
    const char* caption;
    int left, top, width, height;
};

// A sample of every kind, container and row of the layout.
const Placed kPlaced[] = {
    {"Cdr_Secteur", "forms::Frame", "Ctr_Secteur", "Secteur", 0, 0, 6975, 2055},
    {"Etq_NoAgrementSect", "forms::Label", "Cdr_Secteur", "Numéro Agrément", 240, 960, 735, 495},
    {"Txt_CodeSecteur", "forms::TextBox", "Cdr_Secteur", "", 1560, 240, 495, 288},
    {"Cbo_LibSecteur", "forms::ComboBox", "Cdr_Secteur", "", 1560, 600, 4215, 315},
    {"Cmd_Adresse", "forms::Button", "Cdr_Secteur", "Adresse", 5880, 720, 855, 375},
    {"Txt_Dep", "forms::TextBox", "Cdr_Secteur", "", 6000, 1560, 495, 285},
    {"Cdr_SousSecteur", "forms::Frame", "Ctr_Secteur", "Sous-Secteur", 0, 2160, 6975, 972},
    {"Cmd_AjouterSousSecteur", "forms::Button", "Cdr_SousSecteur", "Ajouter", 5880, 360, 855, 375},
    {"Cdr_Quartier", "forms::Frame", "Ctr_Secteur", "Quartier", 0, 3240, 6975, 2655},
    {"Etq_AntMedQuartier", "forms::Label", "Cdr_Quartier", "Antenne Médicale", 240, 1920, 1335,
     255},
    {"Cbo_LibCentreMedQuartier", "forms::ComboBox", "Cdr_Quartier", "", 2040, 1320, 3735, 315},
    {"Lig_Quartier", "forms::Line", "Cdr_Quartier", "", 240, 1080, 6360, 0},
    {"Cmd_Agrement", "forms::Button", "Ctr_Secteur", "Agrément Entité/Département", 120, 6000, 2295,
     375},
    {"Cmd_SortirSecteurGeo", "forms::Button", "Ctr_Secteur", "Sortir", 6120, 6000, 855, 375},
};

QString CaptionOf(const QWidget* w) {
    const QVariant text = w->property("text");
    if (text.isValid()) return text.toString();
    return w->property("title").toString();
}

class ScreenLayout : public ::testing::TestWithParam<Placed> {};

TEST_P(ScreenLayout, ControlSitsInItsContainerAtItsPlace) {
    const Placed& p = GetParam();
    Editor ed;
    auto* w = ed.ctl().findChild<QWidget*>(p.name);
    ASSERT_NE(w, nullptr) << p.name;
    EXPECT_STREQ(w->metaObject()->className(), p.className);
    EXPECT_EQ(NameOf(w->parentWidget()), p.container);
    if (p.className != std::string("forms::Line")) {
        EXPECT_EQ(CaptionOf(w), QString::fromUtf8(p.caption));
    }
    // One pixel of rounding either way.
    const QRect g = w->geometry();
    const double px = forms::PixelsToTwipsX(1, w);
    EXPECT_NEAR(forms::PixelsToTwipsX(g.x(), w), p.left, px);
    EXPECT_NEAR(forms::PixelsToTwipsY(g.y(), w), p.top, px);
    EXPECT_NEAR(forms::PixelsToTwipsX(g.width(), w), p.width, 2 * px);
    EXPECT_NEAR(forms::PixelsToTwipsY(g.height(), w), p.height, 2 * px);
}

INSTANTIATE_TEST_SUITE_P(Sample, ScreenLayout, ::testing::ValuesIn(kPlaced),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Screen, EveryControlOfTheModelIsBuiltOnceUnderItsName) {
    Editor ed;
    int widgets = 0;
    for (const zonitra::ControlSpec& spec : zonitra::ScreenModel()) {
        const QString name = QString::fromUtf8(spec.name.data(), spec.name.size());
        const auto found = ed.ctl().findChildren<QObject*>(name);
        EXPECT_EQ(found.size(), 1) << spec.name;
        if (spec.kind != zonitra::ControlKind::Menu && spec.kind != zonitra::ControlKind::MenuEntry)
            ++widgets;
    }
    EXPECT_EQ(widgets, 41);
    EXPECT_NEAR(forms::PixelsToTwipsX(ed.ctl().sizeHint().width(), &ed.ctl()), 7020, 15);
    EXPECT_NEAR(forms::PixelsToTwipsY(ed.ctl().sizeHint().height(), &ed.ctl()), 6480, 15);
}

TEST(Screen, StartsWithThreeButtonsHiddenAndTwoDisabled) {
    Editor ed;
    const auto& ui = ed.ui();
    std::vector<std::string> hidden, disabled;
    for (QWidget* w : ed.ctl().findChildren<QWidget*>()) {
        // Only the screen's controls: Qt's own inner widgets carry no name or a qt_ one.
        if (w->objectName().isEmpty() || w->objectName().startsWith("qt_")) continue;
        if (w->isHidden()) hidden.push_back(NameOf(w));
        if (!w->isEnabled()) disabled.push_back(NameOf(w));
    }
    std::sort(hidden.begin(), hidden.end());
    std::sort(disabled.begin(), disabled.end());
    EXPECT_EQ(hidden,
              (std::vector<std::string>{"Cmd_AjouterAntMedQuartier", "Cmd_AjouterCentreMedQuartier",
                                        "Cmd_GestionDocumentaire", "Mnu_Aide"}));
    EXPECT_EQ(disabled, (std::vector<std::string>{"Cmd_Agrement", "Cmd_GestionDocumentaire"}));
    EXPECT_EQ(ui.Mnu_Aide->title(), "Aide");
    EXPECT_EQ(ui.Mnu_Sommaire->text(), "Aide ORVANIS");
}

struct Typed {
    const char* field;
    int length;
};

class MaxLength : public ::testing::TestWithParam<Typed> {};

TEST_P(MaxLength, TypingStopsAtTheFieldsLimit) {
    Editor ed;
    ed.ctl().Init();
    ASSERT_TRUE(ed.Show());
    auto* box = ed.ctl().findChild<forms::TextBox*>(GetParam().field);
    ASSERT_NE(box, nullptr);
    forms::SetFocus(box);
    QTest::keyClicks(box, QString(40, QChar('1')));
    EXPECT_EQ(box->Text().size(), GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(Fields, MaxLength,
                         ::testing::Values(Typed{"Txt_CodeSecteur", 3},
                                           Typed{"Txt_NoAgrementSect", 25},
                                           Typed{"Txt_NumCRAM", 20}, Typed{"Txt_Dep", 2},
                                           Typed{"Txt_DatAgrementSect", 40}),
                         [](const auto& info) { return std::string(info.param.field); });

// Tab from the sector code, as far as it goes before coming back.
std::vector<std::string> TabCycle() {
    std::vector<std::string> seen{NameOf(forms::FocusedControl())};
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const std::string name = NameOf(forms::FocusedControl());
        if (name == seen.front()) break;
        seen.push_back(name);
    }
    return seen;
}

TEST(TabOrder, AfterInitTabVisitsOnlyTheSectorLevelAndItsButtons) {
    Editor ed;
    ed.ctl().Init();
    ASSERT_TRUE(ed.Show());
    EXPECT_EQ(TabCycle(),
              (std::vector<std::string>{"Txt_CodeSecteur", "Cbo_LibSecteur", "Txt_NoAgrementSect",
                                        "Txt_DatAgrementSect", "Txt_NumCRAM", "Txt_Dep",
                                        "Cmd_SortirSecteurGeo", "Cmd_AjouterSecteur"}));
}

TEST(TabOrder, WithEveryLevelOpenTabFollowsTheScreensOrder) {
    Editor ed;
    ed.ctl().Init();
    ed.ctl().Voir_SousSecteur();
    ed.ctl().Voir_Quartier();
    ed.ctl().Voir_Ok();
    ASSERT_TRUE(ed.Show());
    EXPECT_EQ(TabCycle(), (std::vector<std::string>{"Txt_CodeSecteur",
                                                    "Cbo_LibSecteur",
                                                    "Txt_NoAgrementSect",
                                                    "Txt_DatAgrementSect",
                                                    "Txt_NumCRAM",
                                                    "Txt_Dep",
                                                    "Txt_CodeSousSecteur",
                                                    "Cbo_LibSousSecteur",
                                                    "Txt_CodeQuartier",
                                                    "Cbo_LibQuartier",
                                                    "Txt_CodeCentreMedQuartier",
                                                    "Cbo_LibCentreMedQuartier",
                                                    "Txt_CodeAntMedQuartier",
                                                    "Cbo_LibAntMedQuartier",
                                                    "Cmd_OkSecteurGeo",
                                                    "Cmd_AjouterQuartier",
                                                    "Cmd_AjouterSousSecteur",
                                                    "Cmd_AjouterSecteur",
                                                    "Cmd_AnnulerSecteurGeo",
                                                    "Cmd_Adresse"}));
    // Shift+Tab goes the other way.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(NameOf(forms::FocusedControl()), "Cmd_Adresse");
}

}  // namespace
