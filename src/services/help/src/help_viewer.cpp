#include "help/help_viewer.h"

#include <QDir>
#include <QFile>

#include "help_window.h"

namespace help {
namespace {

const QString kResourceDir = QStringLiteral(":/help/");

}  // namespace

HelpViewer::HelpViewer(QObject* parent) : QObject(parent) {}

HelpViewer::~HelpViewer() = default;

void HelpViewer::SetClient(std::shared_ptr<const void> client) {
    client_ = std::move(client);
}

void HelpViewer::SetDatabase(std::shared_ptr<kelmor::Database> database) {
    database_ = std::move(database);
}

void HelpViewer::ShowTopic(const QString& page, const QString& letter, const QString& title,
                           const QString& extra) {
    if (letter != QLatin1String("P") && letter != QLatin1String("S"))
        throw HelpError("help window \"" + letter.toStdString() +
                        "\" does not exist (the windows are \"P\" and \"S\")");
    if (!HasPage(page))
        throw HelpError("help page \"" + page.toStdString() +
                        "\" is not among the bundled pages (" +
                        Pages().join(QStringLiteral(", ")).toStdString() + ")");
    WindowFor(letter)->ShowPage(page, title, extra);
    shown_.push_back(Topic{page, letter, title, extra});
    emit TopicShown(shown_.back());
}

QWidget* HelpViewer::Window(const QString& letter) const {
    if (letter == QLatin1String("P")) return main_.get();
    if (letter == QLatin1String("S")) return secondary_.get();
    return nullptr;
}

QTextBrowser* HelpViewer::Browser(const QString& letter) const {
    if (letter == QLatin1String("P")) return main_ ? main_->Browser() : nullptr;
    if (letter == QLatin1String("S")) return secondary_ ? secondary_->Browser() : nullptr;
    return nullptr;
}

QStringList HelpViewer::Pages() {
    return QDir(kResourceDir).entryList({QStringLiteral("*.htm")}, QDir::Files, QDir::Name);
}

bool HelpViewer::HasPage(const QString& page) {
    // A name with a path part could reach outside the pages (or the disk).
    if (page.isEmpty() || page.contains(QLatin1Char('/')) || page.contains(QLatin1Char('\\')))
        return false;
    return page.endsWith(QLatin1String(".htm")) && QFile::exists(kResourceDir + page);
}

HelpWindow* HelpViewer::WindowFor(const QString& letter) {
    auto& slot = letter == QLatin1String("P") ? main_ : secondary_;
    if (!slot) slot = std::make_unique<HelpWindow>(letter);
    return slot.get();
}

}  // namespace help
