// Operator actions replayed through the real editor, offscreen, on a generated
// database, each next to the same storage work done directly with sqlite3.
//
//   action_bench [--large] [SAMPLES]     (default 200 samples per action)
//
// ZONITRA_BENCH_ONLY=OkSector,SubLookup runs only the actions named (Relink
// works on the neighbourhood QuartLookup leaves shown).
//
// The database is `kelmor DB generate 999 20 20 BENCH` (999 x 99 x 99 with
// --large or ZONITRA_BENCH_LARGE=1: 9.9 million records, minutes to make),
// made on first use in $ZONITRA_BENCH_DIR (or /tmp) as action-999-U-N.db and
// kept for later runs. Each run first makes room for the creations, once:
// sector 999 and everything under it goes (codes 001-998 stay taken, so the
// sector creation probes them all), as do sub-sector 00799 and neighbourhood
// 0070199 when their parent is full.
//
// Each sample times the one event that sets an action off:
//   SectorLookup   Enter in the sector code after "8" (sector 008 shown, its
//                  sub-sectors listed)
//   SubLookup      Enter in the sub-sector code after "1" (00801 shown, its
//                  neighbourhoods listed)
//   QuartLookup    Enter in the neighbourhood code after "1" (0080101 shown
//                  with its medical centre and antenna)
//   Relink         Tab out of the antenna code after typing another antenna
//                  of the centre (the neighbourhood's link written)
//   SectorRename   Tab out of the sector label after typing a new one (the
//                  write and the refill of the sector list)
//   OkSector       click on "OK" of a new sector, codes 001-998 taken: three
//                  inserts at 999 (the codes walked by "Ajouter", the database
//                  unchanged since), every level cleared and its list refilled
//                  (the sub-sector and neighbourhood lists with every record
//                  of their files)
//   AddSector      click on "Ajouter" of the sector level (the codes in use
//                  walked for "OK"), before OkSector
//   OkSubSector    "OK" of a new sub-sector of 007 (AddSubSector its "Ajouter")
//   OkQuartier     "OK" of a new neighbourhood of 00701
//   OpenAgrement, OpenAdresse, OpenGestDoc
//                  click on the dialog's button, sector 008 shown, until the
//                  dialog is shown (it is then closed, untimed)
// "handler" runs from the press to the return of the release (for a dialog:
// to its show), before any paint; "with paint" goes on to the events it posted
// and a synchronous repaint of the whole editor (of the dialog), an upper
// bound on the paint of the changed widgets. The storage calls the action made
// are recorded and replayed with prepared sqlite3 statements on the same file
// ("sqlite3"): the reads, key ranges, counts, label-ordered pages and writes,
// without records parsed or lists filled. A creation's records are removed
// before its replay and after it, untimed. Ratios compare the same percentile.
// "hdl cpu" is the handler's CPU time (this thread's), which leaves out the
// time other processes held the CPU on a loaded machine. The peak resident
// memory (VmHWM) is reset before each creation's samples and printed after
// them.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "control/ctr_secteur.h"
#include "control/secteur_editor.h"
#include "forms/idle.h"
#include "forms/modalform.h"
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

// This thread's CPU time in milliseconds: on a loaded machine the wall-clock
// percentiles include time other processes held the CPU.
double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void Require(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error("action_bench: " + what);
}

void Settle() {
    if (!forms::WaitIdle()) throw std::runtime_error("the editor is still busy after 5 s");
}

// The generated database, made once and kept.
std::string Database(int children) {
    const char* dir = std::getenv("ZONITRA_BENCH_DIR");
    const std::string size = "999 " + std::to_string(children) + " " + std::to_string(children);
    const std::string name =
        "action-999-" + std::to_string(children) + "-" + std::to_string(children) + ".db";
    const fs::path path = fs::path(dir && *dir ? dir : "/tmp") / name;
    if (!fs::exists(path)) {
        std::fprintf(stderr, "action_bench: generating %s\n", path.c_str());
        const std::string command =
            std::string(KELMOR_PROGRAM) + " '" + path.string() + "' generate " + size + " BENCH";
        if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
    }
    return path.string();
}

// Removes the records of `file` whose key starts with `prefix`, in one transaction.
void Remove(kelmor::Backend& b, const char* file, const std::string& prefix) {
    std::vector<std::string> keys;
    b.Scan(file, {kelmor::KeySelection::Kind::Prefix, prefix},
           [&](std::string_view key, std::string_view) { keys.emplace_back(key); });
    if (keys.empty()) return;
    b.Begin();
    for (const std::string& k : keys) b.Delete(file, k);
    b.Commit();
}

// Room for the three creations (see the top of the file).
void MakeRoom(kelmor::Backend& b) {
    Remove(b, "SECTEUR", "999");
    Remove(b, "SOUSSECTEUR", "999");
    Remove(b, "QUARTIER", "999");
    if (b.Read("SOUSSECTEUR", "00799")) {
        Remove(b, "SOUSSECTEUR", "00799");
        Remove(b, "QUARTIER", "00799");
    }
    if (b.Read("QUARTIER", "0070199")) Remove(b, "QUARTIER", "0070199");
}

// kB of a line of /proc/self/status ("VmHWM", "VmRSS").
long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field) + 1);
    }
    return -1;
}

void ResetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

struct Editor {
    std::string path;
    std::shared_ptr<kelmor::Database> plain;  // not recorded: set-up and clean-up
    std::shared_ptr<bench::RecordingBackend> recorder;
    std::shared_ptr<kelmor::Database> db;
    forms::ScriptedUiService ui;
    forms::ScopedUi scope{ui};
    QWidget host;
    zonitra::Ctr_Secteur* editor = new zonitra::Ctr_Secteur(&host);

    explicit Editor(int children) : path(Database(children)) {
        plain = kelmor::Database::OpenSqlite(path, kelmor::OpenMode::MustExist);
        // What `kelmor generate` declares; a database made before gets them
        // once (counting its records takes a while), later runs change nothing.
        plain->CountKeyPrefixes("SOUSSECTEUR", 3);
        plain->CountKeyPrefixes("QUARTIER", 3);
        plain->CountKeyPrefixes("QUARTIER", 5);
        MakeRoom(plain->backend());
        recorder = std::make_shared<bench::RecordingBackend>(
            std::shared_ptr<kelmor::Backend>(plain, &plain->backend()));
        db = std::make_shared<kelmor::Database>(recorder);
        host.resize(editor->sizeHint());
        editor->SetDroitsUtilisateur(std::make_shared<services::DroitsUtilisateur>(*db, "BENCH"));
        editor->SetTheClient(std::make_shared<const int>(0));
        editor->SetTheDatabase(db);
        editor->OfferDocumentSettings(true);
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
    // Code typed and confirmed with Enter, untimed.
    void Enter(QWidget* control, const QString& code) {
        Retype(control, code, true);
        Key(control, Qt::Key_Return, QStringLiteral("\r"));
    }
    void Click(QWidget* button) {
        Require(button->isEnabled(), button->objectName().toStdString() + " is disabled");
        QTest::mouseClick(button, Qt::LeftButton);
        Settle();
    }
    // The label and medical links of a new record, typed as an operator would.
    void FillNew(QWidget* label, const QString& text) {
        Retype(label, text, false);
        Key(label, Qt::Key_Tab, QStringLiteral("\t"));
        Retype(Ui().Txt_CodeCentreMedQuartier, QStringLiteral("001"), true);
        Retype(Ui().Txt_CodeAntMedQuartier, QStringLiteral("001"), true);
    }
    void NoMessage(const char* during) {
        const auto messages = ui.TakeMessages();
        Require(messages.empty(), std::string("a message box came up during ") + during + ": " +
                                      (messages.empty() ? "" : messages[0].text.toStdString()));
    }
};

struct Sample {
    double handler = 0, painted = 0, direct = 0;
    double handlerCpu = 0;  // the handler's CPU time: what preemption leaves out
    bench::CallCounts calls;
    std::vector<bench::Call> recorded;  // until replayed
};

// The records a creation inserted, deleted with sqlite3.
std::vector<bench::Call> Undo(const std::vector<bench::Call>& calls) {
    std::vector<bench::Call> undo;
    for (const bench::Call& c : calls) {
        if (c.kind != bench::Call::Kind::Insert) continue;
        bench::Call d;
        d.kind = bench::Call::Kind::Delete;
        d.file = c.file;
        d.key = c.key;
        undo.push_back(std::move(d));
    }
    return undo;
}

// By default each side keeps its page cache, as one workstation would: the
// editor's samples of an action run first (a creation's records removed
// through the editor's own connection), then their calls are replayed with
// sqlite3. ZONITRA_BENCH_INTERLEAVE=1 replays each sample's calls right after
// it instead: the replayer's writes then empty the editor's page cache before
// every action, as another workstation writing between two actions would.
bool interleaved = false;

// The calls of the sample just timed, replayed with sqlite3; a creation's
// inserts are undone before and after, so that the replay inserts the same
// records.
void Replay(bench::Replayer& replay, Sample& s) {
    const std::vector<bench::Call> undo = Undo(s.recorded);
    replay.Run(undo);
    const Clock::time_point d0 = Clock::now();
    volatile std::size_t bytes = replay.Run(s.recorded);
    static_cast<void>(bytes);
    s.direct = Ms(Clock::now() - d0);
    replay.Run(undo);
    replay.Checkpoint();
    s.recorded.clear();
    s.recorded.shrink_to_fit();
}

void Direct(Editor& e, bench::Replayer& replay, Sample& s) {
    s.recorded = std::move(e.recorder->calls);
    e.recorder->calls.clear();
    bench::FillSortKeys(s.recorded);
    s.calls = bench::Count(s.recorded);
    if (interleaved) {
        Replay(replay, s);
        return;
    }
    const std::vector<bench::Call> undo = Undo(s.recorded);
    if (undo.empty()) return;
    kelmor::Backend& own = e.plain->backend();
    own.Begin();
    for (const bench::Call& d : undo) own.Delete(d.file, d.key);
    own.Commit();
}

// Times `act` (one key or click), then the same storage calls with sqlite3.
Sample Time(Editor& e, bench::Replayer& replay, const std::function<void()>& act,
            const std::function<void(const std::vector<bench::Call>&)>& check) {
    e.recorder->calls.clear();
    Sample s;
    const double c0 = CpuMs();
    const Clock::time_point t0 = Clock::now();
    act();
    const Clock::time_point t1 = Clock::now();
    s.handlerCpu = CpuMs() - c0;
    QCoreApplication::processEvents();
    e.editor->repaint();
    const Clock::time_point t2 = Clock::now();
    Settle();
    s.handler = Ms(t1 - t0);
    s.painted = Ms(t2 - t0);
    Require(!e.recorder->calls.empty(), "an action made no storage call");
    check(e.recorder->calls);
    Direct(e, replay, s);
    return s;
}

Sample TimeKey(Editor& e, bench::Replayer& replay, QWidget* control, Qt::Key key, const char* text,
               const std::function<void(const std::vector<bench::Call>&)>& check) {
    return Time(
        e, replay,
        [&] {
            QTest::sendKeyEvent(QTest::Click, control, key, QString::fromLatin1(text),
                                Qt::NoModifier);
        },
        check);
}

// Times a click that opens a modal dialog: to the dialog's show, then to its
// first paint. The dialog is closed at once, untimed.
class ShowWatch : public QObject {
public:
    Clock::time_point shown;
    bool seen = false;
    const double* cpuStart = nullptr;
    double* cpuShown = nullptr;
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show && !seen && qobject_cast<forms::ModalForm*>(object)) {
            shown = Clock::now();
            *cpuShown = CpuMs() - *cpuStart;
            seen = true;
        }
        return false;
    }
};

Sample TimeDialog(Editor& e, bench::Replayer& replay, QWidget* button) {
    ShowWatch watch;
    qApp->installEventFilter(&watch);
    Sample s;
    Clock::time_point t0, painted;
    double c0 = 0;
    std::vector<bench::Call> calls;
    bool opened = false;
    watch.cpuStart = &c0;
    watch.cpuShown = &s.handlerCpu;
    e.ui.ModalShown = [&](forms::ModalForm& form) {
        form.repaint();
        painted = Clock::now();
        calls = std::move(e.recorder->calls);
        opened = true;
        e.NoMessage("a dialog's opening");
        // Closed as the operator would, by its return or cancel button when it
        // refuses a plain unload.
        if (form.Unload()) return;
        for (const char* name : {"Cmd_Retour", "Cmd_Annuler"}) {
            if (auto* b = form.findChild<QAbstractButton*>(QString::fromLatin1(name))) {
                QTest::mouseClick(b, Qt::LeftButton);
                if (!form.isVisible()) return;
            }
        }
        throw std::runtime_error(form.objectName().toStdString() + " does not close");
    };
    e.recorder->calls.clear();
    c0 = CpuMs();
    t0 = Clock::now();
    QTest::mouseClick(button, Qt::LeftButton);
    qApp->removeEventFilter(&watch);
    e.ui.ModalShown = nullptr;
    Settle();
    Require(opened && watch.seen, button->objectName().toStdString() + " opened no dialog");
    e.ui.TakeMessages();  // the closing's, not measured
    s.handler = Ms(watch.shown - t0);
    s.painted = Ms(painted - t0);
    e.recorder->calls = std::move(calls);
    if (e.recorder->calls.empty()) {
        s.direct = 0;  // nothing read: no ratio
        return s;
    }
    Direct(e, replay, s);
    return s;
}

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

void Report(const char* action, const std::vector<Sample>& samples) {
    std::vector<double> h, p, d, cpu;
    for (const Sample& s : samples) {
        h.push_back(s.handler), p.push_back(s.painted), d.push_back(s.direct);
        cpu.push_back(s.handlerCpu);
    }
    const bench::CallCounts& c = samples.back().calls;
    for (double q : {0.50, 0.99}) {
        const double hq = Percentile(h, q), pq = Percentile(p, q), dq = Percentile(d, q);
        std::printf("%-13s p%-2d %10.3f %10.3f %10.3f %10.3f %10.1f %10.1f   %ld / %ld / %ld\n",
                    action, static_cast<int>(q * 100), hq, Percentile(cpu, q), pq, dq,
                    dq > 0 ? hq / dq : 0, dq > 0 ? pq / dq : 0, c.reads, c.ranges, c.writes);
    }
}

bool Wrote(const std::vector<bench::Call>& calls) {
    return std::any_of(calls.begin(), calls.end(), [](const bench::Call& c) {
        return c.kind == bench::Call::Kind::Update || c.kind == bench::Call::Kind::Write;
    });
}

std::size_t Inserts(const std::vector<bench::Call>& calls) {
    return static_cast<std::size_t>(std::count_if(calls.begin(), calls.end(), [](const auto& c) {
        return c.kind == bench::Call::Kind::Insert;
    }));
}

struct Run {
    const char* name;
    std::vector<Sample> samples;
    long peakKb = -1;  // VmHWM after the samples, creations only
};

void ReplayAll(bench::Replayer& replay, Run& r) {
    for (Sample& s : r.samples) {
        if (!s.recorded.empty()) Replay(replay, s);
    }
}

void Measure(Editor& e, bench::Replayer& replay, int samples, std::vector<Run>& runs,
             int children) {
    const auto& ui = e.Ui();
    // ZONITRA_BENCH_ONLY=OkSector,Relink keeps those actions only.
    const char* only = std::getenv("ZONITRA_BENCH_ONLY");
    const auto wanted = [&](const char* name) {
        if (!only || !*only) return true;
        const std::string list = std::string(",") + only + ",";
        return list.find(std::string(",") + name + ",") != std::string::npos;
    };
    auto run = [&](const char* name) -> Run& {
        std::fprintf(stderr, "action_bench: %s\n", name);
        return runs.emplace_back(Run{name, {}, -1});
    };

    // A lookup: a one-character code completed by Enter, then what it must show.
    const auto lookup = [&](const char* name, QWidget* code, const char* typed, const char* what,
                            const std::function<bool()>& shown) {
        if (!wanted(name)) return;
        Run& r = run(name);
        for (int i = 0; i < samples; ++i) {
            e.Retype(code, QString::fromLatin1(typed), true);
            r.samples.push_back(TimeKey(e, replay, code, Qt::Key_Return, "\r", [](const auto&) {}));
            Require(shown(), std::string("the ") + what + " did not show what it looked up");
            e.NoMessage(what);
        }
        ReplayAll(replay, r);
    };
    lookup("SectorLookup", ui.Txt_CodeSecteur, "8", "sector lookup", [&] {
        return ui.Txt_CodeSecteur->Text() == "008" &&
               ui.Cbo_LibSousSecteur->ListCount() == children;
    });
    lookup("SubLookup", ui.Txt_CodeSousSecteur, "1", "sub-sector lookup", [&] {
        return ui.Txt_CodeSousSecteur->Text() == "01" &&
               ui.Cbo_LibQuartier->ListCount() == children;
    });
    lookup("QuartLookup", ui.Txt_CodeQuartier, "1", "neighbourhood lookup", [&] {
        return ui.Txt_CodeQuartier->Text() == "01" && ui.Txt_CodeAntMedQuartier->Text().size() == 3;
    });

    if (wanted("Relink")) {
        Run& relink = run("Relink");
        const QString antenna = ui.Txt_CodeAntMedQuartier->Text();
        for (int i = 0; i < samples; ++i) {
            const QString other = i % 2 == 0 ? (antenna == "001" ? "002" : "001") : antenna;
            e.Retype(ui.Txt_CodeAntMedQuartier, other, true);
            relink.samples.push_back(TimeKey(
                e, replay, ui.Txt_CodeAntMedQuartier, Qt::Key_Tab, "\t", [](const auto& calls) {
                    Require(Wrote(calls), "leaving another antenna code wrote no link");
                }));
            e.NoMessage("the relink");
        }
        ReplayAll(replay, relink);
    }
    if (wanted("SectorRename")) {
        Run& rename = run("SectorRename");
        for (int i = 0; i < samples; ++i) {
            e.Enter(ui.Txt_CodeSecteur, QStringLiteral("8"));
            // Always another label than the stored one, or nothing would be written.
            const QString label = ui.Cbo_LibSecteur->Text() == "HUIT SUD"
                                      ? QStringLiteral("huit nord")
                                      : QStringLiteral("huit sud");
            e.Retype(ui.Cbo_LibSecteur, label, false);
            rename.samples.push_back(TimeKey(
                e, replay, ui.Cbo_LibSecteur, Qt::Key_Tab, "\t",
                [](const auto& calls) { Require(Wrote(calls), "the rename wrote nothing"); }));
            Require(ui.Cbo_LibSecteur->Text() == label.toUpper(),
                    "the rename did not keep the typed label");
            e.NoMessage("the rename");
        }
        ReplayAll(replay, rename);
    }
    if (wanted("OpenAgrement") || wanted("OpenAdresse") || wanted("OpenGestDoc")) {
        Run& dialogs = run("OpenAgrement");
        Run& adresse = run("OpenAdresse");
        Run& gestdoc = run("OpenGestDoc");
        e.Enter(ui.Txt_CodeSecteur, QStringLiteral("8"));
        for (int i = 0; i < samples; ++i) {
            dialogs.samples.push_back(TimeDialog(e, replay, ui.Cmd_Agrement));
            adresse.samples.push_back(TimeDialog(e, replay, ui.Cmd_Adresse));
            gestdoc.samples.push_back(TimeDialog(e, replay, ui.Cmd_GestionDocumentaire));
            e.NoMessage("a dialog's opening");
        }
        for (Run* r : {&dialogs, &adresse, &gestdoc}) ReplayAll(replay, *r);
    }

    // `add` is also timed as an action of its own when `addName` is given:
    // "Ajouter" walks the codes in use for its "OK".
    auto creation = [&](const char* name, std::size_t records, const char* addName,
                        const std::function<void()>& prepare, QWidget* add, QWidget* label) {
        if (!wanted(name) && !(addName && wanted(addName))) return;
        Run& r = run(name);
        Run* adds = addName ? &run(addName) : nullptr;
        ResetPeakMemory();
        for (int i = 0; i < samples; ++i) {
            prepare();
            if (adds) {
                adds->samples.push_back(Time(
                    e, replay, [&] { QTest::mouseClick(add, Qt::LeftButton); },
                    [&](const auto& calls) {
                        Require(Inserts(calls) == 0, std::string(addName) + " stored a record");
                    }));
            } else {
                e.Click(add);
            }
            e.FillNew(label, QStringLiteral("nouveau"));
            e.NoMessage("the entry of a new record");
            r.samples.push_back(Time(
                e, replay, [&] { QTest::mouseClick(e.Ui().Cmd_OkSecteurGeo, Qt::LeftButton); },
                [&](const auto& calls) {
                    Require(Inserts(calls) == records,
                            std::string(name) + " inserted " + std::to_string(Inserts(calls)) +
                                " records instead of " + std::to_string(records));
                }));
            e.NoMessage(name);
        }
        r.peakKb = StatusKb("VmHWM");
        ReplayAll(replay, r);
        if (adds) ReplayAll(replay, *adds);
    };
    creation(
        "OkSector", 3, "AddSector", [] {}, ui.Cmd_AjouterSecteur, ui.Cbo_LibSecteur);
    creation(
        "OkSubSector", 2, "AddSubSector", [&] { e.Enter(ui.Txt_CodeSecteur, QStringLiteral("7")); },
        ui.Cmd_AjouterSousSecteur, ui.Cbo_LibSousSecteur);
    creation(
        "OkQuartier", 1, nullptr,
        [&] {
            e.Enter(ui.Txt_CodeSecteur, QStringLiteral("7"));
            e.Enter(ui.Txt_CodeSousSecteur, QStringLiteral("1"));
        },
        ui.Cmd_AjouterQuartier, ui.Cbo_LibQuartier);
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const char* large = std::getenv("ZONITRA_BENCH_LARGE");
    int children = large && *large && std::strcmp(large, "0") != 0 ? 99 : 20;
    int samples = 200;
    const char* interleave = std::getenv("ZONITRA_BENCH_INTERLEAVE");
    interleaved = interleave && *interleave && std::strcmp(interleave, "0") != 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--large") == 0)
            children = 99;
        else
            samples = std::max(1, std::atoi(argv[i]));
    }
    try {
        Editor e(children);
        bench::Replayer replay(e.path);
        replay.DeferCheckpoints();
        std::vector<Run> runs;
        runs.reserve(16);
        const long rssBefore = StatusKb("VmRSS");
        Measure(e, replay, samples, runs, children);
        std::printf("999 x %d x %d, %d samples per action, milliseconds\n", children, children,
                    samples);
        std::printf("%-13s %-3s %10s %10s %10s %10s %10s %10s   %s\n", "action", "", "handler",
                    "hdl cpu", "w/ paint", "sqlite3", "hdl/sql", "paint/sql",
                    "reads / ranges / writes");
        for (const Run& r : runs) Report(r.name, r.samples);
        std::printf("\nresident memory: %.1f MB after Init; peak (VmHWM) during:\n",
                    static_cast<double>(rssBefore) / 1024);
        for (const Run& r : runs) {
            if (r.peakKb >= 0)
                std::printf("  %-13s %.1f MB\n", r.name, static_cast<double>(r.peakKb) / 1024);
        }
    } catch (const std::exception& ex) {
        std::fprintf(stderr, "action_bench: %s\n", ex.what());
        return 1;
    }
    return 0;
}
