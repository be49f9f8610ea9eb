#pragma once
// Storage backend interface. Records are stored as (file, key, whole text);
// queries are evaluated above it (query.h), so a new backend (PostgreSQL for
// several workstations) only has to provide keyed storage, key-range scans and
// transactions, and callers never change.
//
// Contract for every implementation:
// - Read, Write, Delete and Scan of a file that does not exist throw
//   Error(kNoSuchFile) naming it; none of them ever creates a file.
// - Write creates or replaces a record atomically: a reader (this connection
//   or another) sees either the old whole text or the new one.
// - Scan visits records in byte order of their keys; a Prefix scan must be a
//   key-range lookup (O(log n + k)), never a scan of the whole file.
// - Other failures throw Error(kStorageError, ...) naming what failed.
// - An object is used by one thread at a time.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelmor {

// Which keys a scan visits.
struct KeySelection {
    enum class Kind {
        All,       // every record of the file
        Exact,     // the key equals text
        Prefix,    // the key starts with text: a key range
        Suffix,    // the key ends with text: visits the whole file
        Contains,  // the key contains text: visits the whole file
    };
    Kind kind = Kind::All;
    std::string text;

    friend bool operator==(const KeySelection&, const KeySelection&) = default;
};

// Does `key` satisfy `selection`? (Used by backends that filter by scanning.)
bool Matches(const KeySelection& selection, std::string_view key) noexcept;

// The smallest byte string greater than every string starting with `prefix`;
// nullopt when there is none (empty prefix or only 0xFF bytes).
std::optional<std::string> PrefixUpperBound(std::string_view prefix);

// The number of characters (UTF-8 code points) of `text`: the length a
// counted key prefix is declared with.
std::size_t CharacterCount(std::string_view text) noexcept;

// Throws Error(kBadValue) unless `length` can be a counted key prefix length.
void CheckPrefixLength(std::string_view file, int length);

// The bytes that order a record in label order: the ICU French collation key
// of its attribute 1, value by value and sub-value by sub-value (a shorter
// list first), so that comparing two of them byte by byte orders their
// records as PAR 1 does. Computed here, the same bytes for every backend.
std::string LabelSortKey(std::string_view whole);

class Backend {
public:
    virtual ~Backend() = default;
    virtual bool HasFile(std::string_view file) = 0;
    // Creates an empty file; does nothing when it exists.
    virtual void CreateFile(std::string_view file) = 0;
    // File names in byte order.
    virtual std::vector<std::string> FileNames() = 0;
    virtual std::optional<std::string> Read(std::string_view file, std::string_view key) = 0;
    // Creates or replaces, atomically.
    virtual void Write(std::string_view file, std::string_view key, std::string_view whole) = 0;
    virtual bool Delete(std::string_view file, std::string_view key) = 0;
    // Many records for WriteMany; the views must outlive the call.
    struct RecordView {
        std::string_view file, key, whole;
    };
    // Creates or replaces each record as Write does, in order (of two with
    // one key the later wins), checked like Write; inside an open transaction
    // it is part of it, otherwise all or none are stored. For loads: a server
    // backend sends them in one round trip rather than one each.
    virtual void WriteMany(std::span<const RecordView> records) {
        for (const RecordView& r : records) Write(r.file, r.key, r.whole);
    }
    // Announces a load, in an open transaction: about `records` records
    // written (by WriteMany or Write) before it commits. A backend may spend
    // more memory on them, or put off keeping an index until the commit builds
    // it once, as long as what commits is what the writes alone would make;
    // Commit or Rollback ends the load.
    virtual void BeginLoad(std::uint64_t records) { (void)records; }
    // Stores a new record only when no record has the key, in one atomic step:
    // of two connections inserting the same key, exactly one succeeds. False,
    // and nothing stored, when the key exists.
    virtual bool Insert(std::string_view file, std::string_view key, std::string_view whole) = 0;
    // Replaces a record by what `update` makes of the stored text (nullopt
    // when there is none) with no write of another connection between that
    // read and the write; returns the text stored. Inside an open transaction
    // it is part of it; otherwise it is a transaction of its own. When
    // `update` throws, nothing is stored and the exception propagates.
    using Updater = std::function<std::string(const std::optional<std::string>& stored)>;
    virtual std::string Update(std::string_view file, std::string_view key,
                               const Updater& update) = 0;
    // Visits the selected records in key (byte) order. The views are valid
    // only during the call; the visitor must not call back into the backend.
    using Visitor = std::function<void(std::string_view key, std::string_view whole)>;
    virtual void Scan(std::string_view file, const KeySelection& selection,
                      const Visitor& visit) = 0;
    // The same walk for the keys alone, which a backend may visit without
    // reading the records (a creation's probe of the codes in use).
    using KeyVisitor = std::function<void(std::string_view key)>;
    virtual void ScanKeys(std::string_view file, const KeySelection& selection,
                          const KeyVisitor& visit) {
        Scan(file, selection, [&](std::string_view key, std::string_view) { visit(key); });
    }

    // How many records `selection` selects, without reading them: a whole
    // file's count is kept beside its name, updated in the transaction of
    // each insert and delete; a prefix is counted on the key index.
    virtual std::int64_t Count(std::string_view file, const KeySelection& selection) {
        std::int64_t n = 0;
        Scan(file, selection, [&](std::string_view, std::string_view) { ++n; });
        return n;
    }

    // Key prefixes of a file whose record counts the database keeps: once
    // `length` (in characters, at least 1) is declared, the Count of a Prefix
    // of exactly that many characters is one indexed read, not a count of the
    // key range (the editor counts a sector's neighbourhoods on each "OK").
    // The counts change in the transaction of each insert and delete, as a
    // whole file's count does. Declaring stores the declaration and counts
    // the records present in one transaction (part of the caller's when one
    // is open); declaring again does nothing. Error(kBadValue) for a length
    // below 1, Error(kNoSuchFile) for a missing file. A backend that keeps
    // no such counts checks the arguments and counts key ranges as before.
    virtual void CountKeyPrefixes(std::string_view file, int length);
    // The declared lengths of `file`, ascending.
    virtual std::vector<int> CountedKeyPrefixes(std::string_view file);

    // A whole file in one of two orders, read a page at a time.
    enum class Order {
        Key,    // byte order of the keys
        Label,  // LabelSortKey of each record (its attribute 1 in French order), ties by key
    };
    struct OrderedRow {
        std::string key, sortKey, whole;
    };
    // Up to `limit` records of `file` in `order` that come after `after` (a
    // row of an earlier page: only its key and, in label order, its sort key
    // count; nullopt starts at the first record), the first `skip` of them
    // passed over. Backends walk an index: no sort, nothing read before the
    // position but the skipped index entries.
    virtual std::vector<OrderedRow> Page(std::string_view file, Order order,
                                         const std::optional<OrderedRow>& after, std::int64_t skip,
                                         int limit);

    // What a caller compares to know whether records may have changed since it
    // read them: two equal stamps mean that no record was written in between,
    // through this backend or through any other connection to the database.
    // A backend that cannot tell answers none, and the caller reads again.
    struct ChangeStamp {
        std::uint64_t backend = 0;  // this backend object, unique in the process
        std::int64_t others = 0;    // changes committed by other connections
        std::uint64_t own = 0;      // writes through this backend
        bool operator==(const ChangeStamp&) const = default;
    };
    virtual std::optional<ChangeStamp> Stamp() { return std::nullopt; }

    // Groups writes: between Begin and Commit, no other connection sees any of
    // them; Rollback discards them. Transactions do not nest.
    virtual void Begin() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() noexcept = 0;
    virtual bool InTransaction() const noexcept = 0;
};

}  // namespace kelmor
