#pragma once
// What the benchmarks compare the editor with: the storage calls an action
// made, recorded on their way to the backend, then made again with prepared
// sqlite3 statements on the same file (no record parsed, no list filled, no
// French sort: the floor any implementation on this storage pays).

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kelmor/forwarding_backend.h"

namespace bench {

// One storage call, as the library made it.
struct Call {
    enum class Kind {
        Read,
        Scan,
        Count,
        Page,
        Update,
        Write,
        Insert,
        Delete,
        Begin,
        Commit,
        Rollback
    };
    Kind kind = Kind::Read;
    std::string file, key;
    std::string text;  // a scan's or count's key text, or the record written
    kelmor::KeySelection::Kind selection = kelmor::KeySelection::Kind::All;
    std::string afterSortKey, afterKey;  // a page's position
    std::string sortKey;                 // a written record's, see FillSortKeys
    bool label = false;                  // a page in label order
    bool keysOnly = false;               // a scan of the keys alone
    std::int64_t skip = 0;
    int limit = 0;
};

// Counts of calls by what they cost: indexed reads, key ranges (scans, counts
// and pages) and writes (transactions apart).
struct CallCounts {
    long reads = 0, ranges = 0, writes = 0;
};
CallCounts Count(const std::vector<Call>& calls);

// Forwards every call and notes the data calls in `calls`. Cheap while timed:
// written records' sort keys are left for FillSortKeys.
class RecordingBackend : public kelmor::ForwardingBackend {
public:
    using ForwardingBackend::ForwardingBackend;
    std::vector<Call> calls;

    std::optional<std::string> Read(std::string_view f, std::string_view k) override;
    void Scan(std::string_view f, const kelmor::KeySelection& s, const Visitor& v) override;
    void ScanKeys(std::string_view f, const kelmor::KeySelection& s, const KeyVisitor& v) override;
    std::int64_t Count(std::string_view f, const kelmor::KeySelection& s) override;
    std::vector<OrderedRow> Page(std::string_view f, Order order,
                                 const std::optional<OrderedRow>& after, std::int64_t skip,
                                 int limit) override;
    std::string Update(std::string_view f, std::string_view k, const Updater& u) override;
    void Write(std::string_view f, std::string_view k, std::string_view w) override;
    void WriteMany(std::span<const RecordView> records) override;
    bool Insert(std::string_view f, std::string_view k, std::string_view w) override;
    bool Delete(std::string_view f, std::string_view k) override;
    void Begin() override;
    void Commit() override;
    void Rollback() noexcept override;

private:
    void Note(Call::Kind kind, std::string_view f, std::string_view k, std::string_view text);
};

// The sort keys of the records the calls write, as the library stores them:
// computed outside the timed replay.
void FillSortKeys(std::vector<Call>& calls);

// The recorded calls again, with sqlite3 statements on the library's tables.
class Replayer {
public:
    explicit Replayer(const std::string& path);
    ~Replayer();
    Replayer(const Replayer&) = delete;
    Replayer& operator=(const Replayer&) = delete;

    // Bytes read, so that nothing is optimised away. Writes outside a
    // recorded transaction are one transaction each, as the library's.
    std::size_t Run(const std::vector<Call>& calls);
    // No checkpoint in the commits of Run: the caller checkpoints outside
    // the timed replays, as the library moves them off its commits.
    void DeferCheckpoints();
    void Checkpoint();

private:
    sqlite3_stmt* Prepare(const char* sql);
    std::size_t Drain(sqlite3_stmt* s, int column);
    void Check(int rc, const char* what);
    sqlite3_int64 Id(const std::string& file) const;

    sqlite3* db_ = nullptr;
    std::vector<sqlite3_stmt*> statements_;
    sqlite3_stmt *read_ = nullptr, *range_ = nullptr, *all_ = nullptr, *keysRange_ = nullptr,
                 *keysAll_ = nullptr, *countFile_ = nullptr, *countRange_ = nullptr,
                 *countPrefix_ = nullptr, *pageLabel_ = nullptr, *pageKey_ = nullptr,
                 *upsert_ = nullptr, *insert_ = nullptr, *delete_ = nullptr, *begin_ = nullptr,
                 *commit_ = nullptr, *rollback_ = nullptr;
    std::map<std::string, sqlite3_int64, std::less<>> files_;
};

}  // namespace bench
