// The help viewer: one window per letter, topics recorded in order, errors
// naming a bad page or letter, and the bundled pages readable as French.
#include <gmock/gmock.h>

#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>

#include "help/help_viewer.h"

namespace {

using help::HelpViewer;
using help::Topic;

TEST(HelpViewer, ShowsEachLetterInItsOwnReusedWindowAndRecordsTopics) {
    HelpViewer viewer;
    std::vector<Topic> announced;
    QObject::connect(&viewer, &HelpViewer::TopicShown,
                     [&](const Topic& t) { announced.push_back(t); });
    EXPECT_EQ(viewer.Window("P"), nullptr);

    viewer.ShowTopic("Secteur.htm", "P", "Les Secteurs", "");
    QWidget* main = viewer.Window("P");
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->windowTitle(), "Les Secteurs");
    EXPECT_EQ(viewer.Window("S"), nullptr);

    viewer.ShowTopic("SecteurAdresse.htm", "S", "Adresse des Secteurs", "");
    QWidget* secondary = viewer.Window("S");
    ASSERT_NE(secondary, nullptr);
    EXPECT_NE(secondary, main);
    viewer.ShowTopic("SecteurAgrement.htm", "S", "Agrément par entité", "");
    EXPECT_EQ(viewer.Window("S"), secondary);
    EXPECT_EQ(secondary->windowTitle(), QString::fromUtf8("Agrément par entité"));
    EXPECT_EQ(viewer.Browser("S")->source().fileName(), "SecteurAgrement.htm");
    EXPECT_EQ(viewer.Browser("P")->source().fileName(), "Secteur.htm");

    const std::vector<Topic> expected{
        {"Secteur.htm", "P", "Les Secteurs", ""},
        {"SecteurAdresse.htm", "S", "Adresse des Secteurs", ""},
        {"SecteurAgrement.htm", "S", QString::fromUtf8("Agrément par entité"), ""}};
    EXPECT_EQ(viewer.Shown(), expected);
    EXPECT_EQ(announced, expected);
}

TEST(HelpViewer, ExtraTextScrollsToThatPartOfThePage) {
    HelpViewer viewer;
    viewer.ShowTopic("Secteur.htm", "P", "Les Secteurs", "");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer.Window("P")));
    EXPECT_EQ(viewer.Browser("P")->verticalScrollBar()->value(), 0);
    viewer.ShowTopic("Secteur.htm", "P", "Les Secteurs", "messages");
    EXPECT_EQ(viewer.Browser("P")->source().fragment(), "messages");
    EXPECT_GT(viewer.Browser("P")->verticalScrollBar()->value(), 0);
}

TEST(HelpViewer, UnknownPageOrLetterIsAnErrorNamingItAndShowsNothing) {
    const std::vector<std::pair<const char*, const char*>> bad = {
        {"Inconnu.htm", "P"},         {"secteur.htm", "P"}, {"", "P"},
        {"../help/Secteur.htm", "S"}, {"Secteur.htm", "X"}, {"Secteur.htm", ""}};
    for (const auto& [page, letter] : bad) {
        HelpViewer viewer;
        const std::string named = std::string(page) == "Secteur.htm" ? letter : page;
        EXPECT_THAT([&] { viewer.ShowTopic(page, letter, "Titre", ""); },
                    testing::ThrowsMessage<help::HelpError>(testing::HasSubstr('"' + named + '"')));
        EXPECT_TRUE(viewer.Shown().empty());
        EXPECT_EQ(viewer.Window("P"), nullptr);
        EXPECT_EQ(viewer.Window("S"), nullptr);
    }
}

TEST(HelpPages, AreBundledAndReadAsFrenchUnderTheirTitle) {
    const std::vector<std::pair<QString, QString>> pages = {
        {"Secteur.htm", "Les Secteurs"},
        {"SecteurAdresse.htm", "Adresse des Secteurs"},
        {"SecteurAgrement.htm", QString::fromUtf8("Agrément par entité")}};
    ASSERT_EQ(HelpViewer::Pages().size(), static_cast<qsizetype>(pages.size()));
    for (const auto& [page, heading] : pages) {
        QTextBrowser browser;
        browser.setSource(QUrl("qrc:/help/" + page));
        const QString text = browser.toPlainText();
        EXPECT_TRUE(HelpViewer::HasPage(page)) << page.toStdString();
        EXPECT_EQ(browser.documentTitle(), heading);
        EXPECT_TRUE(text.startsWith(heading)) << text.left(80).toStdString();
        // A page read in the wrong encoding shows "Ã©" for "é".
        EXPECT_FALSE(text.contains(QString::fromUtf8("Ã")) ||
                     text.contains(QChar::ReplacementCharacter));
    }
}

}  // namespace
