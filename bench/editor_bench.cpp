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
// The direct sides do the reads, queries and writes those actions name through
// kelmor, and replay the storage calls kelmor made for them with sqlite3
// statements on the same file (no record parsing, no French sort). Counts of
// storage calls per action are printed for the editor and kelmor, then the
// ratios.

#include <benchmark/benchmark.h>

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
#include "services/droits.h"
#include "storage_replay.h"

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
    std::shared_ptr<bench::RecordingBackend> recorder;
    std::shared_ptr<kelmor::Database> db;  // recorded, used by the editor and direct kelmor
    forms::ScriptedUiService ui;
    std::unique_ptr<forms::ScopedUi> scope;
    std::unique_ptr<QWidget> host;
    zonitra::Ctr_Secteur* editor = nullptr;

    World() {
        if (!dir.isValid()) throw std::runtime_error("no temporary directory");
        path = dir.filePath("bench.db").toStdString();
        auto plain = kelmor::Database::OpenSqlite(path);
        Build(*plain);
        recorder = std::make_shared<bench::RecordingBackend>(
            std::shared_ptr<kelmor::Backend>(plain, &plain->backend()));
        db = std::make_shared<kelmor::Database>(recorder);
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

std::map<std::string, bench::CallCounts> g_counts;

// The calls recorded since the last Take, counted.
bench::CallCounts Take(World& w) {
    const bench::CallCounts n = bench::Count(w.recorder->calls);
    w.recorder->calls.clear();
    return n;
}

void Note(const std::string& name, const bench::CallCounts& total, long iterations) {
    g_counts[name] = {total.reads / iterations, total.ranges / iterations,
                      total.writes / iterations};
}

void Accumulate(bench::CallCounts& total, const bench::CallCounts& c) {
    total.reads += c.reads;
    total.ranges += c.ranges;
    total.writes += c.writes;
}

// --------------------------------------------------------- editor actions

void BM_Editor_SectorCascade(benchmark::State& state) {
    World& w = TheWorld();
    const auto& ui = zonitra::EditorOf(*w.editor).Screen();
    bench::CallCounts total;
    for (auto _ : state) {
        state.PauseTiming();
        Focus(ui.Txt_CodeSecteur);
        SelectAll(ui.Txt_CodeSecteur);
        QTest::keyClick(ui.Txt_CodeSecteur, Qt::Key_Delete);
        Settle();
        Take(w);
        state.ResumeTiming();

        Type(ui.Txt_CodeSecteur, QStringLiteral("7"));
        Press(ui.Txt_CodeSecteur, Qt::Key_Return, "\r");

        state.PauseTiming();
        Accumulate(total, Take(w));
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
    bench::CallCounts total;
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
        Take(w);
        state.ResumeTiming();

        Type(ui.Cbo_LibSecteur, label);
        Press(ui.Cbo_LibSecteur, Qt::Key_Tab, "\t");

        state.PauseTiming();
        const bench::CallCounts c = Take(w);
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
void KelmorCascade(const kelmor::Database& db) {
    const kelmor::DbFile sec = db.OpenFile("SECTEUR"), sub = db.OpenFile("SOUSSECTEUR"),
                         qua = db.OpenFile("QUARTIER"), cen = db.OpenFile("CENTREMEDICAL"),
                         ant = db.OpenFile("ANTENNEMEDICALE");
    benchmark::DoNotOptimize(sec.ReadRecord(kSector));
    benchmark::DoNotOptimize(Query(db, "SSELECT ASSOCIATION", "ASSOCIATION", "1 "));
    benchmark::DoNotOptimize(
        Query(db, "SSELECT SOUSSECTEUR = '" + kSector + "]' PAR 1", "SOUSSECTEUR").Get(1));
    benchmark::DoNotOptimize(sub.ReadRecord(kSubSector));
    benchmark::DoNotOptimize(
        Query(db, "SSELECT QUARTIER = '" + kSubSector + "]' PAR 1", "QUARTIER").Get(1));
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

// The write of a new label, then the sector list read again.
void KelmorRename(kelmor::Database& db, bool north) {
    kelmor::DbRecord record = db.OpenFile("SECTEUR").ReadRecord(kSector);
    record.Set(1, north ? "SEPT NORD" : "SEPT SUD");
    record.DBWrite();
    benchmark::DoNotOptimize(Query(db, "SSELECT SECTEUR PAR 1", "SECTEUR"));
}

void BM_Kelmor_SectorCascade(benchmark::State& state) {
    World& w = TheWorld();
    Take(w);
    for (auto _ : state) KelmorCascade(*w.db);
    Note("Kelmor_SectorCascade", Take(w), state.iterations());
}

void BM_Kelmor_SectorRename(benchmark::State& state) {
    World& w = TheWorld();
    static long n = 0;
    Take(w);
    for (auto _ : state) KelmorRename(*w.db, ++n % 2);
    Note("Kelmor_SectorRename", Take(w), state.iterations());
}

// ---------------------------------------------------- direct, with sqlite3

// The storage calls of one run of `action` through kelmor, for replay.
template <typename Action>
std::vector<bench::Call> Recorded(World& w, Action action) {
    w.recorder->calls.clear();
    action();
    std::vector<bench::Call> calls = std::move(w.recorder->calls);
    w.recorder->calls.clear();
    bench::FillSortKeys(calls);
    return calls;
}

void BM_Sqlite_SectorCascade(benchmark::State& state) {
    World& w = TheWorld();
    const std::vector<bench::Call> calls = Recorded(w, [&] { KelmorCascade(*w.db); });
    bench::Replayer replay(w.path);
    for (auto _ : state) benchmark::DoNotOptimize(replay.Run(calls));
}

void BM_Sqlite_SectorRename(benchmark::State& state) {
    World& w = TheWorld();
    const std::vector<bench::Call> calls = Recorded(w, [&] { KelmorRename(*w.db, true); });
    bench::Replayer replay(w.path);
    for (auto _ : state) benchmark::DoNotOptimize(replay.Run(calls));
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
        std::printf("\nstorage calls per action (reads / key ranges / writes):\n");
        for (const auto& [name, c] : g_counts)
            std::printf("  %-22s %ld / %ld / %ld\n", name.c_str(), c.reads, c.ranges, c.writes);
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
