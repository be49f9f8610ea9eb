#pragma once
// The embedded backend: one SQLite file in WAL mode.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "kelmor/backend.h"
#include "kelmor/database.h"
#include "wal_checkpointer.h"

struct sqlite3;
struct sqlite3_stmt;

namespace kelmor {

class SqliteBackend final : public Backend {
public:
    SqliteBackend(const std::string& path, OpenMode mode, const SqliteOptions& options);
    ~SqliteBackend() override;
    SqliteBackend(const SqliteBackend&) = delete;
    SqliteBackend& operator=(const SqliteBackend&) = delete;

    bool HasFile(std::string_view file) override;
    void CreateFile(std::string_view file) override;
    std::vector<std::string> FileNames() override;
    std::optional<std::string> Read(std::string_view file, std::string_view key) override;
    void Write(std::string_view file, std::string_view key, std::string_view whole) override;
    bool Delete(std::string_view file, std::string_view key) override;
    bool Insert(std::string_view file, std::string_view key, std::string_view whole) override;
    std::string Update(std::string_view file, std::string_view key, const Updater& update) override;
    void Scan(std::string_view file, const KeySelection& selection, const Visitor& visit) override;
    void ScanKeys(std::string_view file, const KeySelection& selection,
                  const KeyVisitor& visit) override;
    std::int64_t Count(std::string_view file, const KeySelection& selection) override;
    void CountKeyPrefixes(std::string_view file, int length) override;
    std::vector<int> CountedKeyPrefixes(std::string_view file) override;
    std::vector<OrderedRow> Page(std::string_view file, Order order,
                                 const std::optional<OrderedRow>& after, std::int64_t skip,
                                 int limit) override;
    void BeginLoad(std::uint64_t records) override;
    void Begin() override;
    void Commit() override;
    void Rollback() noexcept override;
    bool InTransaction() const noexcept override;
    std::optional<ChangeStamp> Stamp() override;

private:
    class Statement;
    // What a file holds, found without writing to it.
    enum class Kind { Ours, Empty, Foreign, NotSqlite, Damaged };

    std::optional<std::int64_t> FindFileId(std::string_view file);
    std::int64_t FileId(std::string_view file);  // throws kNoSuchFile
    // Throws the Error of the connection's last failure, its number chosen
    // from the SQLite result and the system's errno.
    [[noreturn]] void Fail(const std::string& what);
    static std::int32_t NumberOf(int code, int systemErrno) noexcept;
    void RequireWritable(std::string_view what) const;
    // Scan and ScanKeys: `bodies` false visits empty bodies, unread.
    void Walk(std::string_view file, const KeySelection& selection, bool bodies,
              const Visitor& visit);
    void Exec(const char* sql, const char* what);
    void Connect(const std::string& name, int flags);
    Kind PeekHeader(const std::string& path);
    Kind Identify();
    void Require(Kind kind) const;  // throws unless Ours
    void CreateSchema();
    void UseWal();
    std::int64_t OneInteger(const char* sql, const char* what, const char* text = nullptr);
    bool HasTable(const char* name);
    bool HasSortKeys();
    // A database made before records carried their label sort key and files
    // their record count gets both, and one made before counted key prefixes
    // gets their (empty) tables, in one transaction.
    void UpgradeIfOlder();
    void Prepare();
    void Close() noexcept;
    // The records of every file, from their counts.
    std::uint64_t StoredRecords();
    // Back to the usual cache once a load is committed or rolled back.
    void EndLoad() noexcept;
    // Builds the label index and the counts a load put off, and restores
    // their triggers, in its transaction.
    void CompleteLoad();
    void CheckWritable(std::string_view file, std::string_view key, std::string_view whole) const;
    // Stores the record count of each prefix of `chars` characters of the
    // keys of file `file` (none are stored for it yet).
    void CountPrefixes(std::int64_t file, int chars);

    std::string path_;
    bool readOnly_ = false;
    int lockWaitMs_ = 0;
    bool unjournaled_ = false;
    int lastCode_ = 0;  // extended result code of the last failure
    int foreignAppId_ = 0;
    sqlite3* db_ = nullptr;
    // Files are never dropped, so a known name keeps its id; the cache is
    // cleared on rollback because a rolled-back CreateFile loses its id.
    std::map<std::string, std::int64_t, std::less<>> fileIds_;
    bool loading_ = false;
    std::optional<int> cacheSize_;  // to restore when a load ends
    // The label index and the insert triggers were dropped in the open
    // transaction, to be made again before it commits.
    bool deferred_ = false;
    const std::uint64_t instance_;  // ChangeStamp::backend
    std::uint64_t writes_ = 0;      // ChangeStamp::own
    std::unique_ptr<Statement> findFile_, insertFile_, listFiles_, read_, write_, insert_, delete_,
        scanAll_, scanFrom_, scanRange_, keysAll_, keysFrom_, keysRange_, countFile_, countRange_,
        countFrom_, pageByKey_, pageByLabel_, begin_, commit_, rollback_, dataVersion_;
    // Null when the database has no counted prefixes' tables (an older one
    // opened read-only).
    std::unique_ptr<Statement> countPrefix_, declarePrefix_, storePrefix_, listPrefixes_;
    std::unique_ptr<WalCheckpointer> checkpointer_;  // writable databases only
};

}  // namespace kelmor
