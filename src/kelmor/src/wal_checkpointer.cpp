#include "wal_checkpointer.h"

#include <sqlite3.h>

#include <utility>

namespace kelmor {

WalCheckpointer::WalCheckpointer(sqlite3* writer, std::string path)
    : writer_(writer), path_(std::move(path)) {
    thread_ = std::thread([this] { Run(); });
    // Replaces the connection's automatic checkpoint, which is a hook too.
    sqlite3_wal_hook(writer_, &WalCheckpointer::AfterCommit, this);
}

WalCheckpointer::~WalCheckpointer() {
    sqlite3_wal_hook(writer_, nullptr, nullptr);
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

int WalCheckpointer::AfterCommit(void* self, sqlite3* db, const char* schema, int pages) {
    auto& checkpointer = *static_cast<WalCheckpointer*>(self);
    if (pages >= kForcePages) {
        // Two checkpoints cannot run at once: the thread's ends first. A
        // passive checkpoint never waits for a lock; what it cannot copy now
        // (pages another process still reads) is copied later.
        std::unique_lock lock(checkpointer.mutex_);
        checkpointer.idle_.wait(lock, [&] { return !checkpointer.running_; });
        sqlite3_wal_checkpoint_v2(db, schema, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    } else if (pages >= kWakePages) {
        {
            const std::lock_guard lock(checkpointer.mutex_);
            checkpointer.wanted_ = true;
        }
        checkpointer.wake_.notify_one();
    }
    return SQLITE_OK;
}

void WalCheckpointer::Run() {
    sqlite3* own = nullptr;
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return wanted_ || stopping_; });
        if (stopping_) break;
        wanted_ = false;
        running_ = true;
        lock.unlock();
        // A connection that has read nothing has not opened the log yet, and
        // its checkpoint does nothing: it reads the schema once first.
        if (own == nullptr &&
            (sqlite3_open_v2(path_.c_str(), &own, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                             nullptr) != SQLITE_OK ||
             sqlite3_exec(own, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr) !=
                 SQLITE_OK)) {
            // Nothing is lost: the writer's commits checkpoint by themselves
            // once the log reaches kForcePages.
            sqlite3_close(own);
            own = nullptr;
        }
        if (own != nullptr) {
            sqlite3_wal_checkpoint_v2(own, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        }
        lock.lock();
        running_ = false;
        idle_.notify_all();
    }
    lock.unlock();
    sqlite3_close(own);
}

}  // namespace kelmor
