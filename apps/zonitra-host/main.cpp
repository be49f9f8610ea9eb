// zonitra-host [--db PATH] [--user NAME] [--centres] [--documents] [--screenshot FILE.png]
//
// The demo host: a window holding the sector editor. Without --db it uses the
// demo database of the user's data folder, created from data/demo.jsonl on the
// first run. Exit status: 0 when the operator left with "Sortir", 3 when the
// window was closed otherwise, 1 when the editor could not start (or the
// screenshot could not be written), 2 for a wrong command line.

#include <control/ctr_secteur.h>
#include <forms/msgbox.h>
#include <forms/qtuiservice.h>
#include <kelmor/error.h>
#include <services/droits.h>

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host_database.h"
#include "host_window.h"

namespace {

constexpr const char* kUsage =
    "usage: zonitra-host [--db PATH] [--user NAME] [--centres] [--documents]\n"
    "                    [--screenshot FILE.png]\n"
    "Opens the sector editor.\n"
    "  --db PATH    the SQLite database to open (it must exist), or a postgresql://\n"
    "               connection string; by default the demo database of the user's\n"
    "               data folder, loaded from demo.jsonl at first\n"
    "  --user NAME  the user whose rights apply (default: the demo's MARTIN); a user\n"
    "               the database does not know is refused (exit status 1)\n"
    "  --centres    offer the two \"Ajouter\" buttons of the medical links, which open\n"
    "               the medical-centre editor (only for a user allowed to modify)\n"
    "  --documents  offer \"Gestion documentaire\", which sets the sector's two\n"
    "               document folders\n"
    "  --screenshot FILE.png\n"
    "               once the editor is shown, save a picture of the window and quit\n"
    "exit status:\n"
    "  0  the operator left with \"Sortir\" (with --screenshot: the picture was saved)\n"
    "  1  the editor could not start, or the picture could not be written\n"
    "  2  a wrong command line\n"
    "  3  the window was closed other than with \"Sortir\"\n";

enum Exit : int { kSortir = 0, kFailed = 1, kUsageError = 2, kClosed = 3 };

struct Options {
    std::optional<std::string> db;
    std::string user = host::kDemoUser;
    std::optional<std::string> screenshot;
    bool centres = false;
    bool documents = false;
};

std::optional<Options> Parse(const std::vector<std::string>& args, int& status) {
    Options options;
    auto fail = [&status](const std::string& message) {
        std::cerr << "zonitra-host: " << message << '\n' << kUsage;
        status = kUsageError;
        return std::nullopt;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            status = 0;
            return std::nullopt;
        }
        if (arg == "--centres") {
            options.centres = true;
            continue;
        }
        if (arg == "--documents") {
            options.documents = true;
            continue;
        }
        // The options that take a value; another option in its place is a missing value.
        const std::pair<std::string_view, const char*> valued[] = {
            {"--db", "PATH"}, {"--user", "NAME"}, {"--screenshot", "FILE.png"}};
        const auto* option = std::find_if(std::begin(valued), std::end(valued),
                                          [&arg](const auto& v) { return v.first == arg; });
        if (option == std::end(valued)) return fail("unexpected argument \"" + arg + "\"");
        if (i + 1 >= args.size() || args[i + 1].empty() || args[i + 1].rfind("--", 0) == 0)
            return fail(arg + " needs a " + option->second);
        const std::string& value = args[++i];
        if (arg == "--db") {
            options.db = value;
        } else if (arg == "--user") {
            options.user = value;
        } else {
            options.screenshot = value;
        }
    }
    return options;
}

// The operator reads French (`french`, else a sentence for the library's error number,
// else the error's own text);
// the details go to the error output for whoever started us. A run that only takes a
// screenshot has nobody to close a message box.
int Fail(const QString& what, const std::exception& e, bool unattended,
         const std::string& french = {}) {
    std::cerr << "zonitra-host: " << what.toStdString() << ": " << e.what() << '\n';
    if (unattended) return kFailed;
    std::string said = french;
    if (said.empty()) {
        const auto* error = dynamic_cast<const kelmor::Error*>(&e);
        said = error ? kelmor::FrenchMessage(error->number()) : e.what();
    }
    forms::Ui().MsgBox(what + QStringLiteral(" :\r\n") + QString::fromStdString(said),
                       forms::vbOKOnly | forms::vbCritical, QStringLiteral("Message ORVANIS"));
    return kFailed;
}

// Saves the window as the operator sees it once it is painted.
int SaveScreenshot(QWidget& window, const std::string& file) {
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::cerr << "zonitra-host: the window was never shown\n";
        return kFailed;
    }
    QCoreApplication::processEvents();
    if (!window.grab().save(QString::fromStdString(file))) {
        std::cerr << "zonitra-host: cannot write " << file << '\n';
        return kFailed;
    }
    return kSortir;
}

}  // namespace

int main(int argc, char** argv) {
    // The command line first: --help and mistakes need no display.
    int status = 0;
    const std::optional<Options> options =
        Parse(std::vector<std::string>(argv + 1, argv + argc), status);
    if (!options) return status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zonitra"));

    forms::QtUiService ui;
    forms::ScopedUi scopedUi(ui);

    std::shared_ptr<kelmor::Database> database;
    try {
        const std::filesystem::path programDir =
            QCoreApplication::applicationDirPath().toStdString();
        database = options->db ? host::OpenExisting(*options->db) : host::OpenDefault(programDir);
    } catch (const host::SetupError& e) {
        return Fail(QStringLiteral("La base de données n'a pas pu être ouverte"), e,
                    options->screenshot.has_value(), e.French());
    } catch (const std::exception& e) {
        return Fail(QStringLiteral("La base de données n'a pas pu être ouverte"), e,
                    options->screenshot.has_value());
    }

    try {
        host::RequireKnownUser(*database, options->user);
    } catch (const host::SetupError& e) {
        return Fail(QStringLiteral("L'éditeur des secteurs n'a pas pu démarrer"), e,
                    options->screenshot.has_value(), e.French());
    } catch (const std::exception& e) {
        return Fail(QStringLiteral("L'éditeur des secteurs n'a pas pu démarrer"), e,
                    options->screenshot.has_value());
    }

    std::unique_ptr<host::HostWindow> window;
    try {
        window = std::make_unique<host::HostWindow>();
        zonitra::Ctr_Secteur& editor = *window->Editor();
        editor.SetDroitsUtilisateur(
            std::make_shared<services::DroitsUtilisateur>(*database, options->user));
        if (options->centres) editor.OfferMedicalCentreEditor(true);
        if (options->documents) editor.OfferDocumentSettings(true);
        editor.SetTheClient(std::make_shared<const host::ClientSession>(
            host::ClientSession{options->user, "zonitra-host"}));
        editor.SetTheDatabase(database);
        editor.Init();
        window->show();
    } catch (const std::exception& e) {
        return Fail(QStringLiteral("L'éditeur des secteurs n'a pas pu démarrer"), e,
                    options->screenshot.has_value());
    }

    if (options->screenshot) return SaveScreenshot(*window, *options->screenshot);

    // Help windows may still be open: the editor's window closing ends the program.
    QObject::connect(window.get(), &host::HostWindow::Closed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    app.exec();
    const bool sortir = window->Editor()->G_SortirSecteur() != zonitra::kFalse;
    window.reset();  // the editor ends (UserControl_Terminate) before the database
    return sortir ? kSortir : kClosed;
}
