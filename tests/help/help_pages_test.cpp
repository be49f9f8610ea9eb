// The bundled pages: present, decoded as UTF-8, titled, covering what the
// operator needs, and with no dead link or anchor.
#include <gtest/gtest.h>

#include <QFile>
#include <QSet>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

#include "help/help_viewer.h"

namespace {

using help::HelpViewer;

struct PageCase {
    const char* page;
    const char* heading;
    std::vector<const char*> mentions;  // texts the operator must find
};

void PrintTo(const PageCase& c, std::ostream* os) {
    *os << c.page;
}

QString U(const char* text) {
    return QString::fromUtf8(text);
}

// Loads a page the way the viewer's windows do.
std::unique_ptr<QTextBrowser> Load(const QString& page) {
    auto browser = std::make_unique<QTextBrowser>();
    browser->setSearchPaths({":/help"});
    browser->setSource(QUrl("qrc:/help/" + page));
    return browser;
}

QSet<QString> AnchorNames(QTextDocument* document) {
    QSet<QString> names;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            for (const QString& name : it.fragment().charFormat().anchorNames()) names << name;
    return names;
}

QStringList Hrefs(QTextDocument* document) {
    QStringList hrefs;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (const QString href = it.fragment().charFormat().anchorHref(); !href.isEmpty())
                hrefs << href;
    return hrefs;
}

TEST(HelpPagesTest, BundlesExactlyTheThreeScreensPages) {
    EXPECT_EQ(HelpViewer::Pages(),
              (QStringList{"Secteur.htm", "SecteurAdresse.htm", "SecteurAgrement.htm"}));
}

class HelpPageTest : public ::testing::TestWithParam<PageCase> {};

TEST_P(HelpPageTest, ReadsAsFrenchTextUnderItsTitle) {
    const PageCase& c = GetParam();
    auto browser = Load(c.page);
    const QString text = browser->toPlainText();
    EXPECT_TRUE(text.startsWith(U(c.heading))) << text.left(80).toStdString();
    EXPECT_EQ(browser->documentTitle(), U(c.heading));
    // A page read in the wrong encoding shows "Ã©" for "é".
    EXPECT_FALSE(text.contains(U("Ã"))) << c.page;
    EXPECT_FALSE(text.contains(QChar::ReplacementCharacter)) << c.page;
    for (const char* mention : c.mentions)
        EXPECT_TRUE(text.contains(U(mention))) << c.page << " lacks \"" << mention << '"';
}

TEST_P(HelpPageTest, EveryLinkReachesABundledPageAndAnExistingAnchor) {
    const PageCase& c = GetParam();
    auto browser = Load(c.page);
    const QStringList hrefs = Hrefs(browser->document());
    EXPECT_FALSE(hrefs.isEmpty()) << c.page;
    for (const QString& href : hrefs) {
        const QUrl target = browser->source().resolved(QUrl(href));
        const QString page = target.fileName();
        ASSERT_TRUE(HelpViewer::HasPage(page)) << c.page << ": " << href.toStdString();
        if (target.hasFragment()) {
            auto linked = Load(page);
            EXPECT_TRUE(AnchorNames(linked->document()).contains(target.fragment()))
                << c.page << ": no anchor " << href.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, HelpPageTest,
    ::testing::Values(
        PageCase{"Secteur.htm",
                 "Les Secteurs",
                 {"Numéro Agrément", "Numéro CRAM", "Département", "2A", "Centre Médical",
                  "Antenne Médicale", "Entrée", "7 devient 007", "3 devient 03",
                  "Quitter une zone enregistre sa valeur", "Ajouter", "OK", "Annuler",
                  "Etes-vous sûr de vouloir quitter cette création ?", "Sortir", "Aide ORVANIS"}},
        PageCase{"SecteurAdresse.htm",
                 "Adresse des Secteurs",
                 {"Adresse de l'association", "Ok", "Retour",
                  "Voulez-vous enregistrer les modifications apportées à cet article ?",
                  "Aide_ORVANIS"}},
        PageCase{"SecteurAgrement.htm",
                 "Agrément par entité",
                 {"Entité juridique", "Date d'agrément", "Numéro d'agrément", "7 devient 007",
                  "Supprimer", "Retour", "Voulez-vous supprimer cet agrément ?",
                  "La date d'agrément est obligatoire.", "Aide_ORVANIS"}}),
    [](const auto& info) { return QString(info.param.page).section('.', 0, 0).toStdString(); });

}  // namespace
