// example-host [--db PATH] [--user NAME] [--smoke]
//
// A host window that holds the sector editor with a status line below it. The
// host hands the editor its three objects, calls Init, then shows the window.
// Without --db, a small database is made in a temporary folder.
// --smoke starts, presses "Sortir" as an operator would and exits 0 when the
// editor reported it (the signal and G_SortirSecteur) and closed the window.

#include <control/ctr_secteur.h>
#include <control/registry.h>
#include <kelmor/database.h>
#include <services/droits.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

namespace {

// The files Init opens, plus DROITS for the rights; one sector to browse.
std::shared_ptr<kelmor::Database> MakeDatabase(const std::string& path, const std::string& user) {
    auto db = kelmor::Database::OpenSqlite(path);
    for (const char* file : {"SECTEUR", "SOUSSECTEUR", "QUARTIER", "CENTREMEDICAL",
                             "ANTENNEMEDICALE", "ASSOCIATION", "COMPTEUR", "DROITS"})
        db->CreateFile(file);
    auto put = [&](const char* file, const char* key, int attr, const std::string& text) {
        kelmor::DbRecord record = db->OpenFile(file).NewRecord(key);
        record.Set(attr, text);
        record.DBWrite();
    };
    put("SECTEUR", "001", 1, "NORD");
    put("COMPTEUR", "999", 1, "1");
    kelmor::DbRecord rights = db->OpenFile("DROITS").NewRecord(user);
    rights.Set(1, "SECTEUR");
    rights.Set(2, "2");  // may create and modify
    rights.DBWrite();
    return db;
}

class HostWindow : public QMainWindow {
public:
    HostWindow() {
        setWindowTitle(QStringLiteral("Secteurs"));
        zonitra::RegisterServer();
        editor = qobject_cast<zonitra::Ctr_Secteur*>(
            zonitra::CreateComponent(zonitra::kSecteurComponentName, this));
        setCentralWidget(editor);
        statusBar()->showMessage(QStringLiteral("Prêt"));
        // "Sortir" closes this window next; a host with more on its window
        // could keep its own work instead.
        connect(editor, &zonitra::Ctr_Secteur::sortirRequested, this, [this] {
            sortirSignalled = true;
            statusBar()->showMessage(QStringLiteral("Sortie de l'éditeur"));
        });
    }

    zonitra::Ctr_Secteur* editor = nullptr;
    bool sortirSignalled = false;
};

}  // namespace

int main(int argc, char** argv) {
    std::string dbPath, user = "OPERATEUR";
    bool smoke = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--smoke")) {
            smoke = true;
        } else if ((!std::strcmp(argv[i], "--db") || !std::strcmp(argv[i], "--user")) &&
                   i + 1 < argc) {
            (argv[i][2] == 'd' ? dbPath : user) = argv[i + 1];
            ++i;
        } else {
            std::cerr << "usage: example-host [--db PATH] [--user NAME] [--smoke]\n";
            return 2;
        }
    }

    QApplication app(argc, argv);
    QTemporaryDir scratch;
    try {
        std::shared_ptr<kelmor::Database> db =
            dbPath.empty() ? MakeDatabase(scratch.filePath("secteurs.db").toStdString(), user)
                           : kelmor::Database::Open(dbPath, kelmor::OpenMode::MustExist);

        HostWindow window;
        // The calling order: rights, client, database, Init, then show.
        window.editor->SetDroitsUtilisateur(
            std::make_shared<services::DroitsUtilisateur>(*db, user));
        window.editor->SetTheClient(std::make_shared<const std::string>(user));
        window.editor->SetTheDatabase(db);
        window.editor->Init();
        window.show();

        if (smoke) {
            QTimer::singleShot(200, &window, [&window] {
                if (auto* sortir = window.findChild<QAbstractButton*>("Cmd_SortirSecteurGeo"))
                    sortir->click();
            });
            // A safety net: the smoke run never hangs.
            QTimer::singleShot(10000, &app, [] { QApplication::exit(3); });
        }
        QObject::connect(&app, &QApplication::lastWindowClosed, &app, &QApplication::quit);
        const int status = app.exec();
        const bool sortir = window.editor->G_SortirSecteur() != zonitra::kFalse;
        std::cout << "Sortir: " << (sortir ? "oui" : "non")
                  << ", signal: " << (window.sortirSignalled ? "oui" : "non") << '\n';
        if (smoke) return status == 0 && sortir && window.sortirSignalled ? 0 : 1;
        return status;
    } catch (const std::exception& e) {
        std::cerr << "example-host: " << e.what() << '\n';
        return 1;
    }
}
