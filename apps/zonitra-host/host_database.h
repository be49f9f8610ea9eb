#pragma once
// The database a host hands to the editor: an existing file named by the
// operator, or the demo database kept in the user's data folder and loaded
// from the demo JSON lines the first time.

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

namespace kelmor {
class Database;
}

namespace host {

// The demo's user allowed to create and change sectors.
inline constexpr const char* kDemoUser = "MARTIN";

// What a host hands over as TheClient: the editor only passes it on (to the
// help display and the medical-centre editor).
struct ClientSession {
    std::string user;
    std::string program;
};

// what(): the details, for the error output. French(): what the operator is
// told, empty when the caller's general sentence says it all.
class SetupError : public std::runtime_error {
public:
    explicit SetupError(const std::string& what, std::string french = {})
        : std::runtime_error(what), french_(std::move(french)) {}
    const std::string& French() const noexcept { return french_; }

private:
    std::string french_;
};

// Opens an existing SQLite database, or the PostgreSQL database of a
// postgresql:// connection string; SetupError naming it otherwise.
std::shared_ptr<kelmor::Database> OpenExisting(const std::filesystem::path& path);

// Creates `database` and stores every record of `jsonLines` in it, creating
// the files named there, all in one transaction. On any failure nothing is
// left behind and SetupError names the file and line at fault.
void CreateFromJsonLines(const std::filesystem::path& database,
                         const std::filesystem::path& jsonLines);

// demo.sqlite in the user's data folder (QStandardPaths::AppDataLocation).
std::filesystem::path DefaultDatabasePath();

// data/demo.jsonl: beside the program (installed copy), else in the source
// tree the program was built from. SetupError when neither exists.
std::filesystem::path DemoJsonLinesPath(const std::filesystem::path& programDir);

// SetupError naming `user` when the database's DROITS file holds no rights
// for them: an unknown user is refused, never let in with no rights.
void RequireKnownUser(const kelmor::Database& database, const std::string& user);

// The default database, created and loaded on first use.
std::shared_ptr<kelmor::Database> OpenDefault(const std::filesystem::path& programDir);

}  // namespace host
