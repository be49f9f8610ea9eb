// The sector editor's operator actions against the same database work done
// directly, on 999 sectors x 20 sub-sectors x 20 neighbourhoods with 200
// medical centres (three antennas each), built once per run in a temporary
// directory.
//
// The editor side drives the real Ctr_Secteur offscreen with real key and
// mouse events, letting the application go idle after each keystroke as the
// scripted operator does:
//   SectorCascade  types "7" then Enter in the sector code: sector 007 has one
//                  sub-sector with one neighbourhood, so the whole cascade runs
//                  (sector, sub-sector, neighbourhood, centre and antenna).
//   SectorRename   types over the label of sector 007 and leaves it with Tab:
//                  the label is written and the sector list filled again.
// The direct sides do the reads, queries and writes those actions name, once
// through kelmor and once with sqlite3 statements on the same file (no record
// parsing, no French sort). Counts of storage calls per action are printed
// for both, then the ratios.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "control/secteur_editor.h"
#include "forms/focus.h"
#include "forms/idle.h"
#include "forms/scripteduiservice.h"
#include "forms/uiservice.h"
#include "kelmor/database.h"
#include "kelmor/forwarding_backend.h"
#include "services/droits.h"

namespace {

constexpr int kSectors = 999;
constexpr int kSubSectors = 20;
constexpr int kNeighbourhoods = 20;
constexpr int kCentres = 200;
constexpr int kAntennas = 3;
// The sector looked up: one sub-sector, one neighbourhood, linked to 012002.
const std::string kSector = "007", kSubSector = "00701", kNeighbourhood = "0070101";
const std::string kCentre = "012", kAntenna = "012002";

std::string Code(int n, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, n);
    return text;
}

// Forwards to the storage and counts its calls, so that each action's round
// trips can be compared with what the direct side does.
class CountingBackend : public kelmor::ForwardingBackend {
public:
    using ForwardingBackend::ForwardingBackend;
    struct Counts {
        long reads = 0, scans = 0, writes = 0;
    };
    Counts Take() { return std::exchange(counts_, {}); }

    std::optional<std::string> Read(std::string_view f, std::string_view k) override {
        ++counts_.reads;
        return inner().Read(f, k);
    }
    void Write(std::string_view f, std::string_view k, std::string_view w) override {
        ++counts_.writes;
        inner().Write(f, k, w);
    }
    bool Insert(std::string_view f, std::string_view k, std::string_view w) override {
        ++counts_.writes;
        return inner().Insert(f, k, w);
    }
    std::string Update(std::string_view f, std::string_view k, const Updater& u) override {
        ++counts_.writes;
        return inner().Update(f, k, u);
    }
    void Scan(std::string_view f, const kelmor::KeySelection& s, const Visitor& v) override {
        ++counts_.scans;
        inner().Scan(f, s, v);
    }

private:
    Counts counts_;
};

void Put(const kelmor::DbFile& file, const std::string& key, const std::string& a1,
         const std::string& a2 = {}) {
    kelmor::DbRecord record = file.NewRecord(key);
    record.Set(1, a1);
    if (!a2.empty()) record.Set(2, a2);
    record.DBWrite();
}

void Build(kelmor::Database& db) {
    for (const char* f : {"SECTEUR", "SOUSSECTEUR", "QUARTIER", "CENTREMEDICAL", "ANTENNEMEDICALE",
                          "ASSOCIATION", "COMPTEUR", "DROITS"})
        db.CreateFile(f);
    kelmor::Transaction all(db);
    const kelmor::DbFile sec = db.OpenFile("SECTEUR"), sub = db.OpenFile("SOUSSECTEUR"),
                         qua = db.OpenFile("QUARTIER"), cen = db.OpenFile("CENTREMEDICAL"),
                         ant = db.OpenFile("ANTENNEMEDICALE");
    for (int c = 1; c <= kCentres; ++c) {
        Put(cen, Code(c, 3), "CENTRE MÉDICAL " + Code(c, 3));
        for (int a = 1; a <= kAntennas; ++a)
            Put(ant, Code(c, 3) + Code(a, 3), "ANTENNE " + Code(c, 3) + "-" + Code(a, 3));
    }
    for (int s = 1; s <= kSectors; ++s) {
        const std::string sk = Code(s, 3);
        Put(sec, sk, "SECTEUR " + sk);
        const bool single = sk == kSector;
        for (int u = 1; u <= (single ? 1 : kSubSectors); ++u) {
            const std::string uk = sk + Code(u, 2);
            Put(sub, uk, "SOUS-SECTEUR " + uk);
            for (int q = 1; q <= (single ? 1 : kNeighbourhoods); ++q) {
                const int link = (s * kSubSectors + u) % kCentres + 1;
                Put(qua, uk + Code(q, 2), "QUARTIER " + uk + Code(q, 2),
                    single ? kAntenna : Code(link, 3) + Code(q % kAntennas + 1, 3));
            }
        }
    }
    for (int e = 1; e <= 3; ++e)
        Put(db.OpenFile("ASSOCIATION"), Code(e, 3), "ENTITÉ " + Code(e, 3));
    Put(db.OpenFile("COMPTEUR"), "999", "COMPTEUR");
    kelmor::DbRecord user = db.OpenFile("DROITS").NewRecord("BENCH");
    user.Set(1, "SECTEUR");
    user.Set(2, "2");
    user.DBWrite();
    all.Commit();
}

// ------------------------------------------------------------ the world

struct World {
    QTemporaryDir dir;
    std::string path;
    std::shared_ptr<CountingBackend> counter;
    std::shared_ptr<kelmor::Database> db;  // counted, used by the editor and direct kelmor
    forms::ScriptedUiService ui;
    std::unique_ptr<forms::ScopedUi> scope;
    std::unique_ptr<QWidget> host;
    zonitra::Ctr_Secteur* editor = nullptr;

    World() {
        if (!dir.isValid()) throw std::runtime_error("no temporary directory");
        path = dir.filePath("bench.db").toStdString();
        auto plain = kelmor::Database::OpenSqlite(path);
        Build(*plain);
        counter = std::make_shared<CountingBackend>(
            std::shared_ptr<kelmor::Backend>(plain, &plain->backend()));
        db = std::make_shared<kelmor::Database>(counter);
        scope = std::make_unique<forms::ScopedUi>(ui);
        host = std::make_unique<QWidget>();
        editor = new zonitra::Ctr_Secteur(host.get());
        host->resize(editor->sizeHint());
        editor->SetDroitsUtilisateur(std::make_shared<services::DroitsUtilisateur>(*db, "BENCH"));
        editor->SetTheClient(std::make_shared<const int>(0));
        editor->SetTheDatabase(db);
        host->show();
        host->activateWindow();
        if (!QTest::qWaitForWindowActive(host.get())) throw std::runtime_error("host not active");
        editor->Init();
        forms::WaitIdle();
    }
};

// Built by main once the application exists, destroyed before it.
std::unique_ptr<World> g_world;

World& TheWorld() {
    return *g_world;
}

// ------------------------------------------------- operator, as zonitra-drive

void Settle() {
    if (!forms::WaitIdle()) throw std::runtime_error("the editor is still busy after 5 s");
}

QLineEdit* EditOf(QWidget* control) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->lineEdit();
    return qobject_cast<QLineEdit*>(control);
}

void Focus(QWidget* control) {
    QLineEdit* edit = EditOf(control);
    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 3, edit->height() / 2));
    Settle();
}

void SelectAll(QWidget* control) {
    QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
    Settle();
}

void Type(QWidget* control, const QString& text) {
    for (QChar ch : text) {
        const char16_t code = ch.toUpper().unicode();
        QTest::sendKeyEvent(QTest::Click, control, code < 0x100 ? Qt::Key(code) : Qt::Key_unknown,
                            QString(ch), Qt::NoModifier);
        Settle();
    }
}

void Press(QWidget* control, Qt::Key key, const char* text) {
    QTest::sendKeyEvent(QTest::Click, control, key, QString::fromLatin1(text), Qt::NoModifier);
    Settle();
}

void Require(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error("benchmark set-up: " + what);
}

std::map<std::string, CountingBackend::Counts> g_counts;

void Note(const std::string& name, const CountingBackend::Counts& total, long iterations) {
    g_counts[name] = {total.reads / iterations, total.scans / iterations,
                      total.writes / iterations};
}

void Accumulate(CountingBackend::Counts& total, const CountingBackend::Counts& c) {
    total.reads += c.reads;
    total.scans += c.scans;
    total.writes += c.writes;
}

// --------------------------------------------------------- editor actions

void BM_Editor_SectorCascade(benchmark::State& state) {
    World& w = TheWorld();
    const auto& ui = zonitra::EditorOf(*w.editor).Screen();
    CountingBackend::Counts total;
    for (auto _ : state) {
        state.PauseTiming();
        Focus(ui.Txt_CodeSecteur);
        SelectAll(ui.Txt_CodeSecteur);
        QTest::keyClick(ui.Txt_CodeSecteur, Qt::Key_Delete);
        Settle();
        w.counter->Take();
        state.ResumeTiming();

        Type(ui.Txt_CodeSecteur, QStringLiteral("7"));
        Press(ui.Txt_CodeSecteur, Qt::Key_Return, "\r");

        state.PauseTiming();
        Accumulate(total, w.counter->Take());
        Require(
            ui.Txt_CodeAntMedQuartier->Text() == "002" &&
                ui.Cbo_LibQuartier->Text() == QString::fromStdString("QUARTIER " + kNeighbourhood),
            "the cascade did not reach antenna 002 of neighbourhood " + kNeighbourhood);
        Require(w.ui.TakeMessages().empty(), "a message box came up during the cascade");
        state.ResumeTiming();
    }
    Note("SectorCascade", total, state.iterations());
}

void BM_Editor_SectorRename(benchmark::State& state) {
    World& w = TheWorld();
    const auto& ui = zonitra::EditorOf(*w.editor).Screen();
    CountingBackend::Counts total;
    static long n = 0;  // across runs: each rename must change the label
    for (auto _ : state) {
        state.PauseTiming();
        const QString label = (++n % 2) ? QStringLiteral("sept nord") : QStringLiteral("sept sud");
        // Sector 007 shown afresh: the rename refills the sector list, which
        // empties the code.
        Focus(ui.Txt_CodeSecteur);
        SelectAll(ui.Txt_CodeSecteur);
        QTest::keyClick(ui.Txt_CodeSecteur, Qt::Key_Delete);
        Settle();
        Type(ui.Txt_CodeSecteur, QStringLiteral("7"));
        Press(ui.Txt_CodeSecteur, Qt::Key_Return, "\r");
        Focus(ui.Cbo_LibSecteur);
        Require(forms::FocusedControl() == ui.Cbo_LibSecteur,
                "the sector label did not take the focus (it is in " +
                    (forms::FocusedControl() ? forms::FocusedControl()->objectName().toStdString()
                                             : std::string("nothing")) +
                    ")");
        SelectAll(ui.Cbo_LibSecteur);
        w.counter->Take();
        state.ResumeTiming();

        Type(ui.Cbo_LibSecteur, label);
        Press(ui.Cbo_LibSecteur, Qt::Key_Tab, "\t");

        state.PauseTiming();
        const CountingBackend::Counts c = w.counter->Take();
        Accumulate(total, c);
        Require(c.writes == 1 && ui.Cbo_LibSecteur->Text() == label.toUpper(),
                "the rename did not write the label once (writes " + std::to_string(c.writes) +
                    ", label \"" + ui.Cbo_LibSecteur->Text().toStdString() + "\", focus " +
                    (QApplication::focusWidget()
                         ? QApplication::focusWidget()->objectName().toStdString()
                         : std::string("none")) +
                    ")");
        Require(w.ui.TakeMessages().empty(), "a message box came up during the rename");
        state.ResumeTiming();
    }
    Note("SectorRename", total, state.iterations());
}

// ------------------------------------------------------ direct, with kelmor

kelmor::ResultList Query(const kelmor::Database& db, const std::string& text, const char* file,
                         const char* columns = "0 1") {
    kelmor::DynArray request;
    request.Set(1, text);
    request.Set(2, file);
    request.Set(3, columns);
    std::int32_t count = 0;
    return db.Query(request.Text(), "", count);
}

// The reads and queries the cascade names, in its order.
void BM_Kelmor_SectorCascade(benchmark::State& state) {
    World& w = TheWorld();
    const kelmor::Database& db = *w.db;
    const kelmor::DbFile sec = db.OpenFile("SECTEUR"), sub = db.OpenFile("SOUSSECTEUR"),
                         qua = db.OpenFile("QUARTIER"), cen = db.OpenFile("CENTREMEDICAL"),
                         ant = db.OpenFile("ANTENNEMEDICALE");
    CountingBackend::Counts total;
    w.counter->Take();
    for (auto _ : state) {
        benchmark::DoNotOptimize(sec.ReadRecord(kSector));
        benchmark::DoNotOptimize(Query(db, "SSELECT ASSOCIATION", "ASSOCIATION", "1 "));
        benchmark::DoNotOptimize(
            Query(db, "SSELECT SOUSSECTEUR = '" + kSector + "]' PAR 1", "SOUSSECTEUR"));
        benchmark::DoNotOptimize(sub.ReadRecord(kSubSector));
        benchmark::DoNotOptimize(
            Query(db, "SSELECT QUARTIER = '" + kSubSector + "]' PAR 1", "QUARTIER"));
        const kelmor::DbRecord q = qua.ReadRecord(kNeighbourhood);
        const std::string link = q.Get(2);
        // The centre code's lookup, its antennas, the antenna code's lookup,
        // then the display's own reads of both.
        benchmark::DoNotOptimize(cen.ReadRecord(link.substr(0, 3)));
        benchmark::DoNotOptimize(Query(
            db, "SSELECT ANTENNEMEDICALE = '" + link.substr(0, 3) + "]' PAR 1", "ANTENNEMEDICALE"));
        benchmark::DoNotOptimize(ant.ReadRecord(link));
        benchmark::DoNotOptimize(cen.ReadRecord(link.substr(0, 3)));
        benchmark::DoNotOptimize(ant.ReadRecord(link));
    }
    total = w.counter->Take();
    Note("Kelmor_SectorCascade", total, state.iterations());
}

void BM_Kelmor_SectorRename(benchmark::State& state) {
    World& w = TheWorld();
    kelmor::DbRecord record = w.db->OpenFile("SECTEUR").ReadRecord(kSector);
    static long n = 0;
    w.counter->Take();
    for (auto _ : state) {
        record.Set(1, (++n % 2) ? "SEPT NORD" : "SEPT SUD");
        record.DBWrite();
        benchmark::DoNotOptimize(Query(*w.db, "SSELECT SECTEUR PAR 1", "SECTEUR"));
    }
    Note("Kelmor_SectorRename", w.counter->Take(), state.iterations());
}

// ---------------------------------------------------- direct, with sqlite3

class Raw {
public:
    explicit Raw(const std::string& path) {
        Check(sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr), "open");
        // The same durability as the library's connection.
        Check(sqlite3_exec(db_, "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL", nullptr,
                           nullptr, nullptr),
              "pragmas");
        read_ = Prepare("SELECT body FROM kelmor_records WHERE file = ?1 AND key = ?2");
        range_ = Prepare(
            "SELECT key, body FROM kelmor_records WHERE file = ?1 AND key >= ?2 AND key < ?3 "
            "ORDER BY key");
        all_ = Prepare("SELECT key, body FROM kelmor_records WHERE file = ?1 ORDER BY key");
        write_ = Prepare(
            "INSERT INTO kelmor_records(file, key, body) VALUES (?1, ?2, ?3) "
            "ON CONFLICT(file, key) DO UPDATE SET body = excluded.body");
        sqlite3_stmt* ids = Prepare("SELECT id, name FROM kelmor_files");
        while (sqlite3_step(ids) == SQLITE_ROW)
            files_[reinterpret_cast<const char*>(sqlite3_column_text(ids, 1))] =
                sqlite3_column_int64(ids, 0);
        sqlite3_finalize(ids);
    }
    ~Raw() {
        for (sqlite3_stmt* s : {read_, range_, all_, write_}) sqlite3_finalize(s);
        sqlite3_close(db_);
    }
    Raw(const Raw&) = delete;
    Raw& operator=(const Raw&) = delete;

    std::size_t Read(const char* file, const std::string& key) {
        sqlite3_bind_int64(read_, 1, files_.at(file));
        sqlite3_bind_text(read_, 2, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
        std::size_t bytes = 0;
        if (sqlite3_step(read_) == SQLITE_ROW) bytes = sqlite3_column_bytes(read_, 0);
        sqlite3_reset(read_);
        return bytes;
    }
    // Rows whose key starts with prefix (digits only here: the bound is prefix + ':').
    std::size_t Prefix(const char* file, const std::string& prefix) {
        const std::string upper = prefix + ':';
        sqlite3_bind_int64(range_, 1, files_.at(file));
        sqlite3_bind_text(range_, 2, prefix.data(), static_cast<int>(prefix.size()), SQLITE_STATIC);
        sqlite3_bind_text(range_, 3, upper.data(), static_cast<int>(upper.size()), SQLITE_STATIC);
        return Drain(range_);
    }
    std::size_t All(const char* file) {
        sqlite3_bind_int64(all_, 1, files_.at(file));
        return Drain(all_);
    }
    void Write(const char* file, const std::string& key, const std::string& body) {
        sqlite3_bind_int64(write_, 1, files_.at(file));
        sqlite3_bind_text(write_, 2, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
        sqlite3_bind_blob(write_, 3, body.data(), static_cast<int>(body.size()), SQLITE_STATIC);
        Check(sqlite3_step(write_), "write");
        sqlite3_reset(write_);
    }

private:
    sqlite3_stmt* Prepare(const char* sql) {
        sqlite3_stmt* s = nullptr;
        Check(sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr), sql);
        return s;
    }
    std::size_t Drain(sqlite3_stmt* s) {
        std::size_t bytes = 0;
        while (sqlite3_step(s) == SQLITE_ROW) bytes += sqlite3_column_bytes(s, 1);
        sqlite3_reset(s);
        return bytes;
    }
    void Check(int rc, const char* what) {
        if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
            throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db_));
    }

    sqlite3* db_ = nullptr;
    sqlite3_stmt *read_ = nullptr, *range_ = nullptr, *all_ = nullptr, *write_ = nullptr;
    std::map<std::string, sqlite3_int64> files_;
};

void BM_Sqlite_SectorCascade(benchmark::State& state) {
    Raw raw(TheWorld().path);
    for (auto _ : state) {
        benchmark::DoNotOptimize(raw.Read("SECTEUR", kSector));
        benchmark::DoNotOptimize(raw.All("ASSOCIATION"));
        benchmark::DoNotOptimize(raw.Prefix("SOUSSECTEUR", kSector));
        benchmark::DoNotOptimize(raw.Read("SOUSSECTEUR", kSubSector));
        benchmark::DoNotOptimize(raw.Prefix("QUARTIER", kSubSector));
        benchmark::DoNotOptimize(raw.Read("QUARTIER", kNeighbourhood));
        benchmark::DoNotOptimize(raw.Read("CENTREMEDICAL", kCentre));
        benchmark::DoNotOptimize(raw.Prefix("ANTENNEMEDICALE", kCentre));
        benchmark::DoNotOptimize(raw.Read("ANTENNEMEDICALE", kAntenna));
        benchmark::DoNotOptimize(raw.Read("CENTREMEDICAL", kCentre));
        benchmark::DoNotOptimize(raw.Read("ANTENNEMEDICALE", kAntenna));
    }
}

void BM_Sqlite_SectorRename(benchmark::State& state) {
    Raw raw(TheWorld().path);
    long n = 0;
    for (auto _ : state) {
        raw.Write("SECTEUR", kSector, (++n % 2) ? "SEPT NORD" : "SEPT SUD");
        benchmark::DoNotOptimize(raw.All("SECTEUR"));
    }
}

BENCHMARK(BM_Editor_SectorCascade)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Kelmor_SectorCascade)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Sqlite_SectorCascade)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Editor_SectorRename)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Kelmor_SectorRename)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Sqlite_SectorRename)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps each run's real time per iteration for the ratios.
class Reporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // Milliseconds per action: the mean of repetitions when there are some.
        for (const Run& run : runs) {
            const bool mean = run.run_type == Run::RT_Aggregate && run.aggregate_name == "mean";
            if (mean ||
                (run.run_type == Run::RT_Iteration && !means_.count(run.run_name.function_name)))
                times_[run.run_name.function_name] = run.GetAdjustedRealTime();
            if (mean) means_.insert(run.run_name.function_name);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatios() const {
        std::printf("\n%-15s %12s %12s %12s %10s %10s\n", "action", "editor ms", "kelmor ms",
                    "sqlite3 ms", "ed/kelmor", "ed/sqlite");
        for (const char* action : {"SectorCascade", "SectorRename"}) {
            const double e = Get(std::string("BM_Editor_") + action);
            const double k = Get(std::string("BM_Kelmor_") + action);
            const double s = Get(std::string("BM_Sqlite_") + action);
            std::printf("%-15s %12.3f %12.3f %12.3f %10.1f %10.1f\n", action, e, k, s,
                        k > 0 ? e / k : 0, s > 0 ? e / s : 0);
        }
        std::printf("\nstorage calls per action (reads / scans / writes):\n");
        for (const auto& [name, c] : g_counts)
            std::printf("  %-22s %ld / %ld / %ld\n", name.c_str(), c.reads, c.scans, c.writes);
    }

private:
    double Get(const std::string& name) const {
        const auto it = times_.find(name);
        return it == times_.end() ? 0 : it->second;
    }
    std::map<std::string, double> times_;
    std::set<std::string> means_;
};

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    try {
        g_world = std::make_unique<World>();
    } catch (const std::exception& e) {
        std::cerr << "editor_bench: " << e.what() << "\n";
        return 1;
    }
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    g_world.reset();
    return 0;
}
