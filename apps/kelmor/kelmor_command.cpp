#include "kelmor_command.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <memory>
#include <ostream>
#include <string_view>

#include "copy_command.h"
#include "kelmor/backend.h"
#include "kelmor/database.h"
#include "services/jsonl.h"

namespace kelmor_cli {

namespace {

namespace jsonl = services::jsonl;

constexpr std::string_view kUsageText = R"(usage: kelmor DB COMMAND [ARGUMENTS]

DB is the path of a database file (SQLite), or a postgresql:// connection
string naming a database of a PostgreSQL server (which must exist; create,
load and copy make its tables when it has none, the others refuse it).

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
                          database DST (SQLite or PostgreSQL), then check
                          that both hold the same records (count and SHA-256
                          per file); nothing is stored if they differ

A JSON line: {"file":"SECTEUR","key":"001","attributes":["NORD",["v1","v2"]]}
an attribute is a text or an array of values, a value a text or an array of
sub-values.

exit codes: 0 done, 1 other failure, 2 wrong command line, 3 no such record,
4 no such file, 5 malformed input (JSON line, query, name or key),
6 database cannot be opened or written, 7 input file cannot be read,
8 copy refused (target not empty) or copy differs (nothing stored).
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

int Create(const std::vector<std::string>& args, std::ostream&) {
    RequireArgs(args, 1, std::numeric_limits<std::size_t>::max());
    for (std::size_t i = 2; i < args.size(); ++i) kelmor::CheckFileName(args[i]);
    auto db = Open(args[0], kelmor::OpenMode::CreateIfMissing);
    kelmor::Transaction transaction(*db);
    for (std::size_t i = 2; i < args.size(); ++i) db->CreateFile(args[i]);
    transaction.Commit();
    return kOk;
}

int Load(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    RequireArgs(args, 1, 1);
    const std::string& path = args[2];
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure{kInputFile, "cannot open " + path + " for reading"};
    std::vector<jsonl::Record> records;
    try {
        records = jsonl::ReadRecords(in, path);
    } catch (const jsonl::LinesError& e) {
        for (const std::string& line : e.lines()) Report(err, line);
        throw Failure{kBadInput, path + ": " + std::to_string(e.lines().size()) +
                                     " bad line(s); nothing was stored"};
    }
    auto db = Open(args[0], kelmor::OpenMode::CreateIfMissing);
    const std::size_t files = jsonl::StoreRecords(*db, records);
    out << records.size() << " records loaded into " << files << " files\n";
    return kOk;
}

int Dump(const std::vector<std::string>& args, std::ostream& out) {
    auto db = Open(args[0], kelmor::OpenMode::MustExist);
    std::vector<std::string> names(args.begin() + 2, args.end());
    if (names.empty()) names = db->FileNames();
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    // Every name is checked before anything is printed.
    for (const std::string& name : names) db->OpenFile(name);
    for (const std::string& name : names) {
        db->backend().Scan(name, kelmor::KeySelection{},
                           [&](std::string_view key, std::string_view whole) {
                               out << jsonl::ToLine(name, key, kelmor::DynArray(whole)) << "\n";
                           });
    }
    return kOk;
}

int Read(const std::vector<std::string>& args, std::ostream& out) {
    RequireArgs(args, 2, 2);
    auto db = Open(args[0], kelmor::OpenMode::MustExist);
    const kelmor::DbRecord record = db->OpenFile(args[2]).ReadRecord(args[3]);
    out << jsonl::ToLine(args[2], args[3], record) << "\n";
    return kOk;
}

int Query(const std::vector<std::string>& args, std::ostream& out) {
    RequireArgs(args, 1, 2);
    auto db = Open(args[0], kelmor::OpenMode::MustExist);
    kelmor::DynArray request;
    request.Set(1, args[2]);
    if (args.size() > 3) request.Set(3, args[3]);
    std::int32_t count = 0;
    const kelmor::ResultList rows = db->Query(request.Text(), "", count);
    for (const auto& row : rows.Rows()) out << jsonl::RowToLine(row) << "\n";
    return kOk;
}

int Dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string& command = args[1];
    if (command == "create") return Create(args, out);
    if (command == "load") return Load(args, out, err);
    if (command == "dump") return Dump(args, out);
    if (command == "read") return Read(args, out);
    if (command == "query") return Query(args, out);
    if (command == "copy") return Copy(args, out, err);
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
