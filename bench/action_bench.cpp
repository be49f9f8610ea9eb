// Operator actions replayed through the real editor, offscreen, on a generated
// database, each next to the same storage work done directly with sqlite3.
//
//   action_bench [SAMPLES]        (default 200 per action)
//
// The database is `kelmor DB generate 999 20 20 BENCH`, made on first use in
// $ZONITRA_BENCH_DIR (or /tmp) as action-999-20-20.db and kept for later runs.
//
// Each sample times one key event, the one that sets the action off:
//   SectorLookup  Enter in the sector code after "7" (the sector read and
//                 shown, its 20 sub-sectors listed)
//   SectorRename  Tab out of the sector label after typing a new one (the
//                 write and the refill of the sector list)
// "handler" runs from the key press to the return of its release, before any
// paint; "with paint" goes on to the events it posted and a synchronous repaint
// of the whole editor (an upper bound on the paint of the changed widgets).
// The storage calls the action made are recorded and replayed with prepared
// sqlite3 statements on the same file ("sqlite3"): the reads, key ranges,
// counts, label-ordered pages and writes, without records parsed or lists
// filled. Ratios compare the same percentile.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "control/ctr_secteur.h"
#include "control/secteur_editor.h"
#include "forms/idle.h"
#include "forms/scripteduiservice.h"
#include "forms/uiservice.h"
#include "kelmor/database.h"
#include "services/droits.h"
#include "storage_replay.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The generated database, made once and kept.
std::string Database() {
    const char* dir = std::getenv("ZONITRA_BENCH_DIR");
    const fs::path path = fs::path(dir && *dir ? dir : "/tmp") / "action-999-20-20.db";
    if (!fs::exists(path)) {
        std::fprintf(stderr, "action_bench: generating %s\n", path.c_str());
        const std::string command =
            std::string(KELMOR_PROGRAM) + " '" + path.string() + "' generate 999 20 20 BENCH";
        if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
    }
    return path.string();
}

void Settle() {
    if (!forms::WaitIdle()) throw std::runtime_error("the editor is still busy after 5 s");
}

void Require(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error("action_bench: " + what);
}

struct Editor {
    std::string path = Database();
    std::shared_ptr<bench::RecordingBackend> recorder;
    std::shared_ptr<kelmor::Database> db;
    forms::ScriptedUiService ui;
    forms::ScopedUi scope{ui};
    QWidget host;
    zonitra::Ctr_Secteur* editor = new zonitra::Ctr_Secteur(&host);

    Editor() {
        auto plain = kelmor::Database::OpenSqlite(path, kelmor::OpenMode::MustExist);
        recorder = std::make_shared<bench::RecordingBackend>(
            std::shared_ptr<kelmor::Backend>(plain, &plain->backend()));
        db = std::make_shared<kelmor::Database>(recorder);
        host.resize(editor->sizeHint());
        editor->SetDroitsUtilisateur(std::make_shared<services::DroitsUtilisateur>(*db, "BENCH"));
        editor->SetTheClient(std::make_shared<const int>(0));
        editor->SetTheDatabase(db);
        host.show();
        host.activateWindow();
        Require(QTest::qWaitForWindowActive(&host), "the host window is not active");
        editor->Init();
        Settle();
    }
    const auto& Ui() const { return zonitra::EditorOf(*editor).Screen(); }

    void Focus(QWidget* control) {
        QLineEdit* edit = qobject_cast<QComboBox*>(control)
                              ? qobject_cast<QComboBox*>(control)->lineEdit()
                              : qobject_cast<QLineEdit*>(control);
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 3, edit->height() / 2));
        Settle();
    }
    void Key(QWidget* control, Qt::Key key, const QString& text, Qt::KeyboardModifiers m = {}) {
        QTest::sendKeyEvent(QTest::Click, control, key, text, m);
        Settle();
    }
    void Type(QWidget* control, const QString& text) {
        for (QChar ch : text) {
            const char16_t code = ch.toUpper().unicode();
            Key(control, code < 0x100 ? Qt::Key(code) : Qt::Key_unknown, QString(ch));
        }
    }
    // Types over the whole text; `erase` empties the field first (a label is
    // typed over instead: emptying it would empty the code).
    void Retype(QWidget* control, const QString& text, bool erase) {
        Focus(control);
        Key(control, Qt::Key_A, {}, Qt::ControlModifier);
        if (erase) Key(control, Qt::Key_Delete, {});
        Type(control, text);
    }
};

struct Sample {
    double handler = 0, painted = 0, direct = 0;
};

// Times `key` on `control`, then the same storage calls with sqlite3.
Sample Time(Editor& e, bench::Replayer& replay, QWidget* control, Qt::Key key, const char* text) {
    e.recorder->calls.clear();
    const Clock::time_point t0 = Clock::now();
    QTest::sendKeyEvent(QTest::Click, control, key, QString::fromLatin1(text), Qt::NoModifier);
    const Clock::time_point t1 = Clock::now();
    QCoreApplication::processEvents();
    e.editor->repaint();
    const Clock::time_point t2 = Clock::now();
    Settle();
    Require(e.recorder->calls.size() > 0,
            "a key in " + control->objectName().toStdString() + " made no storage call");
    std::vector<bench::Call> calls = std::move(e.recorder->calls);
    e.recorder->calls.clear();
    bench::FillSortKeys(calls);
    const Clock::time_point d0 = Clock::now();
    volatile std::size_t bytes = replay.Run(calls);
    static_cast<void>(bytes);
    return {Ms(t1 - t0), Ms(t2 - t0), Ms(Clock::now() - d0)};
}

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

void Report(const char* action, const std::vector<Sample>& samples) {
    std::vector<double> h, p, d;
    for (const Sample& s : samples)
        h.push_back(s.handler), p.push_back(s.painted), d.push_back(s.direct);
    for (double q : {0.50, 0.99}) {
        const double hq = Percentile(h, q), pq = Percentile(p, q), dq = Percentile(d, q);
        std::printf("%-13s p%-2d %10.3f %10.3f %10.3f %10.1f %10.1f\n", action,
                    static_cast<int>(q * 100), hq, pq, dq, hq / dq, pq / dq);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const int samples = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    try {
        Editor e;
        bench::Replayer replay(e.path);
        const auto& ui = e.Ui();
        std::vector<Sample> lookup, rename;
        for (int i = 0; i < samples; ++i) {
            e.Retype(ui.Txt_CodeSecteur, QStringLiteral("7"), true);
            lookup.push_back(Time(e, replay, ui.Txt_CodeSecteur, Qt::Key_Return, "\r"));
            Require(ui.Txt_CodeSecteur->Text() == "007" && !ui.Cbo_LibSecteur->Text().isEmpty() &&
                        ui.Cbo_LibSousSecteur->ListCount() == 20,
                    "the lookup of sector 007 did not list its 20 sub-sectors");
            Require(e.ui.TakeMessages().empty(), "a message box came up during the lookup");
        }
        for (int i = 0; i < samples; ++i) {
            e.Retype(ui.Txt_CodeSecteur, QStringLiteral("7"), true);
            e.Key(ui.Txt_CodeSecteur, Qt::Key_Return, QStringLiteral("\r"));
            const QString label = i % 2 ? QStringLiteral("sept nord") : QStringLiteral("sept sud");
            e.Retype(ui.Cbo_LibSecteur, label, false);
            rename.push_back(Time(e, replay, ui.Cbo_LibSecteur, Qt::Key_Tab, "\t"));
            Require(ui.Cbo_LibSecteur->Text() == label.toUpper(),
                    "the rename did not keep the typed label");
            Require(e.ui.TakeMessages().empty(), "a message box came up during the rename");
        }
        std::printf("999 x 20 x 20, %d samples per action, milliseconds\n", samples);
        std::printf("%-13s %-3s %10s %10s %10s %10s %10s\n", "action", "", "handler", "w/ paint",
                    "sqlite3", "hdl/sql", "paint/sql");
        Report("SectorLookup", lookup);
        Report("SectorRename", rename);
    } catch (const std::exception& ex) {
        std::fprintf(stderr, "action_bench: %s\n", ex.what());
        return 1;
    }
    return 0;
}
