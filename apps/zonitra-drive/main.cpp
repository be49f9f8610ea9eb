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
    "Plays the operator actions of SCRIPT (one a line) on the sector editor, offscreen,\n"
    "with real key and mouse events.\n"
    "  --db PATH    the SQLite database to open (it must exist), or a postgresql://\n"
    "               connection string\n"
    "  --user NAME  the user whose rights apply (default: the demo's MARTIN)\n"
    "  --centres    offer the two \"Ajouter\" buttons of the medical links\n"
    "  --documents  offer \"Gestion documentaire\"\n"
    "\n"
    "Script commands (NAME: a control of the open dialog, else of Ctr_Secteur, which\n"
    "is itself the name of the editor's background; blank lines and # comments skipped):\n"
    "  focus NAME          click into NAME (a button: pressed and released outside it,\n"
    "                      which focuses it without clicking it)\n"
    "  select NAME         Ctrl+A in NAME (focused first if needed)\n"
    "  type NAME TEXT      type TEXT at the caret of NAME (the rest of the line, spaces kept)\n"
    "  key NAME KEY        press KEY in NAME: Enter, Tab, BackTab, Backspace, Delete, Escape\n"
    "  clear NAME          Ctrl+A then Delete in NAME\n"
    "  click NAME          left click on NAME\n"
    "  rclick NAME         right click on NAME (a frame or Ctr_Secteur: the help menu)\n"
    "  choose NAME INDEX   open the drop-down list NAME and click its entry INDEX (from 0)\n"
    "  menu ENTRY          click the entry named ENTRY of the open pop-up menu\n"
    "  answer WORD...      queue the answers of the next message boxes: OK, Cancel, Abort,\n"
    "                      Retry, Ignore, Yes, No, TryAgain, Continue (a box with none\n"
    "                      queued takes its first button and is marked unanswered)\n"
    "  close FORM          close the open window FORM through the window system\n"
    "  state               print the state (below) as one JSON line\n"
    "  record FILE KEY     print the record KEY of FILE as a JSON line\n"
    "                      ({\"file\", \"key\", \"attributes\"}, or \"exists\": false)\n"
    "A command that fails prints {\"error\": \"...\", \"line\": N} (N: its line in the\n"
    "script) and the script goes on.\n"
    "\n"
    "state prints one JSON object:\n"
    "  form      the open dialog's name, else \"Ctr_Secteur\", null once the editor left\n"
    "  focus     the name of the control holding the focus, or null\n"
    "  pointer   \"hourglass\" or \"default\"\n"
    "  sortir    G_SortirSecteur (true once \"Sortir\" was pressed)\n"
    "  controls  {NAME: {text, enabled, visible[, items][, checked]}} for every control\n"
    "            of the form, in the screen's order (items: a list's entries, at most\n"
    "            the first 1000; a longer list also gets \"itemCount\", its true count)\n"
    "  messages  the message boxes shown since the last state: {text, title, style, icon,\n"
    "            buttons, answer, unanswered[, problem]}\n"
    "  writes    the records written since the last state: {file, key} (a write inside a\n"
    "            transaction once the transaction is committed)\n"
    "  help      the help topics shown since the last state: {page, letter, title}\n"
    "\n"
    "exit status: 0  every command ran\n"
    "             1  a command printed an error, or the editor could not start\n"
    "             2  a wrong command line\n";

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
