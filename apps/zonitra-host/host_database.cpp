#include "host_database.h"

#include <kelmor/database.h>
#include <services/jsonl.h>

#include <QStandardPaths>
#include <QString>
#include <fstream>
#include <system_error>

namespace host {
namespace fs = std::filesystem;

std::shared_ptr<kelmor::Database> OpenExisting(const fs::path& path) {
    const bool server = kelmor::Database::IsServerLocation(path.string());
    std::error_code ignored;
    // A directory or another kind of file is for the library to refuse.
    if (!server && !fs::exists(fs::symlink_status(path, ignored))) {
        throw SetupError("database " + path.string() + " does not exist",
                         "Le fichier de la base de données " + path.string() + " n'existe pas.");
    }
    try {
        return kelmor::Database::Open(path.string(), kelmor::OpenMode::MustExist);
    } catch (const kelmor::Error& e) {
        // A connection string may hold a password: the library's message names
        // the server database instead.
        throw SetupError(server ? std::string(e.what())
                                : "cannot open database " + path.string() + ": " + e.what(),
                         kelmor::FrenchMessage(e.number()));
    }
}

namespace {

void Load(kelmor::Database& db, const fs::path& jsonLines) {
    std::ifstream in(jsonLines);
    if (!in) throw SetupError("cannot read " + jsonLines.string());
    try {
        services::jsonl::StoreRecords(db, services::jsonl::ReadRecords(in, jsonLines.string()));
    } catch (const std::exception& e) {
        throw SetupError(e.what());
    }
}

void RemoveDatabaseFiles(const fs::path& database) {
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        fs::remove(fs::path(database.string() + suffix), ignored);
}

}  // namespace

void CreateFromJsonLines(const fs::path& database, const fs::path& jsonLines) {
    if (fs::exists(database)) throw SetupError("database " + database.string() + " already exists");
    // Loaded under another name and renamed at the end, so that an interrupted
    // first run never leaves a half-loaded demo database behind.
    const fs::path partial = database.string() + ".loading";
    RemoveDatabaseFiles(partial);
    try {
        auto db = kelmor::Database::OpenSqlite(partial.string(), kelmor::OpenMode::CreateIfMissing);
        Load(*db, jsonLines);
    } catch (const SetupError&) {
        RemoveDatabaseFiles(partial);
        throw;
    } catch (const std::exception& e) {
        RemoveDatabaseFiles(partial);
        throw SetupError("cannot create database " + database.string() + ": " + e.what());
    }
    std::error_code error;
    fs::rename(partial, database, error);
    if (error) {
        RemoveDatabaseFiles(partial);
        throw SetupError("cannot create database " + database.string() + ": " + error.message());
    }
}

fs::path DefaultDatabasePath() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dir.isEmpty()) throw SetupError("the user's data folder is unknown");
    return fs::path(dir.toStdString()) / "demo.sqlite";
}

fs::path DemoJsonLinesPath(const fs::path& programDir) {
    const fs::path besides = programDir / "demo.jsonl";
    if (fs::is_regular_file(besides)) return besides;
    const fs::path source = fs::path(ZONITRA_SOURCE_DIR) / "data" / "demo.jsonl";
    if (fs::is_regular_file(source)) return source;
    throw SetupError("demo data not found (looked for " + besides.string() + " and " +
                     source.string() + ")");
}

std::shared_ptr<kelmor::Database> OpenDefault(const fs::path& programDir) {
    const fs::path path = DefaultDatabasePath();
    if (!fs::exists(path)) {
        std::error_code error;
        fs::create_directories(path.parent_path(), error);
        if (error)
            throw SetupError("cannot create " + path.parent_path().string() + ": " +
                             error.message());
        CreateFromJsonLines(path, DemoJsonLinesPath(programDir));
    }
    return OpenExisting(path);
}

void RequireKnownUser(const kelmor::Database& database, const std::string& user) {
    const bool known = database.HasFile("DROITS") &&
                       database.OpenFile("DROITS").TryReadRecord(user).record.has_value();
    if (!known) {
        throw SetupError("unknown user \"" + user + "\": the DROITS file holds no rights for them",
                         "L'utilisateur « " + user + " » est inconnu.");
    }
}

}  // namespace host
