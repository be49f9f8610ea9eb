#include "kelmor_command.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string_view>

#include "copy_command.h"
#include "generator.h"
#include "kelmor/backend.h"
#include "kelmor/database.h"
#include "services/jsonl.h"

namespace kelmor_cli {

namespace {

namespace fs = std::filesystem;
namespace jsonl = services::jsonl;

constexpr std::string_view kUsageText = R"(usage: kelmor DB COMMAND [ARGUMENTS]

DB is the path of a database file (SQLite), or a postgresql:// connection
string naming a database of a PostgreSQL server (which must exist; create,
load, generate and copy make its tables when it has none, the others refuse
it). Only create, load, generate and copy make a new database, and only where
no file is (or, on a server, in a database that holds no tables); no command
ever changes a file or server database that is not a Kelmor database.

commands:
  create FILE...          create these files (those that exist are kept)
  load FILE.jsonl         store every record of a JSON lines file, creating
                          missing files; records with the same key replace
                          the stored ones; nothing is stored if a line is bad
  dump [FILE...]          print the records of these files (default: all),
                          files by name, records by key, one JSON line each
  read FILE KEY           print one record as a JSON line
  query "QUERY" [COLUMNS] print one JSON array per row; QUERY such as
                          "SSELECT SECTEUR PAR 1", COLUMNS such as "0 1"
                          (0 = key; default: the key alone)
  copy DST                copy every file and record of DB into the empty
                          database DST (SQLite or PostgreSQL), with the
                          counted key prefixes of each file, then check
                          that both hold the same records (count and SHA-256
                          per file); nothing is stored if they differ
  generate S U N USER     make a new database of S sectors (1-999), each of
                          U sub-sectors (1-99), each of N neighbourhoods
                          (1-99), with 100 medical centres of 10 antennas,
                          20 legal entities, the COMPTEUR record "999", and
                          access level 2 to SECTEUR for USER; deterministic;
                          counts the key prefixes SOUSSECTEUR 3, QUARTIER 3
                          and QUARTIER 5 (see count-prefix)
  count-prefix FILE LENGTH
                          keep the record count of each key prefix of LENGTH
                          characters of FILE (QUARTIER 3: each sector's
                          neighbourhoods), so that counting such a prefix
                          reads one row; counts the records present now,
                          then every write keeps the counts; declaring again
                          changes nothing; prints FILE's counted lengths
  upgrade                 give a database made by an older version what
                          later ones keep: on SQLite the label sort key of
                          each record and each file's record count, and on
                          both the tables of counted key prefixes, in one
                          transaction (opening it for writing does the same;
                          read-only opening refuses a database without sort
                          keys)

dump, read and query open the database read-only: they work on a read-only
file or file system (on a server, in a read-only session). A load reads and
checks its whole input before it takes the database's write lock, and holds
it only while storing, in one transaction: all or nothing.

A JSON line: {"file":"SECTEUR","key":"001","attributes":["NORD",["v1","v2"]]}
an attribute is a text or an array of values, a value a text or an array of
sub-values.

exit codes: 0 done, 1 other failure, 2 wrong command line, 3 no such record,
4 no such file, 5 malformed input (JSON line, query, name or key),
6 database cannot be opened or written (not a Kelmor database, locked, disk
full, read-only, connection lost...), 7 input file cannot be read, 8 copy
refused (target not empty) or copy differs (nothing stored), 9 stored records
that are not valid text (each named; the others are printed).
)";

// A failure that already carries its exit code.
struct Failure {
    int code;
    std::string message;
};

// The library's own messages may already begin with its name.
std::string_view Plain(std::string_view message) {
    constexpr std::string_view prefix = "kelmor: ";
    if (message.starts_with(prefix)) message.remove_prefix(prefix.size());
    return message;
}

void Report(std::ostream& err, std::string_view message) {
    err << "kelmor: " << Plain(message) << (message.ends_with('\n') ? "" : "\n");
}

int CodeOf(const kelmor::Error& e) {
    switch (e.number()) {
        case kelmor::kNotFound:
            return kNotFound;
        case kelmor::kNoSuchFile:
            return kNoSuchFile;
        case kelmor::kBadQuery:
        case kelmor::kBadValue:
        case kelmor::kBadPosition:
            return kBadInput;
        case kelmor::kStorageError:
        case kelmor::kBusy:
        case kelmor::kDiskFull:
        case kelmor::kReadOnly:
        case kelmor::kIoError:
        case kelmor::kConflict:
        case kelmor::kNotADatabase:
        case kelmor::kConnectionLost:
            return kStorage;
        default:
            return kFailure;
    }
}

std::shared_ptr<kelmor::Database> Open(const std::string& path, kelmor::OpenMode mode) {
    return kelmor::Database::Open(path, mode);
}

void RequireArgs(const std::vector<std::string>& args, std::size_t min, std::size_t max) {
    const std::size_t given = args.size() - 2;
    if (given < min || given > max) {
        throw Failure{kUsage, "wrong number of arguments for \"" + args[1] + "\"\n" +
                                  std::string(kUsageText)};
    }
}

// A stored key or file name fit for a message: quoted text, or its bytes.
std::string Named(std::string_view text) {
    if (kelmor::IsStorable(text)) return "\"" + std::string(text) + "\"";
    std::string bytes = "of bytes";
    for (unsigned char c : text) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        bytes += ' ';
        bytes += kHex[c >> 4];
        bytes += kHex[c & 0xF];
    }
    return bytes;
}

// Stored records that cannot be printed are named on `err` and counted.
class BadRecords {
public:
    explicit BadRecords(std::ostream& err) : err_(err) {}
    void Note(const std::string& what) {
        Report(err_, what + " is not valid text; not printed");
        ++count_;
    }
    int Code() const {
        if (count_ == 0) return kOk;
        Report(err_, std::to_string(count_) +
                         " stored record(s) are not valid text (changed by another program than "
                         "Kelmor)");
        return kBadRecords;
    }

private:
    std::ostream& err_;
    long count_ = 0;
};

int Create(const std::vector<std::string>& args, std::ostream&) {
    RequireArgs(args, 1, std::numeric_limits<std::size_t>::max());
    for (std::size_t i = 2; i < args.size(); ++i) kelmor::CheckFileName(args[i]);
    auto db = Open(args[0], kelmor::OpenMode::CreateIfMissing);
    kelmor::Transaction transaction(*db);
    for (std::size_t i = 2; i < args.size(); ++i) db->CreateFile(args[i]);
    transaction.Commit();
    return kOk;
}

// The folder of a database path, where a load keeps its temporary file (the
// database's own disk, which must have room for the records anyway); for a
// server database, the system's temporary folder.
std::string FolderOf(const std::string& path) {
    if (kelmor::Database::IsServerLocation(path)) return fs::temp_directory_path().string();
    const fs::path parent = fs::absolute(path).parent_path();
    return parent.empty() ? "." : parent.string();
}

void RemovePartial(const std::string& partial, bool itself) {
    std::error_code ignored;
    for (const char* suffix : {"-wal", "-shm", "-journal"}) fs::remove(partial + suffix, ignored);
    if (itself) fs::remove(partial, ignored);
}

// The file a load into a new database writes, locked (flock) until the load
// ends: a second load into the same database is refused, rather than remove
// the first one's file or rename it into place half-written. What a killed
// load left is emptied.
class PartialFile {
public:
    PartialFile(const std::string& partial, const std::string& database) {
        for (;;) {
            fd_ = ::open(partial.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
            if (fd_ < 0) Fail("cannot make " + partial);
            if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
                if (errno == EWOULDBLOCK) {
                    throw Failure{kStorage, "another load into " + database +
                                                " is in progress (it writes " + partial + ")"};
                }
                Fail("cannot lock " + partial);
            }
            // The load that held the name may have renamed its file into
            // place between the open and the lock: the lock must be on the
            // file the name names now.
            struct stat held {};
            struct stat named {};
            if (::fstat(fd_, &held) == 0 && ::stat(partial.c_str(), &named) == 0 &&
                held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
                break;
            }
            ::close(fd_);
        }
        if (::ftruncate(fd_, 0) != 0) Fail("cannot empty " + partial);
        RemovePartial(partial, false);
    }
    ~PartialFile() { ::close(fd_); }
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

private:
    [[noreturn]] void Fail(const std::string& what) {
        const int error = errno;
        if (fd_ >= 0) ::close(fd_);
        throw Failure{kStorage, what + ": " + std::strerror(error)};
    }
    int fd_ = -1;
};

// Flushes a file or a folder to the disk; the error number, 0 when done.
int Sync(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    const int error = synced ? 0 : errno;
    if (fd >= 0) ::close(fd);
    return error;
}

// A load into a database that does not exist yet: made under another name
// without a journal or log (each page written once rather than twice) and
// renamed into place once complete and on the disk, so that nobody opens a
// half-loaded database and a kill leaves no database at all.
int LoadIntoNew(const std::string& path, jsonl::StagedLoad& load, std::ostream& out) {
    const std::string partial = path + ".loading";
    const PartialFile lock(partial, path);
    jsonl::LoadResult result;
    try {
        {
            kelmor::SqliteOptions options;
            options.unjournaled = true;
            auto db =
                kelmor::Database::OpenSqlite(partial, kelmor::OpenMode::CreateIfMissing, options);
            result = load.Store(*db);
        }
        if (const int error = Sync(partial, O_RDONLY)) {
            throw Failure{kStorage, "cannot flush " + partial + ": " + std::strerror(error)};
        }
        // Never over a database made meanwhile by someone else.
        int renamed =
            ::renameat2(AT_FDCWD, partial.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE);
        if (renamed != 0 && (errno == EINVAL || errno == ENOSYS)) {
            // A file system that cannot refuse: a check just before instead.
            std::error_code ignored;
            if (fs::exists(fs::symlink_status(path, ignored))) {
                errno = EEXIST;
            } else {
                renamed = std::rename(partial.c_str(), path.c_str());
            }
        }
        if (renamed != 0) {
            const int error = errno;
            if (error == EEXIST) {
                throw Failure{kStorage, path + " was made by someone else during the load"};
            }
            throw Failure{kStorage,
                          "cannot rename " + partial + " to " + path + ": " + std::strerror(error)};
        }
    } catch (...) {
        RemovePartial(partial, true);
        throw;
    }
    // The database is complete and in place: a folder that cannot be
    // flushed only leaves the rename to the system's own schedule.
    Sync(FolderOf(path), O_RDONLY | O_DIRECTORY);
    out << result.records << " records loaded into " << result.files << " files (new database "
        << path << ")\n";
    return kOk;
}

int Load(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    RequireArgs(args, 1, 1);
    const std::string& path = args[2];
    std::error_code ignored;
    if (fs::is_directory(path, ignored)) {
        throw Failure{kInputFile, path + " is a directory, not a JSON lines file"};
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure{kInputFile, "cannot open " + path + " for reading"};
    // An existing database is checked before the input is read; a new one is
    // made only once the input proved good. A server database always exists:
    // its tables are made, if need be, once the input proved good.
    const bool server = kelmor::Database::IsServerLocation(args[0]);
    const bool existed = !server && fs::exists(args[0], ignored);
    std::shared_ptr<kelmor::Database> db;
    if (existed) db = Open(args[0], kelmor::OpenMode::MustExist);
    std::unique_ptr<jsonl::StagedLoad> load;
    try {
        load = std::make_unique<jsonl::StagedLoad>(in, path, FolderOf(args[0]));
    } catch (const jsonl::LinesError& e) {
        for (const std::string& line : e.lines()) Report(err, line);
        if (e.total() > e.lines().size()) {
            Report(err,
                   "... and " + std::to_string(e.total() - e.lines().size()) + " more bad line(s)");
        }
        throw Failure{kBadInput,
                      path + ": " + std::to_string(e.total()) + " bad line(s); nothing was stored"};
    } catch (const jsonl::FormatError& e) {
        throw Failure{kBadInput, std::string(e.what()) + "; nothing was stored"};
    } catch (const jsonl::ReadError& e) {
        throw Failure{kInputFile, std::string(e.what()) + "; nothing was stored"};
    }
    if (!db && !server) return LoadIntoNew(args[0], *load, out);
    if (!db) db = Open(args[0], kelmor::OpenMode::CreateIfMissing);
    const jsonl::LoadResult result = load->Store(*db);
    out << result.records << " records loaded into " << result.files << " files"
        << (existed || server ? "" : " (new database " + args[0] + ")") << "\n";
    return kOk;
}

int Dump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto db = Open(args[0], kelmor::OpenMode::ReadOnly);
    std::vector<std::string> names(args.begin() + 2, args.end());
    if (names.empty()) names = db->FileNames();
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    // Every name is checked before anything is printed.
    for (const std::string& name : names) db->OpenFile(name);
    BadRecords bad(err);
    for (const std::string& name : names) {
        db->backend().Scan(name, kelmor::KeySelection{},
                           [&](std::string_view key, std::string_view whole) {
                               if (!kelmor::IsStorable(key) || !kelmor::IsValidWholeText(whole)) {
                                   bad.Note("the record " + Named(key) + " of " + name);
                                   return;
                               }
                               out << jsonl::ToLine(name, key, kelmor::DynArray(whole)) << "\n";
                           });
    }
    return bad.Code();
}

int Read(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    RequireArgs(args, 2, 2);
    auto db = Open(args[0], kelmor::OpenMode::ReadOnly);
    const std::string& file = args[2];
    db->OpenFile(file);  // names a missing file
    const std::string& key = args[3];
    const std::optional<std::string> whole = db->backend().Read(file, key);
    if (!whole) throw kelmor::NotFoundError(file, key);
    if (!kelmor::IsStorable(key) || !kelmor::IsValidWholeText(*whole)) {
        BadRecords bad(err);
        bad.Note("the record " + Named(key) + " of " + file);
        return bad.Code();
    }
    out << jsonl::ToLine(file, key, kelmor::DynArray(*whole)) << "\n";
    return kOk;
}

int Query(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    RequireArgs(args, 1, 2);
    auto db = Open(args[0], kelmor::OpenMode::ReadOnly);
    kelmor::DynArray request;
    request.Set(1, args[2]);
    if (args.size() > 3) request.Set(3, args[3]);
    std::int32_t count = 0;
    const kelmor::ResultList rows = db->Query(request.Text(), "", count);
    BadRecords bad(err);
    for (int r = 1; r <= rows.DCount(); ++r) {
        const std::vector<std::string> row = rows.Columns(r);
        const bool valid = std::all_of(row.begin(), row.end(), [](const std::string& column) {
            return kelmor::IsValidWholeText(column);
        });
        if (!valid) {
            bad.Note("row " + std::to_string(r) + " of the query (" + Named(row.front()) + ")");
            continue;
        }
        out << jsonl::RowToLine(row) << "\n";
    }
    return bad.Code();
}

int Number(const std::string& text, const char* what) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        throw Failure{kUsage, std::string(what) + " must be a number, not \"" + text + "\""};
    }
    return value;
}

int CountPrefix(const std::vector<std::string>& args, std::ostream& out) {
    RequireArgs(args, 2, 2);
    const std::string& file = args[2];
    const int length = Number(args[3], "the prefix length");
    auto db = Open(args[0], kelmor::OpenMode::MustExist);
    db->CountKeyPrefixes(file, length);
    out << "counted key prefixes of " << file << ":";
    for (int counted : db->backend().CountedKeyPrefixes(file)) out << " " << counted;
    out << " characters\n";
    return kOk;
}

// Every file of a generated database, made in `db` inside one transaction
// that the caller commits.
void GenerateInto(kelmor::Database& db, const Shape& shape) {
    for (const char* file : {"SECTEUR", "SOUSSECTEUR", "QUARTIER", "CENTREMEDICAL",
                             "ANTENNEMEDICALE", "ASSOCIATION", "COMPTEUR", "DROITS"}) {
        db.CreateFile(file);
    }
    // A sector's sub-sectors and neighbourhoods, a sub-sector's
    // neighbourhoods: the lists the editor counts. Declared before the
    // records go in, the triggers count them as they are stored.
    db.CountKeyPrefixes("SOUSSECTEUR", 3);
    db.CountKeyPrefixes("QUARTIER", 3);
    db.CountKeyPrefixes("QUARTIER", 5);
    // Batched as a load is (see services::jsonl), for a server's sake.
    constexpr std::size_t kBatch = 4096;
    std::vector<std::string> texts;  // file, key, whole of each record
    std::vector<kelmor::Backend::RecordView> batch;
    const auto flush = [&] {
        batch.clear();
        for (std::size_t i = 0; i + 2 < texts.size(); i += 3) {
            batch.push_back({texts[i], texts[i + 1], texts[i + 2]});
        }
        db.backend().WriteMany(batch);
        texts.clear();
    };
    kelmor_cli::Generate(shape,
                         [&](std::string_view file, std::string_view key, std::string_view whole) {
                             texts.emplace_back(file);
                             texts.emplace_back(key);
                             texts.emplace_back(whole);
                             if (texts.size() >= 3 * kBatch) flush();
                         });
    if (!texts.empty()) flush();
}

// A server database cannot be made under another name and renamed: it is
// generated in one transaction, into a database that holds no file yet.
int GenerateOnServer(const std::string& location, const Shape& shape, std::ostream& out) {
    auto db = Open(location, kelmor::OpenMode::CreateIfMissing);
    if (!db->FileNames().empty()) {
        throw Failure{kStorage,
                      "the database already holds files: generate makes a new "
                      "database only"};
    }
    kelmor::Transaction transaction(*db);
    GenerateInto(*db, shape);
    transaction.Commit();
    out << RecordCount(shape) << " records generated into the server database\n";
    return kOk;
}

int Generate(const std::vector<std::string>& args, std::ostream& out) {
    RequireArgs(args, 4, 4);
    Shape shape;
    shape.sectors = Number(args[2], "the number of sectors");
    shape.subSectors = Number(args[3], "the number of sub-sectors");
    shape.neighbourhoods = Number(args[4], "the number of neighbourhoods");
    shape.user = args[5];
    try {
        CheckShape(shape);
    } catch (const std::invalid_argument& e) {
        throw Failure{kUsage, e.what()};
    }
    const std::string& path = args[0];
    if (kelmor::Database::IsServerLocation(path)) return GenerateOnServer(path, shape, out);
    std::error_code ignored;
    if (fs::exists(fs::symlink_status(path, ignored))) {
        throw Failure{kStorage, path + " exists: generate makes a new database only"};
    }
    // Made under another name and renamed when complete, so that an
    // interrupted generation never leaves a database that looks finished.
    const std::string partial = path + ".generating";
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        fs::remove(partial + suffix, ignored);
    try {
        auto db = Open(partial, kelmor::OpenMode::CreateIfMissing);
        kelmor::Transaction transaction(*db);
        GenerateInto(*db, shape);
        transaction.Commit();
    } catch (...) {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
            fs::remove(partial + suffix, ignored);
        }
        throw;
    }
    fs::rename(partial, path);
    out << RecordCount(shape) << " records generated into " << path << "\n";
    return kOk;
}

int Dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string& command = args[1];
    if (command == "create") return Create(args, out);
    if (command == "load") return Load(args, out, err);
    if (command == "dump") return Dump(args, out, err);
    if (command == "read") return Read(args, out, err);
    if (command == "query") return Query(args, out, err);
    if (command == "copy") return Copy(args, out, err);
    if (command == "generate") return Generate(args, out);
    if (command == "count-prefix") return CountPrefix(args, out);
    if (command == "upgrade") {
        RequireArgs(args, 0, 0);
        Open(args[0], kelmor::OpenMode::MustExist);
        out << args[0] << " is up to date\n";
        return kOk;
    }
    throw Failure{kUsage, "unknown command \"" + command + "\"\n" + std::string(kUsageText)};
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help")) {
        out << kUsageText;
        return kOk;
    }
    if (args.size() < 2) {
        err << kUsageText;
        return kUsage;
    }
    int code = kFailure;
    try {
        code = Dispatch(args, out, err);
    } catch (const Failure& f) {
        Report(err, f.message);
        return f.code;
    } catch (const kelmor::Error& e) {
        Report(err, e.what());
        return CodeOf(e);
    } catch (const std::exception& e) {
        Report(err, e.what());
        return kFailure;
    }
    out.flush();
    if (!out) {
        err << "kelmor: cannot write the output\n";
        return kFailure;
    }
    return code;
}

}  // namespace kelmor_cli
