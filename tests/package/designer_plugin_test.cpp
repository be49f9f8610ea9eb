// The Designer plugin as Designer loads it: from the installed plugin folder,
// with the installed libraries it needs found from there.

#include <QDesignerCustomWidgetInterface>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>
#include <QWidget>
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

namespace {

QString InstalledPlugin() {
    const char* path = std::getenv("ZONITRA_TEST_PLUGIN");
    return path ? QString::fromLocal8Bit(path) : QString();
}

TEST(DesignerPlugin, LoadsFromTheInstalledFolderAndCreatesTheControl) {
    const QString path = InstalledPlugin();
    ASSERT_FALSE(path.isEmpty()) << "ZONITRA_TEST_PLUGIN names the installed plugin";
    QPluginLoader loader(path);
    ASSERT_TRUE(loader.load()) << loader.errorString().toStdString();
    auto* plugin = qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
    ASSERT_NE(plugin, nullptr) << "not a Designer custom widget";

    // What Designer writes into a .ui file must be what uic can build: the
    // class the plugin creates and a header installed next to the plugin.
    QWidget parent;
    std::unique_ptr<QWidget> widget(plugin->createWidget(&parent));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(plugin->name(), QString::fromLatin1(widget->metaObject()->className()));
    EXPECT_TRUE(plugin->domXml().contains(QStringLiteral("class=\"%1\"").arg(plugin->name())));
    // <prefix>/lib/qt6/plugins/designer/<plugin> -> <prefix>/include/zonitra/<header>
    QDir prefix = QFileInfo(path).dir();
    for (int up = 0; up < 4; ++up) prefix.cdUp();
    EXPECT_TRUE(QFileInfo::exists(prefix.filePath("include/zonitra/" + plugin->includeFile())))
        << plugin->includeFile().toStdString();
    EXPECT_FALSE(plugin->isContainer());

    // The real screen, at its design size, with nothing set by a host.
    EXPECT_NE(widget->findChild<QWidget*>(QStringLiteral("Cmd_SortirSecteurGeo")), nullptr);
    EXPECT_NE(widget->findChild<QWidget*>(QStringLiteral("Txt_CodeSecteur")), nullptr);
    EXPECT_EQ(widget->sizeHint(), widget->size());
}

}  // namespace
