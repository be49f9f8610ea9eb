// The help viewer: windows by letter, topics recorded, errors, navigation by
// real mouse clicks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <memory>

#include "help/help_viewer.h"

namespace {

using help::HelpError;
using help::HelpViewer;
using help::Topic;

// Where in the browser's viewport the link to `href` is drawn.
QPoint LinkPosition(QTextBrowser* browser, const QString& href) {
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref() != href) continue;
            QTextCursor cursor(browser->document());
            cursor.setPosition(fragment.position() + 1);
            browser->setTextCursor(cursor);
            browser->ensureCursorVisible();
            return browser->cursorRect(cursor).center();
        }
    }
    ADD_FAILURE() << "no link to " << href.toStdString();
    return {};
}

TEST(HelpViewerTest, WindowsAreCreatedOnFirstUseAndReusedPerLetter) {
    HelpViewer viewer;
    EXPECT_EQ(viewer.Window("P"), nullptr);
    EXPECT_EQ(viewer.Window("S"), nullptr);

    viewer.ShowTopic("Secteur.htm", "P", "Les Secteurs", "");
    QWidget* main = viewer.Window("P");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(viewer.Window("S"), nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->windowTitle(), "Les Secteurs");
    EXPECT_EQ(main->objectName(), "HelpWindow_P");

    viewer.ShowTopic("SecteurAdresse.htm", "S", "Adresse des Secteurs", "");
    QWidget* secondary = viewer.Window("S");
    ASSERT_NE(secondary, nullptr);
    EXPECT_NE(secondary, main);
    EXPECT_EQ(secondary->windowTitle(), "Adresse des Secteurs");
    EXPECT_EQ(viewer.Browser("P")->source().fileName(), "Secteur.htm");
    EXPECT_EQ(viewer.Browser("S")->source().fileName(), "SecteurAdresse.htm");

    viewer.ShowTopic("SecteurAgrement.htm", "S", "Agrément par entité", "");
    EXPECT_EQ(viewer.Window("S"), secondary);
    EXPECT_EQ(secondary->windowTitle(), QString::fromUtf8("Agrément par entité"));
    EXPECT_EQ(viewer.Browser("S")->source().fileName(), "SecteurAgrement.htm");
    EXPECT_EQ(viewer.Browser("P")->source().fileName(), "Secteur.htm");
}

TEST(HelpViewerTest, RecordsAndAnnouncesEveryTopicInOrder) {
    HelpViewer viewer;
    std::vector<Topic> announced;
    QObject::connect(&viewer, &HelpViewer::TopicShown,
                     [&](const Topic& topic) { announced.push_back(topic); });

    viewer.ShowTopic("Secteur.htm", "P", "Les Secteurs", "");
    viewer.ShowTopic("Secteur.htm", "P", "Les Secteurs", "");
    viewer.ShowTopic("SecteurAgrement.htm", "S", "Agrément par entité", "");

    const std::vector<Topic> expected{
        {"Secteur.htm", "P", "Les Secteurs", ""},
        {"Secteur.htm", "P", "Les Secteurs", ""},
        {"SecteurAgrement.htm", "S", QString::fromUtf8("Agrément par entité"), ""}};
    EXPECT_EQ(viewer.Shown(), expected);
    EXPECT_EQ(announced, expected);
}

struct BadTopic {
    const char* page;
    const char* letter;
    const char* named;  // what the error must name
};

void PrintTo(const BadTopic& c, std::ostream* os) {
    *os << c.page << " in " << c.letter;
}

class HelpViewerErrorTest : public ::testing::TestWithParam<BadTopic> {};

TEST_P(HelpViewerErrorTest, RefusesWithAnErrorNamingTheCauseAndShowsNothing) {
    const BadTopic& bad = GetParam();
    HelpViewer viewer;
    bool announced = false;
    QObject::connect(&viewer, &HelpViewer::TopicShown, [&] { announced = true; });
    try {
        viewer.ShowTopic(bad.page, bad.letter, "Titre", "");
        FAIL() << "no error for " << bad.page << " in " << bad.letter;
    } catch (const HelpError& error) {
        EXPECT_NE(std::string(error.what()).find(bad.named), std::string::npos) << error.what();
    }
    EXPECT_TRUE(viewer.Shown().empty());
    EXPECT_FALSE(announced);
    EXPECT_EQ(viewer.Window("P"), nullptr);
    EXPECT_EQ(viewer.Window("S"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Topics, HelpViewerErrorTest,
    ::testing::Values(BadTopic{"Inconnu.htm", "P", "\"Inconnu.htm\""},
                      BadTopic{"secteur.htm", "P", "\"secteur.htm\""}, BadTopic{"", "P", "\"\""},
                      BadTopic{"aide.css", "P", "\"aide.css\""},
                      BadTopic{"../help/Secteur.htm", "S", "\"../help/Secteur.htm\""},
                      BadTopic{"Secteur.htm", "X", "\"X\""}, BadTopic{"Secteur.htm", "", "\"\""},
                      BadTopic{"Secteur.htm", "p", "\"p\""}));

TEST(HelpViewerTest, HoldsTheLastClientAndDatabaseHandedToIt) {
    HelpViewer viewer;
    auto first = std::make_shared<int>(1);
    auto second = std::make_shared<std::string>("client");
    viewer.SetClient(first);
    EXPECT_EQ(viewer.Client().get(), first.get());
    viewer.SetClient(second);
    EXPECT_EQ(viewer.Client().get(), second.get());
    EXPECT_EQ(first.use_count(), 1);  // the replaced client is released
    viewer.SetDatabase(nullptr);
    EXPECT_EQ(viewer.Database(), nullptr);
}

TEST(HelpViewerTest, ExtraTextScrollsToThatPartOfThePage) {
    HelpViewer viewer;
    viewer.ShowTopic("Secteur.htm", "P", "Les Secteurs", "");
    QTextBrowser* browser = viewer.Browser("P");
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(viewer.Window("P")));
    EXPECT_EQ(browser->verticalScrollBar()->value(), 0);

    viewer.ShowTopic("Secteur.htm", "P", "Les Secteurs", "messages");
    EXPECT_EQ(browser->source().fragment(), "messages");
    EXPECT_GT(browser->verticalScrollBar()->value(), 0);
}

TEST(HelpViewerTest, LinksLeadToTheOtherPagesAndBackByClicks) {
    HelpViewer viewer;
    viewer.ShowTopic("Secteur.htm", "P", "Les Secteurs", "");
    QWidget* window = viewer.Window("P");
    QTextBrowser* browser = viewer.Browser("P");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    auto* back = window->findChild<QPushButton*>("Help_Precedent");
    auto* forward = window->findChild<QPushButton*>("Help_Suivant");
    ASSERT_NE(back, nullptr);
    ASSERT_NE(forward, nullptr);
    EXPECT_FALSE(back->isEnabled());

    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {},
                      LinkPosition(browser, "SecteurAdresse.htm"));
    EXPECT_EQ(browser->source().fileName(), "SecteurAdresse.htm");
    EXPECT_TRUE(back->isEnabled());

    QTest::mouseClick(back, Qt::LeftButton);
    EXPECT_EQ(browser->source().fileName(), "Secteur.htm");
    EXPECT_TRUE(forward->isEnabled());
    QTest::mouseClick(forward, Qt::LeftButton);
    EXPECT_EQ(browser->source().fileName(), "SecteurAdresse.htm");
    // Following a link is the operator's doing, not a request to the viewer.
    EXPECT_EQ(viewer.Shown().size(), 1u);
}

TEST(HelpViewerTest, NothingInTheHelpWindowTakesTheFocus) {
    QLineEdit field;
    field.show();
    field.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&field));
    field.setFocus();
    ASSERT_EQ(QApplication::focusWidget(), &field);

    HelpViewer viewer;
    viewer.ShowTopic("Secteur.htm", "P", "Les Secteurs", "");
    QWidget* window = viewer.Window("P");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QApplication::processEvents();
    QTest::mouseClick(viewer.Browser("P")->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseClick(window->findChild<QPushButton*>("Help_Suivant"), Qt::LeftButton);
    QApplication::processEvents();
    const QWidget* focus = QApplication::focusWidget();
    EXPECT_TRUE(focus == nullptr || focus == &field);
    EXPECT_TRUE(window->testAttribute(Qt::WA_ShowWithoutActivating));
}

TEST(HelpViewerTest, ClosedWindowComesBackOnTheNextRequest) {
    HelpViewer viewer;
    viewer.ShowTopic("SecteurAdresse.htm", "S", "Adresse des Secteurs", "");
    QWidget* window = viewer.Window("S");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QTest::mouseClick(window->findChild<QPushButton*>("Help_Fermer"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());

    viewer.ShowTopic("SecteurAdresse.htm", "S", "Adresse des Secteurs", "");
    EXPECT_EQ(viewer.Window("S"), window);
    EXPECT_TRUE(window->isVisible());
}

}  // namespace
