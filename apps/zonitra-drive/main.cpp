// zonitra-drive --db PATH [--user NAME] [--centres] [--documents] < script
//
// Runs the sector editor offscreen and plays the operator actions of the
// script read from standard input (see script.h for the commands).
// Exit status: 0 when every command ran, 1 when any printed an error or the
// editor could not be started, 2 for a wrong command line.

#include <control/ctr_secteur.h>

#include <QApplication>
#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "driver.h"
#include "host_database.h"

namespace {

constexpr const char* kUsage =
    "usage: zonitra-drive --db PATH [--user NAME] [--centres] [--documents] < SCRIPT\n"
    "Plays the operator actions of SCRIPT (one a line) on the sector editor, offscreen.\n"
    "  --db PATH    the SQLite database to open (it must exist), or a postgresql://\n"
    "               connection string\n"
    "  --user NAME  the user whose rights apply (default: the demo's MARTIN)\n"
    "  --centres    offer the two \"Ajouter\" buttons of the medical links\n"
    "  --documents  offer \"Gestion documentaire\"\n"
    "`state` prints at most the first 1000 entries of a drop-down list; a longer list\n"
    "also gets \"itemCount\", its true number of entries.\n";

struct Options {
    std::string db;
    std::string user = host::kDemoUser;
    bool centres = false;
    bool documents = false;
};

// Options, or the exit status when the command line is not to run.
std::variant<Options, int> Parse(const std::vector<std::string>& args) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--centres" || arg == "--documents") {
            (arg == "--centres" ? options.centres : options.documents) = true;
            continue;
        }
        if ((arg == "--db" || arg == "--user") && i + 1 < args.size()) {
            (arg == "--db" ? options.db : options.user) = args[++i];
            continue;
        }
        std::cerr << "zonitra-drive: unexpected argument \"" << arg << "\"\n" << kUsage;
        return 2;
    }
    if (options.db.empty()) {
        std::cerr << "zonitra-drive: --db PATH is required\n" << kUsage;
        return 2;
    }
    return options;
}

// The offscreen platform warns about every window operation it ignores
// (raise, keyboard grab...); those say nothing about the script.
QtMessageHandler g_defaultHandler = nullptr;

void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    if (g_defaultHandler) g_defaultHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    const auto parsed = Parse(std::vector<std::string>(argv + 1, argv + argc));
    if (const int* status = std::get_if<int>(&parsed)) return *status;
    const Options& options = std::get<Options>(parsed);

    // The operator is simulated: no window ever reaches a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_defaultHandler = qInstallMessageHandler(FilterMessages);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zonitra"));

    std::unique_ptr<drive::Driver> driver;
    try {
        std::shared_ptr<kelmor::Database> database = host::OpenExisting(options.db);
        host::RequireKnownUser(*database, options.user);
        driver = std::make_unique<drive::Driver>(drive::Record(std::move(database)), options.user);
        driver->Start();
        if (options.centres) driver->Editor()->OfferMedicalCentreEditor(true);
        if (options.documents) driver->Editor()->OfferDocumentSettings(true);
    } catch (const std::exception& e) {
        std::cout << drive::Json{{"error", e.what()}}.dump() << std::endl;
        return 1;
    }
    return driver->Play(std::cin, std::cout);
}
