// Many workstations on one database: N simulated operators, each a library
// session on its own thread with its own connection, doing for a fixed time
// what operators do on a few shared sectors: lookups (a sector read and the
// prefix query of its sub-sectors), renames and attribute edits (atomic
// read-modify-writes of the sector record) and creations (probing sub-sector
// codes, then a create-if-absent insert). Run once on PostgreSQL and once on
// SQLite, for each N, then checked against every operator's log:
//   lost updates: a rename counter short of the renames logged, or an
//                 operator's own attribute not holding its last edit;
//   duplicate codes: a code two operators both believe they created, or a
//                    created record that does not name its creator.
// Both must be 0. --naive writes back whole records read earlier, and probes
// then writes, as the editor did before: the check should then find both.
//
// usage: operators_bench --pg URL --sqlite PATH [--operators 1,4,16,64]
//                   [--seconds 10] [--sectors 8] [--naive]
// Prints, per N, actions per second and p50/p99 latency per action kind for
// each backend, then the PostgreSQL / SQLite ratios.

#include <algorithm>
#include <atomic>
#include <barrier>
#include <chrono>
#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "kelmor/backend.h"
#include "kelmor/database.h"

namespace {

using Clock = std::chrono::steady_clock;

enum Kind { kLookup, kRename, kEdit, kCreate, kKinds };
constexpr const char* kKindNames[kKinds] = {"lookup", "rename", "edit", "create"};
constexpr int kLabel = 1, kRenameCount = 2, kFirstOperatorAttribute = 10;

struct Options {
    std::string pg, sqlite;
    std::vector<int> operators = {1, 4, 16, 64};
    double seconds = 10;
    int sectors = 8;
    bool naive = false;
};

// What one operator did, kept by itself and checked at the end.
struct OperatorLog {
    std::vector<double> latencyMs[kKinds];
    std::map<std::string, long> renames;   // sector -> renames done
    std::map<std::string, long> lastEdit;  // sector -> sequence of its last edit
    std::vector<std::string> created;      // sub-sector keys it created
    long errors = 0;
    std::string firstError;
};

struct RunResult {
    double actionsPerSecond = 0;
    double p50[kKinds] = {}, p99[kKinds] = {};
    long lostUpdates = 0, duplicateCodes = 0, errors = 0;
    std::string firstError;
};

std::string SectorKey(int s) {
    char key[16];
    std::snprintf(key, sizeof key, "%03d", s + 1);
    return key;
}

std::string SubKey(const std::string& sector, long code) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%05ld", code);
    return sector + suffix;
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    const auto k = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(k), values.end());
    return values[k];
}

// Empties the two files and writes the sectors afresh, in one transaction.
void Prepare(const std::string& location, int sectors) {
    auto db = kelmor::Database::Open(location);
    kelmor::Transaction tx(*db);
    for (const char* file : {"SECTEUR", "SOUSSECTEUR"}) {
        db->CreateFile(file);
        std::vector<std::string> keys;
        db->backend().Scan(file, {},
                           [&](std::string_view key, std::string_view) { keys.emplace_back(key); });
        for (const std::string& key : keys) db->backend().Delete(file, key);
    }
    for (int s = 0; s < sectors; ++s) {
        kelmor::DbRecord r = db->OpenFile("SECTEUR").NewRecord(SectorKey(s));
        r.Set(kLabel, "SECTEUR " + SectorKey(s));
        r.Set(kRenameCount, "0");
        r.DBWrite();
    }
    tx.Commit();
}

class Operator {
public:
    Operator(int id, const Options& options, kelmor::Database& db)
        : id_(id), options_(options), db_(db), random_(static_cast<unsigned>(id) * 7919 + 1) {}

    void Act(OperatorLog& log) {
        const int roll = static_cast<int>(random_() % 100);
        const Kind kind = roll < 50 ? kLookup : roll < 65 ? kRename : roll < 85 ? kEdit : kCreate;
        const std::string sector =
            SectorKey(static_cast<int>(random_() % static_cast<unsigned>(options_.sectors)));
        const auto start = Clock::now();
        try {
            switch (kind) {
                case kLookup:
                    Lookup(sector);
                    break;
                case kRename:
                    Rename(sector, log);
                    break;
                case kEdit:
                    Edit(sector, log);
                    break;
                case kCreate:
                    Create(sector, log);
                    break;
                case kKinds:
                    break;
            }
        } catch (const std::exception& e) {
            if (log.errors++ == 0) log.firstError = std::string(kKindNames[kind]) + ": " + e.what();
            return;
        }
        log.latencyMs[kind].push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }

private:
    void Lookup(const std::string& sector) {
        (void)db_.OpenFile("SECTEUR").ReadRecord(sector);
        kelmor::DynArray request;
        request.Set(1, "SSELECT SOUSSECTEUR = '" + sector + "]' PAR 1");
        request.Set(3, "0 1");
        std::int32_t count = 0;
        (void)db_.Query(request.Text(), "", count);
    }

    // Changes one attribute of the sector record: in one atomic step, or
    // (naive) by writing back the whole record read just before.
    void Change(const std::string& sector, const std::function<void(kelmor::DynArray&)>& edit) {
        if (options_.naive) {
            kelmor::DbRecord record = db_.OpenFile("SECTEUR").ReadRecord(sector);
            edit(record);
            record.DBWrite();
            return;
        }
        db_.backend().Update("SECTEUR", sector, [&](const std::optional<std::string>& stored) {
            kelmor::DynArray record(stored.value_or(""));
            edit(record);
            return record.Text();
        });
    }

    void Rename(const std::string& sector, OperatorLog& log) {
        Change(sector, [](kelmor::DynArray& r) {
            const long count = std::stol(r.Get(kRenameCount)) + 1;
            r.Set(kRenameCount, std::to_string(count));
            r.Set(kLabel, "NOM " + std::to_string(count));
        });
        ++log.renames[sector];
    }

    void Edit(const std::string& sector, OperatorLog& log) {
        const long sequence = log.lastEdit[sector] + 1;
        Change(sector, [&](kelmor::DynArray& r) {
            r.Set(kFirstOperatorAttribute + id_,
                  std::to_string(id_) + ":" + std::to_string(sequence));
        });
        log.lastEdit[sector] = sequence;
    }

    // The first free code from what this operator last saw; a code another
    // operator took meanwhile makes the insert fail, and the probe goes on.
    void Create(const std::string& sector, OperatorLog& log) {
        const kelmor::DbFile file = db_.OpenFile("SOUSSECTEUR");
        long& code = nextCode_[sector];
        for (;; ++code) {
            const std::string key = SubKey(sector, code);
            const kelmor::ReadResult probe = file.TryReadRecord(key);
            if (probe.error != kelmor::kNotFound) {
                if (probe.error != 0) throw kelmor::Error(probe.error, probe.message);
                continue;
            }
            kelmor::DbRecord record = file.NewRecord(key);
            record.Set(kLabel, "CRÉÉ PAR " + std::to_string(id_));
            if (options_.naive) {
                record.DBWrite();
            } else if (!record.DBInsert()) {
                continue;
            }
            log.created.push_back(key);
            ++code;
            return;
        }
    }

    int id_;
    const Options& options_;
    kelmor::Database& db_;
    std::minstd_rand random_;
    std::map<std::string, long> nextCode_;
};

// Lost updates and duplicate codes, from the stored records and the logs.
void Check(const std::string& location, const std::vector<OperatorLog>& logs, RunResult& result) {
    auto db = kelmor::Database::Open(location, kelmor::OpenMode::MustExist);
    const kelmor::DbFile sectors = db->OpenFile("SECTEUR");
    std::map<std::string, long> renames;
    for (const OperatorLog& log : logs)
        for (const auto& [sector, count] : log.renames) renames[sector] += count;
    for (const auto& [sector, count] : renames) {
        const kelmor::DbRecord r = sectors.ReadRecord(sector);
        result.lostUpdates += count - std::stol(r.Get(kRenameCount));
    }
    for (std::size_t id = 0; id < logs.size(); ++id) {
        for (const auto& [sector, sequence] : logs[id].lastEdit) {
            const std::string expected = std::to_string(id) + ":" + std::to_string(sequence);
            const int attribute = kFirstOperatorAttribute + static_cast<int>(id);
            result.lostUpdates += sectors.ReadRecord(sector).Get(attribute) != expected;
        }
    }
    const kelmor::DbFile subs = db->OpenFile("SOUSSECTEUR");
    std::set<std::string> seen;
    for (std::size_t id = 0; id < logs.size(); ++id) {
        for (const std::string& key : logs[id].created) {
            const bool again = !seen.insert(key).second;
            const bool other = subs.ReadRecord(key).Get(kLabel) != "CRÉÉ PAR " + std::to_string(id);
            result.duplicateCodes += again || other;
        }
    }
}

RunResult Run(const std::string& location, int operators, const Options& options) {
    Prepare(location, options.sectors);
    std::vector<OperatorLog> logs(static_cast<std::size_t>(operators));
    std::atomic<long> actions{0};
    std::barrier ready(operators + 1);
    Clock::time_point deadline;
    std::vector<std::thread> threads;
    for (int id = 0; id < operators; ++id) {
        threads.emplace_back([&, id] {
            auto db = kelmor::Database::Open(location, kelmor::OpenMode::MustExist);
            Operator op(id, options, *db);
            OperatorLog& log = logs[static_cast<std::size_t>(id)];
            ready.arrive_and_wait();  // connected: the clock starts for all at once
            ready.arrive_and_wait();  // deadline set
            long done = 0;
            for (; Clock::now() < deadline; ++done) op.Act(log);
            actions += done;
        });
    }
    ready.arrive_and_wait();
    const auto start = Clock::now();
    deadline = start + std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>(options.seconds));
    ready.arrive_and_wait();
    for (auto& thread : threads) thread.join();
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();

    RunResult result;
    result.actionsPerSecond = static_cast<double>(actions) / elapsed;
    for (int k = 0; k < kKinds; ++k) {
        std::vector<double> all;
        for (const OperatorLog& log : logs)
            all.insert(all.end(), log.latencyMs[k].begin(), log.latencyMs[k].end());
        result.p50[k] = Percentile(all, 0.50);
        result.p99[k] = Percentile(all, 0.99);
    }
    for (const OperatorLog& log : logs) {
        result.errors += log.errors;
        if (result.firstError.empty()) result.firstError = log.firstError;
    }
    Check(location, logs, result);
    return result;
}

void PrintRun(const char* backend, int n, const RunResult& r) {
    std::printf("%-10s N=%-3d %8.0f actions/s", backend, n, r.actionsPerSecond);
    for (int k = 0; k < kKinds; ++k)
        std::printf("  %s p50 %.2f p99 %.2f ms", kKindNames[k], r.p50[k], r.p99[k]);
    std::printf("  lost updates %ld  duplicate codes %ld  errors %ld\n", r.lostUpdates,
                r.duplicateCodes, r.errors);
    if (!r.firstError.empty()) std::printf("           first error: %s\n", r.firstError.c_str());
    std::fflush(stdout);
}

std::vector<int> ParseList(const std::string& text) {
    std::vector<int> values;
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, ',');) values.push_back(std::stoi(item));
    return values;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool more = i + 1 < args.size();
        if (arg == "--pg" && more)
            options.pg = args[++i];
        else if (arg == "--sqlite" && more)
            options.sqlite = args[++i];
        else if (arg == "--operators" && more)
            options.operators = ParseList(args[++i]);
        else if (arg == "--seconds" && more)
            options.seconds = std::stod(args[++i]);
        else if (arg == "--sectors" && more)
            options.sectors = std::stoi(args[++i]);
        else if (arg == "--naive")
            options.naive = true;
        else {
            std::cerr << "usage: operators_bench --pg URL --sqlite PATH [--operators 1,4,16,64] "
                         "[--seconds 10] [--sectors 8] [--naive]\n";
            return 2;
        }
    }
    if (options.pg.empty() || options.sqlite.empty()) {
        std::cerr
            << "operators_bench: both --pg and --sqlite are needed (the ratios compare them)\n";
        return 2;
    }
    bool clean = true;
    std::vector<std::pair<RunResult, RunResult>> results;
    for (int n : options.operators) {
        const RunResult pg = Run(options.pg, n, options);
        PrintRun("postgresql", n, pg);
        const RunResult sqlite = Run(options.sqlite, n, options);
        PrintRun("sqlite", n, sqlite);
        results.emplace_back(pg, sqlite);
        clean = clean && pg.lostUpdates == 0 && pg.duplicateCodes == 0 && sqlite.lostUpdates == 0 &&
                sqlite.duplicateCodes == 0;
    }
    std::printf("\nPostgreSQL / SQLite, same N, same run:\n");
    std::printf(
        "| N | actions/s | lookup p50 | lookup p99 | rename p50 | rename p99 | edit p50 "
        "| edit p99 | create p50 | create p99 | lost updates | duplicate codes |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (std::size_t i = 0; i < results.size(); ++i) {
        const auto& [pg, sqlite] = results[i];
        const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
        std::printf("| %d | %.2f", options.operators[i],
                    ratio(pg.actionsPerSecond, sqlite.actionsPerSecond));
        for (int k = 0; k < kKinds; ++k)
            std::printf(" | %.2f | %.2f", ratio(pg.p50[k], sqlite.p50[k]),
                        ratio(pg.p99[k], sqlite.p99[k]));
        std::printf(" | %ld / %ld | %ld / %ld |\n", pg.lostUpdates, sqlite.lostUpdates,
                    pg.duplicateCodes, sqlite.duplicateCodes);
    }
    return clean || options.naive ? 0 : 1;
}
