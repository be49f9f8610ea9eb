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

#include <sqlite3.h>

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
#include "kelmor/forwarding_backend.h"
#include "services/droits.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// One storage call, as the library made it.
struct Call {
    enum class Kind { Read, Scan, Count, Page, Write } kind = Kind::Read;
    std::string file, key, text;  // text: a scan's or count's key text, or the written record
    kelmor::KeySelection::Kind selection = kelmor::KeySelection::Kind::All;
    std::string afterSortKey, afterKey, sortKey;
    bool label = false, hasAfter = false;
    std::int64_t skip = 0;
    int limit = 0;

    static Call Of(Kind kind, std::string_view file, std::string_view key, std::string_view text) {
        Call c;
        c.kind = kind;
        c.file = file;
        c.key = key;
        c.text = text;
        return c;
    }
};

class RecordingBackend : public kelmor::ForwardingBackend {
public:
    using ForwardingBackend::ForwardingBackend;
    std::vector<Call> calls;

    std::optional<std::string> Read(std::string_view f, std::string_view k) override {
        calls.push_back(Call::Of(Call::Kind::Read, f, k, {}));
        return inner().Read(f, k);
    }
    void Scan(std::string_view f, const kelmor::KeySelection& s, const Visitor& v) override {
        Call c = Call::Of(Call::Kind::Scan, f, {}, s.text);
        c.selection = s.kind;
        calls.push_back(std::move(c));
        inner().Scan(f, s, v);
    }
    std::int64_t Count(std::string_view f, const kelmor::KeySelection& s) override {
        Call c = Call::Of(Call::Kind::Count, f, {}, s.text);
        c.selection = s.kind;
        calls.push_back(std::move(c));
        return inner().Count(f, s);
    }
    std::vector<OrderedRow> Page(std::string_view f, Order order,
                                 const std::optional<OrderedRow>& after, std::int64_t skip,
                                 int limit) override {
        Call c = Call::Of(Call::Kind::Page, f, {}, {});
        c.label = order == Order::Label;
        c.hasAfter = after.has_value();
        if (after) c.afterSortKey = after->sortKey, c.afterKey = after->key;
        c.skip = skip;
        c.limit = limit;
        calls.push_back(std::move(c));
        return inner().Page(f, order, after, skip, limit);
    }
    std::string Update(std::string_view f, std::string_view k, const Updater& u) override {
        const std::string whole = inner().Update(f, k, u);
        calls.push_back(Call::Of(Call::Kind::Write, f, k, whole));
        calls.back().sortKey = kelmor::LabelSortKey(whole);
        return whole;
    }
    void Write(std::string_view f, std::string_view k, std::string_view w) override {
        calls.push_back(Call::Of(Call::Kind::Write, f, k, w));
        calls.back().sortKey = kelmor::LabelSortKey(w);
        inner().Write(f, k, w);
    }
};

// The recorded calls again, with sqlite3 statements on the same file.
class Replayer {
public:
    explicit Replayer(const std::string& path) {
        Check(sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr), "open");
        Check(sqlite3_exec(db_, "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL", nullptr,
                           nullptr, nullptr),
              "pragmas");
        read_ = Prepare("SELECT body FROM kelmor_records WHERE file = ?1 AND key = ?2");
        range_ = Prepare(
            "SELECT key, body FROM kelmor_records WHERE file = ?1 AND key >= ?2 AND key < ?3 "
            "ORDER BY key");
        all_ = Prepare("SELECT key, body FROM kelmor_records WHERE file = ?1 ORDER BY key");
        countFile_ = Prepare("SELECT records FROM kelmor_files WHERE id = ?1");
        countRange_ = Prepare(
            "SELECT count(*) FROM kelmor_records WHERE file = ?1 AND key >= ?2 AND key < ?3");
        pageLabel_ = Prepare(
            "SELECT key, sortkey, body FROM kelmor_records WHERE file = ?1 AND "
            "(sortkey, key) > (?2, ?3) ORDER BY sortkey, key LIMIT ?5 OFFSET ?4");
        pageKey_ = Prepare(
            "SELECT key, sortkey, body FROM kelmor_records WHERE file = ?1 AND key > ?3 "
            "ORDER BY key LIMIT ?5 OFFSET ?4");
        write_ = Prepare(
            "INSERT INTO kelmor_records(file, key, body, sortkey) VALUES (?1, ?2, ?3, ?4) "
            "ON CONFLICT(file, key) DO UPDATE SET body = excluded.body, sortkey = "
            "excluded.sortkey");
        begin_ = Prepare("BEGIN IMMEDIATE");
        commit_ = Prepare("COMMIT");
        sqlite3_stmt* ids = Prepare("SELECT id, name FROM kelmor_files");
        while (sqlite3_step(ids) == SQLITE_ROW)
            files_[reinterpret_cast<const char*>(sqlite3_column_text(ids, 1))] =
                sqlite3_column_int64(ids, 0);
        sqlite3_finalize(ids);
    }
    ~Replayer() {
        for (sqlite3_stmt* s : {read_, range_, all_, countFile_, countRange_, pageLabel_, pageKey_,
                                write_, begin_, commit_})
            sqlite3_finalize(s);
        sqlite3_close(db_);
    }
    Replayer(const Replayer&) = delete;
    Replayer& operator=(const Replayer&) = delete;

    // Bytes read, so that nothing is optimised away.
    std::size_t Run(const std::vector<Call>& calls) {
        std::size_t bytes = 0;
        for (const Call& c : calls) {
            const sqlite3_int64 id = files_.at(c.file);
            switch (c.kind) {
                case Call::Kind::Read:
                    sqlite3_bind_int64(read_, 1, id);
                    Text(read_, 2, c.key);
                    bytes += Drain(read_, 0);
                    break;
                case Call::Kind::Scan:
                case Call::Kind::Count: {
                    const bool whole = c.text.empty();
                    const bool count = c.kind == Call::Kind::Count;
                    sqlite3_stmt* s =
                        count ? (whole ? countFile_ : countRange_) : (whole ? all_ : range_);
                    // Keys here are digits: the range's end is the prefix + ':'.
                    const std::string upper = c.text + ':';
                    sqlite3_bind_int64(s, 1, id);
                    if (!whole) Text(s, 2, c.text), Text(s, 3, upper);
                    bytes += Drain(s, count ? 0 : 1);
                    break;
                }
                case Call::Kind::Page: {
                    sqlite3_stmt* s = c.label ? pageLabel_ : pageKey_;
                    sqlite3_bind_int64(s, 1, id);
                    if (c.label) Blob(s, 2, c.afterSortKey);
                    Text(s, 3, c.afterKey);
                    sqlite3_bind_int64(s, 4, c.skip);
                    sqlite3_bind_int(s, 5, c.limit);
                    bytes += Drain(s, 2);
                    break;
                }
                case Call::Kind::Write:
                    // A read-modify-write under the write lock, as the library's.
                    Drain(begin_, 0);
                    sqlite3_bind_int64(read_, 1, id);
                    Text(read_, 2, c.key);
                    bytes += Drain(read_, 0);
                    sqlite3_bind_int64(write_, 1, id);
                    Text(write_, 2, c.key);
                    Blob(write_, 3, c.text);
                    Blob(write_, 4, c.sortKey);
                    Drain(write_, 0);
                    Drain(commit_, 0);
                    break;
            }
        }
        return bytes;
    }

private:
    sqlite3_stmt* Prepare(const char* sql) {
        sqlite3_stmt* s = nullptr;
        Check(sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr), sql);
        return s;
    }
    static void Text(sqlite3_stmt* s, int i, const std::string& t) {
        sqlite3_bind_text(s, i, t.data(), static_cast<int>(t.size()), SQLITE_STATIC);
    }
    static void Blob(sqlite3_stmt* s, int i, const std::string& t) {
        sqlite3_bind_blob(s, i, t.data(), static_cast<int>(t.size()), SQLITE_STATIC);
    }
    std::size_t Drain(sqlite3_stmt* s, int column) {
        std::size_t bytes = 0;
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW)
            bytes += static_cast<std::size_t>(sqlite3_column_bytes(s, column));
        Check(rc, "replaying a call");
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
        return bytes;
    }
    void Check(int rc, const char* what) {
        if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
            throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db_));
    }

    sqlite3* db_ = nullptr;
    sqlite3_stmt *read_ = nullptr, *range_ = nullptr, *all_ = nullptr, *countFile_ = nullptr,
                 *countRange_ = nullptr, *pageLabel_ = nullptr, *pageKey_ = nullptr,
                 *write_ = nullptr, *begin_ = nullptr, *commit_ = nullptr;
    std::map<std::string, sqlite3_int64> files_;
};

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
    std::shared_ptr<RecordingBackend> recorder;
    std::shared_ptr<kelmor::Database> db;
    forms::ScriptedUiService ui;
    forms::ScopedUi scope{ui};
    QWidget host;
    zonitra::Ctr_Secteur* editor = new zonitra::Ctr_Secteur(&host);

    Editor() {
        auto plain = kelmor::Database::OpenSqlite(path, kelmor::OpenMode::MustExist);
        recorder = std::make_shared<RecordingBackend>(
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
Sample Time(Editor& e, Replayer& replay, QWidget* control, Qt::Key key, const char* text) {
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
    const std::vector<Call> calls = std::move(e.recorder->calls);
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
        Replayer replay(e.path);
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
