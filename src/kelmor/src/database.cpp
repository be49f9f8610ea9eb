#include "kelmor/database.h"

#include <algorithm>
#include <limits>
#include <new>
#include <utility>

#include "kelmor/backend.h"
#include "kelmor/query.h"
#include "pg_backend.h"
#include "sqlite_backend.h"
#include "utf8.h"

namespace kelmor {

namespace {

// Text fit for a message: invalid bytes are described, never copied.
std::string Printable(std::string_view text) {
    if (detail::CheckText(text, false).problem == detail::TextProblem::None) {
        return "\"" + std::string(text) + "\"";
    }
    return "of " + std::to_string(text.size()) + " bytes (not valid text)";
}

}  // namespace

NotFoundError::NotFoundError(const std::string& file, const std::string& key)
    : Error(kNotFound, "kelmor: no record " + Printable(key) + " in the file " + file),
      file_(file),
      key_(key) {}

void CheckKey(std::string_view key) {
    if (key.empty()) throw DelimiterError("kelmor: a record key cannot be empty");
    if (detail::CheckText(key, false).problem != detail::TextProblem::None) {
        CheckStorable(key, "a record key");  // throws, naming the problem
    }
}

void CheckFileName(std::string_view name) {
    bool ok = !name.empty() && name.size() <= 64;
    for (char c : name) {
        const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                             (c >= '0' && c <= '9') || c == '_' || c == '.' || c == '-';
        ok = ok && allowed;
    }
    if (!ok) {
        throw Error(kBadValue, "kelmor: the file name " + Printable(name) +
                                   " is not allowed (1 to 64 ASCII letters, digits, '_', "
                                   "'.' or '-')");
    }
}

bool Matches(const KeySelection& selection, std::string_view key) noexcept {
    switch (selection.kind) {
        case KeySelection::Kind::All:
            return true;
        case KeySelection::Kind::Exact:
            return key == selection.text;
        case KeySelection::Kind::Prefix:
            return key.starts_with(selection.text);
        case KeySelection::Kind::Suffix:
            return key.ends_with(selection.text);
        case KeySelection::Kind::Contains:
            return key.find(selection.text) != std::string_view::npos;
    }
    return false;
}

std::optional<std::string> PrefixUpperBound(std::string_view prefix) {
    // Drop trailing 0xFF bytes (nothing follows them), then raise the last
    // byte: every string starting with the prefix sorts below the result.
    // For UTF-8 prefixes this is byte order, the order of the keys' index.
    std::string bound(prefix);
    while (!bound.empty() && static_cast<unsigned char>(bound.back()) == 0xFF) bound.pop_back();
    if (bound.empty()) return std::nullopt;
    bound.back() = static_cast<char>(static_cast<unsigned char>(bound.back()) + 1);
    return bound;
}

// ---------------------------------------------------------------- DbRecord

DbRecord::DbRecord(std::shared_ptr<Backend> backend, std::string file, std::string key,
                   std::optional<std::string> stored)
    : DynArray(stored.value_or(std::string())),
      backend_(std::move(backend)),
      file_(std::move(file)),
      key_(std::move(key)),
      stored_(std::move(stored)) {}

std::string DbRecord::Get(int attr, int value, int sub) const {
    if (attr == 0 && value >= 0 && sub >= 0) return value <= 1 && sub <= 1 ? key_ : std::string();
    return DynArray::Get(attr, value, sub);
}

namespace {

int AttributeCountOf(std::string_view whole) {
    if (whole.empty()) return 0;
    int count = 1;
    for (char c : whole) count += c == kAttributeMark;
    return count;
}

// The attributes (from 1) whose text differs between two whole texts.
std::vector<int> ChangedAttributes(std::string_view before, std::string_view after) {
    std::vector<int> changed;
    const int last = std::max(AttributeCountOf(before), AttributeCountOf(after));
    for (int a = 1; a <= last; ++a) {
        if (AttributeView(before, a) != AttributeView(after, a)) changed.push_back(a);
    }
    return changed;
}

// `into` with the listed attributes taken from `from`; no trailing empty
// attributes, as DynArray::Text gives.
std::string Merge(std::string_view into, std::string_view from, const std::vector<int>& attrs) {
    const int last = std::max(AttributeCountOf(into), attrs.empty() ? 0 : attrs.back());
    std::string merged;
    std::size_t next = 0;
    for (int a = 1; a <= last; ++a) {
        if (a > 1) merged += kAttributeMark;
        const bool mine = next < attrs.size() && attrs[next] == a;
        if (mine) ++next;
        merged += mine ? AttributeView(from, a) : AttributeView(into, a);
    }
    while (!merged.empty() && merged.back() == kAttributeMark) merged.pop_back();
    return merged;
}

std::string List(const std::vector<int>& attrs) {
    std::string text;
    for (int a : attrs) text += (text.empty() ? "" : ", ") + std::to_string(a);
    return text;
}

}  // namespace

void DbRecord::DBWrite() {
    if (!backend_) {
        throw Error(kStorageError, "kelmor: DBWrite of a record that belongs to no file");
    }
    const std::string mine = Text();
    const std::string before = stored_.value_or(std::string());
    const std::vector<int> changed = ChangedAttributes(before, mine);

    std::optional<std::string> seen;  // what the conflict found stored
    try {
        backend_->Update(file_, key_, [&](const std::optional<std::string>& now) -> std::string {
            if (!now) {
                if (!stored_) return mine;
                seen.reset();
                throw ConflictError("kelmor: the record \"" + key_ + "\" of " + file_ +
                                        " was deleted by another connection since it was read; "
                                        "nothing was stored",
                                    {});
            }
            std::vector<int> both;
            for (int a : changed) {
                const std::string_view theirs = AttributeView(*now, a);
                if (theirs != AttributeView(before, a) && theirs != AttributeView(mine, a)) {
                    both.push_back(a);
                }
            }
            if (!both.empty()) {
                seen = *now;
                const std::string message =
                    stored_
                        ? "kelmor: another connection changed attribute(s) " + List(both) +
                              " of the record \"" + key_ + "\" of " + file_ +
                              " since it was read; nothing was stored and the record was "
                              "read again"
                        : "kelmor: a new record \"" + key_ + "\" of " + file_ +
                              " was written over a stored one holding other values in "
                              "attribute(s) " +
                              List(both) + "; nothing was stored (read the record to change it)";
                throw ConflictError(message, std::move(both));
            }
            return Merge(*now, mine, changed);
        });
    } catch (const ConflictError&) {
        SetText(seen.value_or(std::string()));
        stored_ = std::move(seen);
        throw;
    } catch (...) {
        SetText(before);
        throw;
    }
    stored_ = mine;
}

bool DbRecord::DBInsert() {
    if (!backend_) {
        throw Error(kStorageError, "kelmor: DBInsert of a record that belongs to no file");
    }
    std::string mine = Text();
    if (!backend_->Insert(file_, key_, mine)) return false;
    stored_ = std::move(mine);
    return true;
}

// ------------------------------------------------------------------ DbFile

DbFile::DbFile(std::shared_ptr<Backend> backend, std::string name)
    : backend_(std::move(backend)), name_(std::move(name)) {}

DbRecord DbFile::ReadRecord(std::string_view key) const {
    std::optional<std::string> whole = backend_->Read(name_, key);
    if (!whole) throw NotFoundError(name_, std::string(key));
    if (!IsValidWholeText(*whole)) {
        // Only a program writing the file around the library can store this.
        throw Error(kBadValue, "kelmor: the stored record " + Printable(key) + " of " + name_ +
                                   " is not valid text (" +
                                   detail::Describe(detail::CheckText(*whole, true)) + ")");
    }
    return DbRecord(backend_, name_, std::string(key), std::move(whole));
}

ReadResult DbFile::TryReadRecord(std::string_view key) const noexcept {
    ReadResult result;
    try {
        result.record = ReadRecord(key);
    } catch (const Error& e) {
        result.error = e.number();
        result.message = e.what();
    } catch (const std::bad_alloc&) {
        result.error = kStorageError;
        result.message = "kelmor: out of memory reading a record of " + name_;
    } catch (const std::exception& e) {
        result.error = kStorageError;
        result.message = e.what();
    }
    return result;
}

DbRecord DbFile::NewRecord(std::string_view key) const {
    CheckKey(key);
    return DbRecord(backend_, name_, std::string(key), std::nullopt);
}

bool DbFile::DeleteRecord(std::string_view key) const {
    return backend_->Delete(name_, key);
}

// -------------------------------------------------------------- ResultList

ResultList::ResultList(std::vector<std::vector<std::string>> rows)
    : count_(static_cast<int>(rows.size())), rows_(std::move(rows)) {}

struct ResultList::LazyRows {
    std::shared_ptr<Source> source;
    // The pages kept, most recently used last.
    std::vector<std::pair<std::int64_t, std::vector<std::vector<std::string>>>> pages;
};

ResultList::ResultList(std::int64_t count, std::shared_ptr<Source> source)
    : lazy_(std::make_shared<LazyRows>()) {
    if (count < 0 || count > std::numeric_limits<int>::max()) {
        throw Error(kStorageError,
                    "kelmor: a list of " + std::to_string(count) + " rows is too long");
    }
    count_ = static_cast<int>(count);
    lazy_->source = std::move(source);
}

const std::vector<std::string>* ResultList::Row(int row) const {
    if (row < 1 || row > count_) return nullptr;
    const auto index = static_cast<std::size_t>(row - 1);
    if (!lazy_) return &rows_[index];
    const std::int64_t page = static_cast<std::int64_t>(index) / kPageRows;
    auto& pages = lazy_->pages;
    auto it =
        std::find_if(pages.begin(), pages.end(), [&](const auto& p) { return p.first == page; });
    if (it == pages.end()) {
        if (pages.size() >= static_cast<std::size_t>(kPagesKept)) pages.erase(pages.begin());
        pages.emplace_back(page, lazy_->source->Fetch(page * kPageRows, kPageRows));
        it = pages.end() - 1;
    } else if (it != pages.end() - 1) {
        std::rotate(it, it + 1, pages.end());
        it = pages.end() - 1;
    }
    const std::size_t within = index % kPageRows;
    return within < it->second.size() ? &it->second[within] : nullptr;
}

std::string ResultList::Get(int row, int column) const {
    if (column < 0) return {};
    const std::vector<std::string>* cols = Row(row);
    if (!cols) return {};
    if (column == 0) {
        std::string whole;
        for (std::size_t i = 0; i < cols->size(); ++i) {
            if (i > 0) whole += kAttributeMark;
            whole += (*cols)[i];
        }
        return whole;
    }
    if (static_cast<std::size_t>(column) > cols->size()) return {};
    return (*cols)[static_cast<std::size_t>(column - 1)];
}

// A backend without an index of its own orders a page by reading the whole
// file; the storage backends override it with an index walk.
std::vector<Backend::OrderedRow> Backend::Page(std::string_view file, Order order,
                                               const std::optional<OrderedRow>& after,
                                               std::int64_t skip, int limit) {
    std::vector<OrderedRow> rows;
    Scan(file, KeySelection{}, [&](std::string_view key, std::string_view whole) {
        rows.push_back({std::string(key),
                        order == Order::Label ? LabelSortKey(whole) : std::string(),
                        std::string(whole)});
    });
    const auto before = [](const OrderedRow& a, const OrderedRow& b) {
        return a.sortKey != b.sortKey ? a.sortKey < b.sortKey : a.key < b.key;
    };
    std::stable_sort(rows.begin(), rows.end(), before);
    auto first = rows.begin();
    if (after) {
        OrderedRow mark = *after;
        if (order == Order::Key) mark.sortKey.clear();
        first = std::upper_bound(rows.begin(), rows.end(), mark, before);
    }
    const auto from = std::min<std::int64_t>(skip, rows.end() - first);
    first += from;
    const auto take = std::min<std::int64_t>(limit, rows.end() - first);
    return {std::make_move_iterator(first), std::make_move_iterator(first + take)};
}

std::size_t CharacterCount(std::string_view text) noexcept {
    // A character starts at every byte that is not a continuation byte (10xxxxxx).
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

void CheckPrefixLength(std::string_view file, int length) {
    if (length < 1) {
        throw Error(kBadValue, "kelmor: the counted key prefixes of " + std::string(file) +
                                   " must be at least 1 character long, not " +
                                   std::to_string(length));
    }
}

void Backend::CountKeyPrefixes(std::string_view file, int length) {
    CheckPrefixLength(file, length);
    if (!HasFile(file)) {
        throw Error(kNoSuchFile,
                    "kelmor: the file " + std::string(file) + " does not exist in this database");
    }
}

std::vector<int> Backend::CountedKeyPrefixes(std::string_view file) {
    if (!HasFile(file)) {
        throw Error(kNoSuchFile,
                    "kelmor: the file " + std::string(file) + " does not exist in this database");
    }
    return {};
}

// ---------------------------------------------------------------- Database

Database::Database(std::shared_ptr<Backend> backend) : backend_(std::move(backend)) {
    if (!backend_) throw Error(kStorageError, "kelmor: a Database needs a backend");
}

std::shared_ptr<Database> Database::OpenSqlite(const std::string& path, OpenMode mode,
                                               const SqliteOptions& options) {
    return std::make_shared<Database>(std::make_shared<SqliteBackend>(path, mode, options));
}

std::shared_ptr<Database> Database::Open(const std::string& location, OpenMode mode,
                                         const SqliteOptions& options) {
    if (IsServerLocation(location)) {
        return std::make_shared<Database>(std::make_shared<PgBackend>(location, mode, options));
    }
    return OpenSqlite(location, mode, options);
}

bool Database::IsServerLocation(std::string_view location) {
    return location.starts_with("postgresql://") || location.starts_with("postgres://");
}

DbFile Database::OpenFile(std::string_view name) const {
    if (!backend_->HasFile(name)) {
        throw Error(kNoSuchFile,
                    "kelmor: the file " + std::string(name) + " does not exist in this database");
    }
    return DbFile(backend_, std::string(name));
}

bool Database::HasFile(std::string_view name) const {
    return backend_->HasFile(name);
}

void Database::CreateFile(std::string_view name) {
    CheckFileName(name);
    backend_->CreateFile(name);
}

void Database::CountKeyPrefixes(std::string_view file, int length) {
    backend_->CountKeyPrefixes(file, length);
}

std::vector<std::string> Database::FileNames() const {
    return backend_->FileNames();
}

ResultList Database::Query(std::string_view request, std::string_view selectList,
                           std::int32_t& count) const {
    if (!selectList.empty()) {
        throw Error(kBadQuery, "kelmor: Query takes an empty select list, not \"" +
                                   std::string(selectList) + "\"");
    }
    if (!IsValidWholeText(request)) {
        throw Error(kBadQuery, "kelmor: the query request is not valid UTF-8 text");
    }
    const DynArray req(request);
    const ParsedQuery query = ParseQuery(req.Get(1));
    const std::string file = req.Get(2);
    if (!file.empty() && file != query.file) {
        throw Error(kBadQuery, "kelmor: the query \"" + req.Get(1) + "\" lists the file " +
                                   query.file + " but the request names the file " + file);
    }
    const std::vector<int> columns = ParseColumns(req.Get(3));
    ResultList result = RunQuery(backend_, query, columns);
    count = result.DCount();
    return result;
}

// ------------------------------------------------------------- Transaction

Transaction::Transaction(Database& db) : backend_(db.backend()) {
    backend_.Begin();
}

Transaction::~Transaction() {
    if (open_) backend_.Rollback();
}

void Transaction::Commit() {
    if (!open_) throw Error(kStorageError, "kelmor: the transaction is already finished");
    backend_.Commit();  // on failure the destructor still rolls back
    open_ = false;
}

}  // namespace kelmor
