// `kelmor load` of a generated database's records against the same inserts
// (rows, sort keys, label index, counts) done directly with sqlite3, each in
// its own process, measured in one run:
// CPU time (user + system) and peak resident memory of each process; and the
// same load again into a database that counts the key prefixes `kelmor
// generate` declares, against the load without.
//
//   load_bench [SECTORS SUBSECTORS NEIGHBOURHOODS] [--keep DIR]
//
// Default 999 20 20 (421,701 records); 999 99 99 gives 9.9 million. The input
// is written to a temporary folder (or DIR) and removed at the end.

#include <sqlite3.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "generator.h"
#include "kelmor/backend.h"
#include "kelmor/database.h"
#include "kelmor/dynarray.h"
#include "services/jsonl.h"

namespace {

namespace fs = std::filesystem;

struct Usage {
    double cpuSeconds = 0;
    double maxRssMb = 0;
    int status = -1;
};

// Runs `child` in a new process; its CPU time and peak memory.
template <class Child>
Usage Measure(Child child) {
    const pid_t pid = fork();
    if (pid == 0) {
        try {
            child();
        } catch (const std::exception& e) {
            std::cerr << e.what() << "\n";
            _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return {seconds(usage.ru_utime) + seconds(usage.ru_stime), usage.ru_maxrss / 1024.0, status};
}

void Check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
    }
}

// The same work done directly: the same rows, sort keys and counts in the
// same schema (made by kelmor beforehand, untimed), with the same pragmas and
// the same upsert, one prepared statement in one transaction; as kelmor does,
// the label index and the insert triggers are dropped before the inserts, and
// the index built and the records counted once before the commit.
// The sort keys are computed here, timed; SortKeysAlone measures their share.
void DirectInserts(const kelmor_cli::Shape& shape, const std::string& path) {
    sqlite3* db = nullptr;
    Check(sqlite3_open(path.c_str(), &db), db, "open");
    Check(sqlite3_exec(db,
                       "PRAGMA synchronous = NORMAL; PRAGMA temp_store = MEMORY;"
                       "BEGIN IMMEDIATE; DROP INDEX kelmor_records_label;"
                       "DROP TRIGGER kelmor_count_insert; DROP TRIGGER kelmor_prefix_insert;",
                       nullptr, nullptr, nullptr),
          db, "begin");
    sqlite3_stmt* file = nullptr;
    sqlite3_stmt* insert = nullptr;
    Check(sqlite3_prepare_v2(db, "INSERT INTO kelmor_files(name) VALUES (?1)", -1, &file, nullptr),
          db, "prepare");
    Check(sqlite3_prepare_v2(db,
                             "INSERT INTO kelmor_records(file, key, body, sortkey) "
                             "VALUES (?1, ?2, ?3, ?4) ON CONFLICT(file, key) DO UPDATE SET "
                             "body = excluded.body, sortkey = excluded.sortkey "
                             "WHERE kelmor_records.body <> excluded.body",
                             -1, &insert, nullptr),
          db, "prepare");
    std::map<std::string, sqlite3_int64, std::less<>> fileIds;
    kelmor_cli::Generate(shape, [&](std::string_view name, std::string_view key,
                                    std::string_view whole) {
        auto it = fileIds.find(name);
        if (it == fileIds.end()) {
            sqlite3_bind_text(file, 1, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
            Check(sqlite3_step(file), db, "file");
            sqlite3_reset(file);
            it = fileIds.emplace(name, sqlite3_last_insert_rowid(db)).first;
        }
        const sqlite3_int64 fileId = it->second;
        const std::string sortKey = kelmor::LabelSortKey(whole);
        sqlite3_bind_int64(insert, 1, fileId);
        sqlite3_bind_text(insert, 2, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
        sqlite3_bind_blob(insert, 3, whole.data(), static_cast<int>(whole.size()), SQLITE_STATIC);
        sqlite3_bind_blob(insert, 4, sortKey.data(), static_cast<int>(sortKey.size()),
                          SQLITE_STATIC);
        Check(sqlite3_step(insert), db, "insert");
        sqlite3_reset(insert);
    });
    sqlite3_finalize(file);
    sqlite3_finalize(insert);
    Check(
        sqlite3_exec(db,
                     "PRAGMA temp_store = FILE;"
                     "CREATE INDEX kelmor_records_label ON kelmor_records(file, sortkey, key);"
                     "UPDATE kelmor_files SET records ="
                     "  (SELECT count(*) FROM kelmor_records WHERE file = kelmor_files.id);"
                     "INSERT INTO kelmor_prefix_counts(file, prefix, records)"
                     "  SELECT l.file, substr(r.key, 1, l.chars), count(*)"
                     "  FROM kelmor_prefix_lengths AS l JOIN kelmor_records AS r"
                     "    ON r.file = l.file AND length(r.key) >= l.chars"
                     "  GROUP BY l.file, l.chars, substr(r.key, 1, l.chars);"
                     "CREATE TRIGGER kelmor_count_insert AFTER INSERT ON kelmor_records BEGIN"
                     "  UPDATE kelmor_files SET records = records + 1 WHERE id = new.file; END;"
                     "CREATE TRIGGER kelmor_prefix_insert AFTER INSERT ON kelmor_records BEGIN"
                     "  INSERT INTO kelmor_prefix_counts(file, prefix, records)"
                     "    SELECT new.file, substr(new.key, 1, chars), 1 FROM kelmor_prefix_lengths"
                     "    WHERE file = new.file AND chars <= length(new.key)"
                     "    ON CONFLICT(file, prefix) DO UPDATE SET records = records + 1; END;"
                     "COMMIT",
                     nullptr, nullptr, nullptr),
        db, "index");
    sqlite3_close(db);
}

// The sort keys of the same records, computed alone.
void SortKeysAlone(const kelmor_cli::Shape& shape) {
    std::size_t bytes = 0;
    kelmor_cli::Generate(shape, [&](std::string_view, std::string_view, std::string_view whole) {
        bytes += kelmor::LabelSortKey(whole).size();
    });
    if (bytes == 0) throw std::runtime_error("no sort keys");
}

}  // namespace

int main(int argc, char** argv) {
    // As `kelmor` does: no allocation statistics, so both sides take no lock
    // on every allocation.
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    kelmor_cli::Shape shape;
    std::string keep;
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--keep" && i + 1 < argc) {
            keep = argv[++i];
        } else {
            counts.push_back(std::stoi(arg));
        }
    }
    if (counts.size() == 3) {
        shape.sectors = counts[0];
        shape.subSectors = counts[1];
        shape.neighbourhoods = counts[2];
    }
    std::string dir = keep;
    if (dir.empty()) {
        dir = (fs::temp_directory_path() / "load-bench-XXXXXX").string();
        if (!mkdtemp(dir.data())) throw std::runtime_error("mkdtemp failed");
    }
    const std::string input = dir + "/input.jsonl";
    std::uint64_t records = 0;
    {
        std::ofstream out(input, std::ios::binary);
        kelmor_cli::Generate(
            shape, [&](std::string_view file, std::string_view key, std::string_view whole) {
                out << services::jsonl::ToLine(file, key, kelmor::DynArray(whole)) << '\n';
                ++records;
            });
    }
    const std::string kelmorDb = dir + "/kelmor.sqlite", directDb = dir + "/direct.sqlite";
    const Usage load = Measure([&] {
        std::freopen("/dev/null", "w", stdout);
        execl(KELMOR_PROGRAM, KELMOR_PROGRAM, kelmorDb.c_str(), "load", input.c_str(),
              static_cast<char*>(nullptr));
        throw std::runtime_error("cannot run " KELMOR_PROGRAM);
    });
    kelmor::Database::OpenSqlite(directDb);  // the schema, untimed
    const Usage direct = Measure([&] { DirectInserts(shape, directDb); });
    const Usage sortKeys = Measure([&] { SortKeysAlone(shape); });
    // The same load into a database that counts the key prefixes `kelmor
    // generate` declares: what keeping those counts costs a load.
    const std::string countedDb = dir + "/counted.sqlite";
    {
        auto db = kelmor::Database::OpenSqlite(countedDb);
        kelmor::Transaction transaction(*db);
        db->CreateFile("SOUSSECTEUR");
        db->CreateFile("QUARTIER");
        db->CountKeyPrefixes("SOUSSECTEUR", 3);
        db->CountKeyPrefixes("QUARTIER", 3);
        db->CountKeyPrefixes("QUARTIER", 5);
        transaction.Commit();
    }
    const Usage counted = Measure([&] {
        std::freopen("/dev/null", "w", stdout);
        execl(KELMOR_PROGRAM, KELMOR_PROGRAM, countedDb.c_str(), "load", input.c_str(),
              static_cast<char*>(nullptr));
        throw std::runtime_error("cannot run " KELMOR_PROGRAM);
    });
    if (load.status != 0 || direct.status != 0 || sortKeys.status != 0 || counted.status != 0) {
        std::cerr << "a side failed (status " << load.status << ", " << direct.status << ", "
                  << sortKeys.status << ", " << counted.status << ")\n";
        return 1;
    }
    std::printf(
        "%llu records (%.0f MB of JSON lines)\n"
        "kelmor load: %.2f CPU s, %.0f records per CPU s, peak RSS %.1f MB\n"
        "sqlite3 inserts of the same rows, sort keys and index: %.2f CPU s, %.0f records per "
        "CPU s, peak RSS %.1f MB\n"
        "  of which the sort keys (measured alone, generation included): %.2f CPU s\n"
        "kelmor load / sqlite3 inserts (CPU): %.2f\n"
        "kelmor load counting SOUSSECTEUR 3, QUARTIER 3 and 5: %.2f CPU s, "
        "%.2f x the load without\n",
        static_cast<unsigned long long>(records), fs::file_size(input) / 1e6, load.cpuSeconds,
        records / load.cpuSeconds, load.maxRssMb, direct.cpuSeconds, records / direct.cpuSeconds,
        direct.maxRssMb, sortKeys.cpuSeconds, load.cpuSeconds / direct.cpuSeconds,
        counted.cpuSeconds, counted.cpuSeconds / load.cpuSeconds);
    if (keep.empty()) fs::remove_all(dir);
    return 0;
}
