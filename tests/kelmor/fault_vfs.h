#pragma once
// Makes the storage's file writes fail on demand, as a full disk or a failing
// drive would: a VFS over SQLite's default one, installed as the default for
// the life of the object (every connection opened meanwhile uses it).

#include <sqlite3.h>

#include <atomic>
#include <list>
#include <mutex>

namespace kelmor::test {

class FaultVfs {
public:
    FaultVfs() {
        base_ = sqlite3_vfs_find(nullptr);
        vfs_ = *base_;
        vfs_.zName = "kelmor-test-fault";
        vfs_.xOpen = &Open;
        sqlite3_vfs_register(&vfs_, 1);
    }
    ~FaultVfs() {
        sqlite3_vfs_unregister(&vfs_);
        sqlite3_vfs_register(base_, 1);
    }
    FaultVfs(const FaultVfs&) = delete;
    FaultVfs& operator=(const FaultVfs&) = delete;

    // Every write from now on fails with `code` (SQLITE_FULL, SQLITE_IOERR_WRITE...);
    // 0 lets them through again.
    void FailWrites(int code) { failWith_ = code; }

private:
    // Files are the base VFS's own, opened in place; each method table they
    // come with (databases and journals differ) is copied once with its write
    // replaced. One fault VFS is installed at a time.
    struct Table {
        const sqlite3_io_methods* real;
        sqlite3_io_methods ours;
    };
    static int Open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
        const int rc = base_->xOpen(base_, name, file, flags, outFlags);
        if (file->pMethods == nullptr) return rc;
        const std::lock_guard lock(mutex_);
        Table* table = nullptr;
        for (Table& t : tables_) table = t.real == file->pMethods ? &t : table;
        if (table == nullptr) {
            table = &tables_.emplace_back(Table{file->pMethods, *file->pMethods});
            table->ours.xWrite = [](sqlite3_file* f, const void* p, int n, sqlite3_int64 o) {
                const std::lock_guard lock(mutex_);
                for (const Table& t : tables_)
                    if (&t.ours == f->pMethods)
                        return failWith_ != 0 ? failWith_.load() : t.real->xWrite(f, p, n, o);
                return SQLITE_IOERR_WRITE;
            };
        }
        file->pMethods = &table->ours;
        return rc;
    }

    static inline sqlite3_vfs* base_ = nullptr;
    static inline std::mutex mutex_;
    static inline std::list<Table> tables_;
    static inline std::atomic<int> failWith_{0};
    sqlite3_vfs vfs_{};
};

}  // namespace kelmor::test
