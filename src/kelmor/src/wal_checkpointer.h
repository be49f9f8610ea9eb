#pragma once
// Copies a database's write-ahead log back into the database on a thread of
// its own. SQLite's own checkpoint runs inside the commit that crosses its
// threshold, so one commit in a few hundred would pay for copying and
// syncing a thousand pages: the operator whose "OK" lands there waits
// milliseconds where every other commit takes a fraction of one.

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

struct sqlite3;

namespace kelmor {

class WalCheckpointer {
public:
    // Takes over the checkpoints of `writer`, a connection in WAL mode open
    // for writing on `path`, until destroyed (before `writer` is closed).
    WalCheckpointer(sqlite3* writer, std::string path);
    ~WalCheckpointer();
    WalCheckpointer(const WalCheckpointer&) = delete;
    WalCheckpointer& operator=(const WalCheckpointer&) = delete;

    // Log size, in pages, at which the thread is woken; and at which a commit
    // checkpoints by itself after all, so the log stays bounded when the
    // thread cannot keep up (commits in a tight loop, another process reading
    // a long snapshot). SQLite starts the log again from its beginning only
    // when a write begins with every page copied back; the thread copies what
    // was logged when it started, so under a steady stream of commits that
    // moment may never come: that commit waits for the thread's checkpoint
    // to end and copies the rest itself.
    static constexpr int kWakePages = 1000;
    static constexpr int kForcePages = 4 * kWakePages;

private:
    static int AfterCommit(void* self, sqlite3* db, const char* schema, int pages);
    void Run();

    sqlite3* writer_;
    std::string path_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;  // the thread's checkpoint has ended
    bool wanted_ = false;
    bool running_ = false;  // the thread is checkpointing
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace kelmor
