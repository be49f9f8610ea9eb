#pragma once
// The server backend: one PostgreSQL database shared by many workstations,
// reached through libpq with a postgresql:// connection string.
//
// Server failures carry the numbers SQLite's do (kBusy for a lock wait that
// ran out, a serialization failure or a deadlock; kDiskFull, kReadOnly,
// kIoError), chosen from the SQLSTATE of the error.
//
// A lost connection (server restarted, network cut) makes the call that meets
// it throw Error(kConnectionLost); the next call connects again and prepares
// its statements anew. A transaction open when the connection was lost is
// gone on the server: every call but Rollback then throws kConnectionLost
// until Rollback (a Transaction's destructor) closes it, so that later writes
// never run outside the transaction their caller believes in.

#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>

#include "kelmor/backend.h"
#include "kelmor/database.h"

struct pg_conn;
struct pg_result;

namespace kelmor {

class PgBackend final : public Backend {
public:
    // `location` is a postgresql:// (or postgres://) connection string. The
    // server database must exist. With CreateIfMissing its tables are created
    // when it holds no table at all; with MustExist or ReadOnly a database
    // without them is refused (Error(kStorageError) naming it). A database
    // holding tables of another program, or incomplete ones of ours, is
    // refused untouched in every mode (Error(kNotADatabase)). ReadOnly opens
    // a read-only session: every write fails with kReadOnly.
    PgBackend(std::string location, OpenMode mode, const SqliteOptions& options);
    ~PgBackend() override;
    PgBackend(const PgBackend&) = delete;
    PgBackend& operator=(const PgBackend&) = delete;

    bool HasFile(std::string_view file) override;
    void CreateFile(std::string_view file) override;
    std::vector<std::string> FileNames() override;
    std::optional<std::string> Read(std::string_view file, std::string_view key) override;
    void Write(std::string_view file, std::string_view key, std::string_view whole) override;
    bool Delete(std::string_view file, std::string_view key) override;
    void WriteMany(std::span<const RecordView> records) override;
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
    void Begin() override;
    void Commit() override;
    void Rollback() noexcept override;
    bool InTransaction() const noexcept override;

private:
    struct ResultDeleter {
        void operator()(pg_result* result) const noexcept;
    };
    using Result = std::unique_ptr<pg_result, ResultDeleter>;
    enum Statement : int;

    void Connect(bool reconnecting);
    void EnsureConnected();
    void PrepareAll();
    void InitSchema(OpenMode mode);
    void Exec(const char* sql, const std::string& what);  // fixed text only
    // Scan and ScanKeys: `bodies` false visits empty bodies, unread.
    void Walk(std::string_view file, const KeySelection& selection, bool bodies,
              const Visitor& visit);
    Result Run(Statement statement, std::initializer_list<std::string_view> params,
               const std::string& what);
    [[noreturn]] void Fail(const std::string& what, const pg_result* result);
    [[noreturn]] void LoseConnection(const std::string& what, const std::string& reason);
    std::optional<std::int32_t> FindFileId(std::string_view file);
    std::int32_t FileId(std::string_view file);  // throws kNoSuchFile
    void CheckWritable(std::string_view file, std::string_view key, std::string_view whole) const;
    void StoreBatch(std::span<const RecordView> records);

    std::string location_;  // never shown: it may hold a password
    std::string display_;   // "the PostgreSQL database NAME on HOST"
    bool readOnly_ = false;
    int lockWaitMs_ = 0;
    pg_conn* conn_ = nullptr;
    bool inTransaction_ = false;
    bool transactionLost_ = false;  // the connection went down inside a transaction
    // The counted key prefixes' tables exist (not in an older database opened
    // read-only).
    bool prefixTables_ = false;
    // Files are never dropped, so a known name keeps its id; the cache is
    // cleared on rollback because a rolled-back CreateFile loses its id.
    std::map<std::string, std::int32_t, std::less<>> fileIds_;
};

}  // namespace kelmor
