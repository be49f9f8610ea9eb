#pragma once
// Makes the storage's file writes fail on demand, as a full disk or a failing
// drive would: a VFS over SQLite's default one, installed as the default for
// the life of the object (every connection opened meanwhile uses it).

#include <sqlite3.h>

#include <atomic>
#include <cstring>

namespace kelmor::test {

class FaultVfs {
public:
    FaultVfs() {
        base_ = sqlite3_vfs_find(nullptr);
        vfs_ = *base_;
        vfs_.zName = "kelmor-test-fault";
        vfs_.szOsFile = static_cast<int>(sizeof(File)) + base_->szOsFile;
        vfs_.xOpen = &Open;
        vfs_.pAppData = this;
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
    struct File {
        sqlite3_file base;
        FaultVfs* owner;
        sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
    };
    static sqlite3_file* Real(sqlite3_file* f) { return reinterpret_cast<File*>(f)->real(); }

    static int Open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags,
                    int* outFlags) {
        auto* self = static_cast<FaultVfs*>(vfs->pAppData);
        auto* f = reinterpret_cast<File*>(file);
        std::memset(f, 0, sizeof(File));
        f->owner = self;
        const int rc = self->base_->xOpen(self->base_, name, f->real(), flags, outFlags);
        if (f->real()->pMethods == nullptr) return rc;
        self->methods_ = *f->real()->pMethods;  // the default VFS has one method table
        self->methods_.xClose = [](sqlite3_file* x) { return Real(x)->pMethods->xClose(Real(x)); };
        self->methods_.xRead = [](sqlite3_file* x, void* p, int n, sqlite3_int64 o) {
            return Real(x)->pMethods->xRead(Real(x), p, n, o);
        };
        self->methods_.xWrite = [](sqlite3_file* x, const void* p, int n, sqlite3_int64 o) {
            const int fail = reinterpret_cast<File*>(x)->owner->failWith_;
            return fail != 0 ? fail : Real(x)->pMethods->xWrite(Real(x), p, n, o);
        };
        self->methods_.xTruncate = [](sqlite3_file* x, sqlite3_int64 n) {
            return Real(x)->pMethods->xTruncate(Real(x), n);
        };
        self->methods_.xSync = [](sqlite3_file* x, int fl) {
            return Real(x)->pMethods->xSync(Real(x), fl);
        };
        self->methods_.xFileSize = [](sqlite3_file* x, sqlite3_int64* n) {
            return Real(x)->pMethods->xFileSize(Real(x), n);
        };
        self->methods_.xLock = [](sqlite3_file* x, int l) {
            return Real(x)->pMethods->xLock(Real(x), l);
        };
        self->methods_.xUnlock = [](sqlite3_file* x, int l) {
            return Real(x)->pMethods->xUnlock(Real(x), l);
        };
        self->methods_.xCheckReservedLock = [](sqlite3_file* x, int* r) {
            return Real(x)->pMethods->xCheckReservedLock(Real(x), r);
        };
        self->methods_.xFileControl = [](sqlite3_file* x, int op, void* a) {
            return Real(x)->pMethods->xFileControl(Real(x), op, a);
        };
        self->methods_.xSectorSize = [](sqlite3_file* x) {
            return Real(x)->pMethods->xSectorSize(Real(x));
        };
        self->methods_.xDeviceCharacteristics = [](sqlite3_file* x) {
            return Real(x)->pMethods->xDeviceCharacteristics(Real(x));
        };
        self->methods_.xShmMap = [](sqlite3_file* x, int i, int n, int w, void volatile** p) {
            return Real(x)->pMethods->xShmMap(Real(x), i, n, w, p);
        };
        self->methods_.xShmLock = [](sqlite3_file* x, int o, int n, int fl) {
            return Real(x)->pMethods->xShmLock(Real(x), o, n, fl);
        };
        self->methods_.xShmBarrier = [](sqlite3_file* x) {
            Real(x)->pMethods->xShmBarrier(Real(x));
        };
        self->methods_.xShmUnmap = [](sqlite3_file* x, int d) {
            return Real(x)->pMethods->xShmUnmap(Real(x), d);
        };
        self->methods_.xFetch = [](sqlite3_file* x, sqlite3_int64 o, int n, void** p) {
            return Real(x)->pMethods->xFetch(Real(x), o, n, p);
        };
        self->methods_.xUnfetch = [](sqlite3_file* x, sqlite3_int64 o, void* p) {
            return Real(x)->pMethods->xUnfetch(Real(x), o, p);
        };
        f->base.pMethods = &self->methods_;
        return rc;
    }

    sqlite3_vfs* base_ = nullptr;
    sqlite3_vfs vfs_{};
    sqlite3_io_methods methods_{};
    std::atomic<int> failWith_{0};
};

}  // namespace kelmor::test
