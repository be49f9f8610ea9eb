// The database library against the same work done directly with sqlite3, on
// 1,000,000 records: a key read, a 99-row prefix query sorted by attribute 1,
// the full "SSELECT SECTEUR PAR 1" over 999 records, a write, and the count
// of a 9,900-key prefix (kept by kelmor, counted on the index by sqlite3). Both
// databases are built once per run in a temporary directory; the direct side
// uses a hand-written table with one column per attribute, the same pragmas
// and the same French ICU collation (registered as an SQLite collation).
// After the runs, the ratios kelmor / sqlite3 are printed.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <unicode/ucol.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "kelmor/backend.h"
#include "kelmor/database.h"

namespace {

constexpr int kRecords = 1'000'000;            // QUARTIER
constexpr int kSectors = 999;                  // SECTEUR
constexpr int kPerGroup = 99;                  // QUARTIER keys sharing a 5-character prefix
constexpr int kGroups = kRecords / kPerGroup;  // full groups

// n in decimal, left-padded with "0" to `width` digits.
std::string ZeroPadded(int n, std::size_t width) {
    std::string digits = std::to_string(n);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

std::string QuartierKey(int i) {
    return ZeroPadded(i / kPerGroup, 5) + ZeroPadded(i % kPerGroup + 1, 2);
}

std::string GroupPrefix(int g) {
    return ZeroPadded(g, 5);
}

std::string SectorKey(int i) {
    return ZeroPadded(i + 1, 3);
}

// French-looking upper-case labels with accents, deterministic.
class Labels {
public:
    std::string Next() {
        static constexpr std::array<const char*, 24> kWords = {
            "ÉTANG",         "ETOILE", "CHÂTEAU", "ÉGLISE", "NOËL",     "MÜLLER",
            "SAINT-ÉTIENNE", "ÎLE",    "CÔTE",    "ZOLA",   "BELLEVUE", "FORÊT",
            "PRÉ",           "MOULIN", "RIVIÈRE", "GARE",   "HÔPITAL",  "LYCÉE",
            "CLOS",          "VERGER", "ÉCOLE",   "PLAINE", "CÈDRES",   "ABBAYE"};
        std::uniform_int_distribution<std::size_t> word(0, kWords.size() - 1);
        std::uniform_int_distribution<int> number(1, 99);
        return std::string(kWords[word(rng_)]) + " " + kWords[word(rng_)] + " " +
               std::to_string(number(rng_));
    }

private:
    std::mt19937 rng_{20261206};
};

void Check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
    }
}

// ------------------------------------------------------- the direct side

int CompareFrench(void* collator, int la, const void* a, int lb, const void* b) {
    UErrorCode status = U_ZERO_ERROR;
    return ucol_strcollUTF8(static_cast<UCollator*>(collator), static_cast<const char*>(a), la,
                            static_cast<const char*>(b), lb, &status);
}

class RawDb {
public:
    explicit RawDb(const std::string& path) {
        Check(sqlite3_open_v2(path.c_str(), &db_,
                              SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                              nullptr),
              db_, "open");
        Exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;");
        UErrorCode status = U_ZERO_ERROR;
        collator_ = ucol_open("fr", &status);
        if (U_FAILURE(status)) throw std::runtime_error("ucol_open failed");
        Check(
            sqlite3_create_collation_v2(db_, "FR", SQLITE_UTF8, collator_, CompareFrench, nullptr),
            db_, "collation");
        Exec(
            "CREATE TABLE IF NOT EXISTS secteur(key TEXT PRIMARY KEY, label TEXT, agrement TEXT,"
            " date TEXT, cram TEXT, dep TEXT) WITHOUT ROWID;"
            "CREATE TABLE IF NOT EXISTS quartier(key TEXT PRIMARY KEY, label TEXT, antenne TEXT,"
            " cp TEXT, commune TEXT) WITHOUT ROWID;");
        read_ = Prepare("SELECT label, antenne, cp, commune FROM quartier WHERE key = ?1");
        count_ = Prepare("SELECT count(*) FROM quartier WHERE key >= ?1 AND key < ?2");
        prefix_ = Prepare(
            "SELECT key, label FROM quartier WHERE key >= ?1 AND key < ?2 "
            "ORDER BY label COLLATE FR, key");
        sectors_ = Prepare("SELECT key, label FROM secteur ORDER BY label COLLATE FR, key");
        write_ = Prepare(
            "INSERT INTO quartier(key, label, antenne, cp, commune) VALUES (?1, ?2, ?3, ?4, ?5) "
            "ON CONFLICT(key) DO UPDATE SET label = excluded.label, antenne = excluded.antenne, "
            "cp = excluded.cp, commune = excluded.commune");
        writeSector_ = Prepare(
            "INSERT INTO secteur(key, label, agrement, date, cram, dep) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    }
    ~RawDb() {
        for (sqlite3_stmt* s : {read_, count_, prefix_, sectors_, write_, writeSector_})
            sqlite3_finalize(s);
        sqlite3_close(db_);
        ucol_close(collator_);
    }
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;

    void Exec(const char* sql) {
        Check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr), db_, sql);
    }

    std::vector<std::string> Read(const std::string& key) {
        Bind(read_, 1, key);
        std::vector<std::string> columns;
        if (sqlite3_step(read_) == SQLITE_ROW) {
            for (int c = 0; c < 4; ++c) columns.emplace_back(Text(read_, c));
        }
        sqlite3_reset(read_);
        return columns;
    }

    std::vector<std::vector<std::string>> Prefix(const std::string& prefix) {
        std::string upper = prefix;
        upper.back() = static_cast<char>(upper.back() + 1);
        Bind(prefix_, 1, prefix);
        Bind(prefix_, 2, upper);
        return Rows(prefix_);
    }

    // The records of a key prefix, counted on the key index.
    std::int64_t Count(const std::string& prefix) {
        std::string upper = prefix;
        upper.back() = static_cast<char>(upper.back() + 1);
        Bind(count_, 1, prefix);
        Bind(count_, 2, upper);
        Check(sqlite3_step(count_), db_, "count");
        const std::int64_t n = sqlite3_column_int64(count_, 0);
        sqlite3_reset(count_);
        return n;
    }

    std::vector<std::vector<std::string>> Sectors() { return Rows(sectors_); }

    void Write(const std::string& key, const std::array<std::string, 4>& values) {
        Bind(write_, 1, key);
        for (int i = 0; i < 4; ++i) Bind(write_, i + 2, values[static_cast<std::size_t>(i)]);
        Check(sqlite3_step(write_), db_, "write");
        sqlite3_reset(write_);
    }

    void WriteSector(const std::string& key, const std::array<std::string, 5>& values) {
        Bind(writeSector_, 1, key);
        for (int i = 0; i < 5; ++i) Bind(writeSector_, i + 2, values[static_cast<std::size_t>(i)]);
        Check(sqlite3_step(writeSector_), db_, "write");
        sqlite3_reset(writeSector_);
    }

private:
    sqlite3_stmt* Prepare(const char* sql) {
        sqlite3_stmt* s = nullptr;
        Check(sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr), db_, sql);
        return s;
    }
    static void Bind(sqlite3_stmt* s, int i, const std::string& v) {
        sqlite3_bind_text(s, i, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
    }
    static std::string Text(sqlite3_stmt* s, int c) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, c));
        return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(s, c)))
                 : std::string();
    }
    std::vector<std::vector<std::string>> Rows(sqlite3_stmt* s) {
        std::vector<std::vector<std::string>> rows;
        while (sqlite3_step(s) == SQLITE_ROW) rows.push_back({Text(s, 0), Text(s, 1)});
        sqlite3_reset(s);
        return rows;
    }

    sqlite3* db_ = nullptr;
    UCollator* collator_ = nullptr;
    sqlite3_stmt *read_ = nullptr, *count_ = nullptr, *prefix_ = nullptr, *sectors_ = nullptr,
                 *write_ = nullptr, *writeSector_ = nullptr;
};

// ------------------------------------------------------------ the data set

std::array<std::string, 4> QuartierValues(Labels& labels, int i) {
    return {labels.Next(), SectorKey(i % kSectors) + "00" + std::to_string(i % 9 + 1),
            std::to_string(75000 + i % 999), "COMMUNE " + std::to_string(i % 500)};
}

std::array<std::string, 5> SectorValues(Labels& labels, int i) {
    return {labels.Next(), "AGR-" + std::to_string(i), std::to_string(12000 + i),
            "CRAM" + std::to_string(i), i % 3 == 0 ? "2A" : std::to_string(10 + i % 80)};
}

void FillQuartier(kelmor::DbRecord& r, const std::array<std::string, 4>& v) {
    for (int a = 1; a <= 4; ++a) r.Set(a, v[static_cast<std::size_t>(a - 1)]);
}

class Fixture {
public:
    static Fixture& Get() {
        static Fixture fixture;
        return fixture;
    }
    ~Fixture() {
        kelmor_.reset();
        raw_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    kelmor::Database& Kelmor() { return *kelmor_; }
    RawDb& Raw() { return *raw_; }

private:
    Fixture() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kelmor-bench-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        dir_ = pattern;
        const std::string kelmorPath = (dir_ / "kelmor.db").string();
        const std::string rawPath = (dir_ / "raw.db").string();
        std::cerr << "Building two databases of " << kRecords + kSectors << " records in " << dir_
                  << "..." << std::endl;
        {
            auto db = kelmor::Database::OpenSqlite(kelmorPath);
            db->CreateFile("SECTEUR");
            db->CreateFile("QUARTIER");
            db->CountKeyPrefixes("QUARTIER", 3);
            kelmor::Transaction tx(*db);
            Labels labels;
            const kelmor::DbFile secteur = db->OpenFile("SECTEUR");
            for (int i = 0; i < kSectors; ++i) {
                const auto v = SectorValues(labels, i);
                kelmor::DbRecord r = secteur.NewRecord(SectorKey(i));
                r.Set(1, v[0]);
                r.Set(3, v[1]);
                r.Set(4, v[2]);
                r.Set(20, v[3]);
                r.Set(21, v[4]);
                r.DBWrite();
            }
            const kelmor::DbFile quartier = db->OpenFile("QUARTIER");
            for (int i = 0; i < kRecords; ++i) {
                kelmor::DbRecord r = quartier.NewRecord(QuartierKey(i));
                FillQuartier(r, QuartierValues(labels, i));
                r.DBWrite();
            }
            tx.Commit();
        }
        {
            RawDb raw(rawPath);
            raw.Exec("BEGIN");
            Labels labels;
            for (int i = 0; i < kSectors; ++i)
                raw.WriteSector(SectorKey(i), SectorValues(labels, i));
            for (int i = 0; i < kRecords; ++i) raw.Write(QuartierKey(i), QuartierValues(labels, i));
            raw.Exec("COMMIT");
        }
        // Reopened so that both start from a checkpointed file.
        kelmor_ = kelmor::Database::OpenSqlite(kelmorPath, kelmor::OpenMode::MustExist);
        raw_ = std::make_unique<RawDb>(rawPath);
        std::cerr << "Built." << std::endl;
    }

    std::filesystem::path dir_;
    std::shared_ptr<kelmor::Database> kelmor_;
    std::unique_ptr<RawDb> raw_;
};

// Same pseudo-random sequence of positions for both sides.
struct Positions {
    std::mt19937 rng{42};
    int Record() { return std::uniform_int_distribution<int>(0, kRecords - 1)(rng); }
    int Group() { return std::uniform_int_distribution<int>(0, kGroups - 1)(rng); }
};

// ------------------------------------------------------------- benchmarks

void KeyRead_Kelmor(benchmark::State& state) {
    const kelmor::DbFile file = Fixture::Get().Kelmor().OpenFile("QUARTIER");
    Positions p;
    for (auto _ : state) {
        kelmor::DbRecord r = file.ReadRecord(QuartierKey(p.Record()));
        benchmark::DoNotOptimize(r);
    }
}

void KeyRead_Sqlite(benchmark::State& state) {
    RawDb& raw = Fixture::Get().Raw();
    Positions p;
    for (auto _ : state) {
        auto columns = raw.Read(QuartierKey(p.Record()));
        if (columns.empty()) state.SkipWithError("missing record");
        benchmark::DoNotOptimize(columns);
    }
}

void Prefix99Par1_Kelmor(benchmark::State& state) {
    kelmor::Database& db = Fixture::Get().Kelmor();
    Positions p;
    for (auto _ : state) {
        kelmor::DynArray request;
        request.Set(1, "SSELECT QUARTIER = '" + GroupPrefix(p.Group()) + "]' PAR 1");
        request.Set(2, "QUARTIER");
        request.Set(3, "0 1");
        std::int32_t count = 0;
        kelmor::ResultList list = db.Query(request.Text(), "", count);
        if (count != kPerGroup) state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(list);
    }
}

void Prefix99Par1_Sqlite(benchmark::State& state) {
    RawDb& raw = Fixture::Get().Raw();
    Positions p;
    for (auto _ : state) {
        auto rows = raw.Prefix(GroupPrefix(p.Group()));
        if (rows.size() != kPerGroup) state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(rows);
    }
}

// A sector's neighbourhoods counted, as the editor counts its list: 100
// groups of 99 keys share the first 3 characters. Kelmor reads the count it
// keeps for QUARTIER's 3-character prefixes; sqlite3 counts the key range.
void Count9900_Kelmor(benchmark::State& state) {
    kelmor::Backend& backend = Fixture::Get().Kelmor().backend();
    Positions p;
    for (auto _ : state) {
        const std::string prefix = GroupPrefix(p.Group()).substr(0, 3);
        const std::int64_t n =
            backend.Count("QUARTIER", {kelmor::KeySelection::Kind::Prefix, prefix});
        if (n != 100 * kPerGroup && prefix != GroupPrefix(kGroups - 1).substr(0, 3)) {
            state.SkipWithError("wrong count");
        }
        benchmark::DoNotOptimize(n);
    }
}

void Count9900_Sqlite(benchmark::State& state) {
    RawDb& raw = Fixture::Get().Raw();
    Positions p;
    for (auto _ : state) {
        const std::string prefix = GroupPrefix(p.Group()).substr(0, 3);
        const std::int64_t n = raw.Count(prefix);
        if (n != 100 * kPerGroup && prefix != GroupPrefix(kGroups - 1).substr(0, 3)) {
            state.SkipWithError("wrong count");
        }
        benchmark::DoNotOptimize(n);
    }
}

void Secteur999Par1_Kelmor(benchmark::State& state) {
    kelmor::Database& db = Fixture::Get().Kelmor();
    for (auto _ : state) {
        kelmor::DynArray request;
        request.Set(1, "SSELECT SECTEUR PAR 1");
        request.Set(2, "SECTEUR");
        request.Set(3, "0 1");
        std::int32_t count = 0;
        kelmor::ResultList list = db.Query(request.Text(), "", count);
        if (count != kSectors) state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(list);
    }
}

void Secteur999Par1_Sqlite(benchmark::State& state) {
    RawDb& raw = Fixture::Get().Raw();
    for (auto _ : state) {
        auto rows = raw.Sectors();
        if (rows.size() != kSectors) state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(rows);
    }
}

// An edit as the editor makes it: the record is read, changed, and written
// back; the write reads the stored record again under the write lock so as to
// store only what changed.
void Write_Kelmor(benchmark::State& state) {
    const kelmor::DbFile file = Fixture::Get().Kelmor().OpenFile("QUARTIER");
    Positions p;
    Labels labels;
    for (auto _ : state) {
        const int i = p.Record();
        kelmor::DbRecord r = file.ReadRecord(QuartierKey(i));
        FillQuartier(r, QuartierValues(labels, i));
        r.DBWrite();
    }
}

void Write_Sqlite(benchmark::State& state) {
    RawDb& raw = Fixture::Get().Raw();
    Positions p;
    Labels labels;
    for (auto _ : state) {
        const int i = p.Record();
        benchmark::DoNotOptimize(raw.Read(QuartierKey(i)));
        raw.Exec("BEGIN IMMEDIATE");
        benchmark::DoNotOptimize(raw.Read(QuartierKey(i)));
        raw.Write(QuartierKey(i), QuartierValues(labels, i));
        raw.Exec("COMMIT");
    }
}

BENCHMARK(KeyRead_Kelmor)->Unit(benchmark::kMicrosecond);
BENCHMARK(KeyRead_Sqlite)->Unit(benchmark::kMicrosecond);
BENCHMARK(Prefix99Par1_Kelmor)->Unit(benchmark::kMicrosecond);
BENCHMARK(Prefix99Par1_Sqlite)->Unit(benchmark::kMicrosecond);
BENCHMARK(Count9900_Kelmor)->Unit(benchmark::kMicrosecond);
BENCHMARK(Count9900_Sqlite)->Unit(benchmark::kMicrosecond);
BENCHMARK(Secteur999Par1_Kelmor)->Unit(benchmark::kMicrosecond);
BENCHMARK(Secteur999Par1_Sqlite)->Unit(benchmark::kMicrosecond);
BENCHMARK(Write_Kelmor)->Unit(benchmark::kMicrosecond);
BENCHMARK(Write_Sqlite)->Unit(benchmark::kMicrosecond);

// Prints the runs as usual, then kelmor / sqlite3 for each operation.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            // With --benchmark_repetitions, the median stands for the operation.
            if (run.run_type == Run::RT_Iteration && !medians_.contains(run.run_name.str())) {
                times_[run.run_name.str()] = run.GetAdjustedRealTime();
            } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                times_[run.run_name.str()] = run.GetAdjustedRealTime();
                medians_.insert(run.run_name.str());
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatios(std::ostream& out) const {
        out << "\nkelmor / sqlite3 (goal: at most 1.5)\n";
        for (const auto& [name, time] : times_) {
            const auto cut = name.rfind("_Kelmor");
            if (cut == std::string::npos) continue;
            const auto raw = times_.find(name.substr(0, cut) + "_Sqlite");
            if (raw == times_.end() || raw->second <= 0) continue;
            char line[128];
            std::snprintf(line, sizeof line, "  %-16s %8.2f us / %8.2f us = %.2f\n",
                          name.substr(0, cut).c_str(), time, raw->second, time / raw->second);
            out << line;
        }
    }

private:
    std::map<std::string, double> times_;
    std::set<std::string> medians_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    try {
        Fixture::Get();  // build before timing anything
        RatioReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        reporter.PrintRatios(std::cout);
    } catch (const std::exception& e) {
        std::cerr << "kelmor_bench: " << e.what() << '\n';
        return 1;
    }
    benchmark::Shutdown();
    return 0;
}
