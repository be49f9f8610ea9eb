#include "storage_replay.h"

#include <stdexcept>
#include <utility>

namespace bench {

CallCounts Count(const std::vector<Call>& calls) {
    CallCounts n;
    for (const Call& c : calls) {
        switch (c.kind) {
            case Call::Kind::Read:
                ++n.reads;
                break;
            case Call::Kind::Scan:
            case Call::Kind::Count:
            case Call::Kind::Page:
                ++n.ranges;
                break;
            case Call::Kind::Update:
            case Call::Kind::Write:
            case Call::Kind::Insert:
            case Call::Kind::Delete:
                ++n.writes;
                break;
            case Call::Kind::Begin:
            case Call::Kind::Commit:
            case Call::Kind::Rollback:
                break;
        }
    }
    return n;
}

// ---------------------------------------------------------------- recording

void RecordingBackend::Note(Call::Kind kind, std::string_view f, std::string_view k,
                            std::string_view text) {
    Call c;
    c.kind = kind;
    c.file = f;
    c.key = k;
    c.text = text;
    calls.push_back(std::move(c));
}

std::optional<std::string> RecordingBackend::Read(std::string_view f, std::string_view k) {
    Note(Call::Kind::Read, f, k, {});
    return inner().Read(f, k);
}

void RecordingBackend::Scan(std::string_view f, const kelmor::KeySelection& s, const Visitor& v) {
    Note(Call::Kind::Scan, f, {}, s.text);
    calls.back().selection = s.kind;
    inner().Scan(f, s, v);
}

void RecordingBackend::ScanKeys(std::string_view f, const kelmor::KeySelection& s,
                                const KeyVisitor& v) {
    Note(Call::Kind::Scan, f, {}, s.text);
    calls.back().selection = s.kind;
    calls.back().keysOnly = true;
    inner().ScanKeys(f, s, v);
}

std::int64_t RecordingBackend::Count(std::string_view f, const kelmor::KeySelection& s) {
    Note(Call::Kind::Count, f, {}, s.text);
    calls.back().selection = s.kind;
    return inner().Count(f, s);
}

std::vector<kelmor::Backend::OrderedRow> RecordingBackend::Page(
    std::string_view f, Order order, const std::optional<OrderedRow>& after, std::int64_t skip,
    int limit) {
    Note(Call::Kind::Page, f, {}, {});
    Call& c = calls.back();
    c.label = order == Order::Label;
    if (after) c.afterSortKey = after->sortKey, c.afterKey = after->key;
    c.skip = skip;
    c.limit = limit;
    return inner().Page(f, order, after, skip, limit);
}

std::string RecordingBackend::Update(std::string_view f, std::string_view k, const Updater& u) {
    std::string whole = inner().Update(f, k, u);
    Note(Call::Kind::Update, f, k, whole);
    return whole;
}

void RecordingBackend::Write(std::string_view f, std::string_view k, std::string_view w) {
    Note(Call::Kind::Write, f, k, w);
    inner().Write(f, k, w);
}

void RecordingBackend::WriteMany(std::span<const RecordView> records) {
    for (const RecordView& r : records) Note(Call::Kind::Write, r.file, r.key, r.whole);
    inner().WriteMany(records);
}

bool RecordingBackend::Insert(std::string_view f, std::string_view k, std::string_view w) {
    Note(Call::Kind::Insert, f, k, w);
    return inner().Insert(f, k, w);
}

bool RecordingBackend::Delete(std::string_view f, std::string_view k) {
    Note(Call::Kind::Delete, f, k, {});
    return inner().Delete(f, k);
}

void RecordingBackend::Begin() {
    Note(Call::Kind::Begin, {}, {}, {});
    inner().Begin();
}

void RecordingBackend::Commit() {
    Note(Call::Kind::Commit, {}, {}, {});
    inner().Commit();
}

void RecordingBackend::Rollback() noexcept {
    try {
        Note(Call::Kind::Rollback, {}, {}, {});
    } catch (...) {
        // Out of memory while noting: the rollback itself must still happen.
    }
    inner().Rollback();
}

void FillSortKeys(std::vector<Call>& calls) {
    for (Call& c : calls) {
        if (c.kind == Call::Kind::Update || c.kind == Call::Kind::Write ||
            c.kind == Call::Kind::Insert)
            c.sortKey = kelmor::LabelSortKey(c.text);
    }
}

// ---------------------------------------------------------------- replaying

namespace {

void Text(sqlite3_stmt* s, int i, const std::string& t) {
    sqlite3_bind_text(s, i, t.data(), static_cast<int>(t.size()), SQLITE_STATIC);
}

void Blob(sqlite3_stmt* s, int i, const std::string& t) {
    sqlite3_bind_blob(s, i, t.data(), static_cast<int>(t.size()), SQLITE_STATIC);
}

}  // namespace

Replayer::Replayer(const std::string& path) {
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
    keysRange_ = Prepare(
        "SELECT key FROM kelmor_records WHERE file = ?1 AND key >= ?2 AND key < ?3 "
        "ORDER BY key");
    keysAll_ = Prepare("SELECT key FROM kelmor_records WHERE file = ?1 ORDER BY key");
    countFile_ = Prepare("SELECT records FROM kelmor_files WHERE id = ?1");
    countRange_ =
        Prepare("SELECT count(*) FROM kelmor_records WHERE file = ?1 AND key >= ?2 AND key < ?3");
    // A prefix count as the library makes it: the kept count of a declared
    // prefix length (no row when undeclared: the range is counted then).
    sqlite3_stmt* declared = nullptr;
    if (sqlite3_prepare_v2(db_, "SELECT 1 FROM sqlite_schema WHERE name = 'kelmor_prefix_lengths'",
                           -1, &declared, nullptr) == SQLITE_OK &&
        sqlite3_step(declared) == SQLITE_ROW) {
        countPrefix_ = Prepare(
            "SELECT coalesce((SELECT records FROM kelmor_prefix_counts "
            "WHERE file = ?1 AND prefix = ?2), 0) "
            "FROM kelmor_prefix_lengths WHERE file = ?1 AND chars = ?3");
    }
    sqlite3_finalize(declared);
    pageLabel_ = Prepare(
        "SELECT key, sortkey, body FROM kelmor_records WHERE file = ?1 AND "
        "(sortkey, key) > (?2, ?3) ORDER BY sortkey, key LIMIT ?5 OFFSET ?4");
    pageKey_ = Prepare(
        "SELECT key, sortkey, body FROM kelmor_records WHERE file = ?1 AND key > ?3 "
        "ORDER BY key LIMIT ?5 OFFSET ?4");
    upsert_ = Prepare(
        "INSERT INTO kelmor_records(file, key, body, sortkey) VALUES (?1, ?2, ?3, ?4) "
        "ON CONFLICT(file, key) DO UPDATE SET body = excluded.body, sortkey = "
        "excluded.sortkey");
    insert_ = Prepare(
        "INSERT INTO kelmor_records(file, key, body, sortkey) VALUES (?1, ?2, ?3, ?4) "
        "ON CONFLICT(file, key) DO NOTHING");
    delete_ = Prepare("DELETE FROM kelmor_records WHERE file = ?1 AND key = ?2");
    begin_ = Prepare("BEGIN IMMEDIATE");
    commit_ = Prepare("COMMIT");
    rollback_ = Prepare("ROLLBACK");
    sqlite3_stmt* ids = Prepare("SELECT id, name FROM kelmor_files");
    while (sqlite3_step(ids) == SQLITE_ROW)
        files_[reinterpret_cast<const char*>(sqlite3_column_text(ids, 1))] =
            sqlite3_column_int64(ids, 0);
}

Replayer::~Replayer() {
    for (sqlite3_stmt* s : statements_) sqlite3_finalize(s);
    sqlite3_close(db_);
}

sqlite3_int64 Replayer::Id(const std::string& file) const {
    const auto it = files_.find(file);
    if (it == files_.end()) throw std::runtime_error("replaying a call: no file " + file);
    return it->second;
}

std::size_t Replayer::Run(const std::vector<Call>& calls) {
    std::size_t bytes = 0;
    bool inTransaction = false;
    // A write of its own: one transaction, as the library's.
    auto own = [&](sqlite3_stmt* s) {
        if (!inTransaction) Drain(begin_, 0);
        Drain(s, 0);
        if (!inTransaction) Drain(commit_, 0);
    };
    for (const Call& c : calls) {
        switch (c.kind) {
            case Call::Kind::Read:
                sqlite3_bind_int64(read_, 1, Id(c.file));
                Text(read_, 2, c.key);
                bytes += Drain(read_, 0);
                break;
            case Call::Kind::Scan:
            case Call::Kind::Count: {
                const bool whole = c.text.empty();
                const bool count = c.kind == Call::Kind::Count;
                sqlite3_stmt* s = count        ? (whole ? countFile_ : countRange_)
                                  : c.keysOnly ? (whole ? keysAll_ : keysRange_)
                                               : (whole ? all_ : range_);
                if (count && !whole && countPrefix_) {
                    sqlite3_bind_int64(countPrefix_, 1, Id(c.file));
                    Text(countPrefix_, 2, c.text);
                    sqlite3_bind_int64(countPrefix_, 3,
                                       static_cast<sqlite3_int64>(kelmor::CharacterCount(c.text)));
                    const int rc = sqlite3_step(countPrefix_);
                    const bool kept = rc == SQLITE_ROW;
                    if (kept)
                        bytes += static_cast<std::size_t>(sqlite3_column_int64(countPrefix_, 0));
                    sqlite3_reset(countPrefix_);
                    sqlite3_clear_bindings(countPrefix_);
                    if (!kept) Check(rc, "replaying a prefix count");
                    if (kept) break;
                }
                // Keys here are digits: the range's end is the prefix + ':'.
                const std::string upper = c.text + ':';
                sqlite3_bind_int64(s, 1, Id(c.file));
                if (!whole) Text(s, 2, c.text), Text(s, 3, upper);
                bytes += Drain(s, count || c.keysOnly ? 0 : 1);
                break;
            }
            case Call::Kind::Page: {
                sqlite3_stmt* s = c.label ? pageLabel_ : pageKey_;
                sqlite3_bind_int64(s, 1, Id(c.file));
                if (c.label) Blob(s, 2, c.afterSortKey);
                Text(s, 3, c.afterKey);
                sqlite3_bind_int64(s, 4, c.skip);
                sqlite3_bind_int(s, 5, c.limit);
                bytes += Drain(s, 2);
                break;
            }
            case Call::Kind::Update:
                // A read-modify-write under the write lock, as the library's.
                if (!inTransaction) Drain(begin_, 0);
                sqlite3_bind_int64(read_, 1, Id(c.file));
                Text(read_, 2, c.key);
                bytes += Drain(read_, 0);
                sqlite3_bind_int64(upsert_, 1, Id(c.file));
                Text(upsert_, 2, c.key);
                Blob(upsert_, 3, c.text);
                Blob(upsert_, 4, c.sortKey);
                Drain(upsert_, 0);
                if (!inTransaction) Drain(commit_, 0);
                break;
            case Call::Kind::Write:
            case Call::Kind::Insert: {
                sqlite3_stmt* s = c.kind == Call::Kind::Write ? upsert_ : insert_;
                sqlite3_bind_int64(s, 1, Id(c.file));
                Text(s, 2, c.key);
                Blob(s, 3, c.text);
                Blob(s, 4, c.sortKey);
                own(s);
                break;
            }
            case Call::Kind::Delete:
                sqlite3_bind_int64(delete_, 1, Id(c.file));
                Text(delete_, 2, c.key);
                own(delete_);
                break;
            case Call::Kind::Begin:
                Drain(begin_, 0);
                inTransaction = true;
                break;
            case Call::Kind::Commit:
            case Call::Kind::Rollback:
                Drain(c.kind == Call::Kind::Commit ? commit_ : rollback_, 0);
                inTransaction = false;
                break;
        }
    }
    return bytes;
}

sqlite3_stmt* Replayer::Prepare(const char* sql) {
    sqlite3_stmt* s = nullptr;
    Check(sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr), sql);
    statements_.push_back(s);
    return s;
}

void Replayer::DeferCheckpoints() {
    Check(sqlite3_exec(db_, "PRAGMA wal_autocheckpoint = 0", nullptr, nullptr, nullptr),
          "wal_autocheckpoint");
}

void Replayer::Checkpoint() {
    Check(sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr),
          "checkpoint");
}

std::size_t Replayer::Drain(sqlite3_stmt* s, int column) {
    std::size_t bytes = 0;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
        bytes += static_cast<std::size_t>(sqlite3_column_bytes(s, column));
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    Check(rc, "replaying a call");
    return bytes;
}

void Replayer::Check(int rc, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db_));
}

}  // namespace bench
