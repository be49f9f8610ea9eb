// Storing records read from JSON lines: all or nothing, in one transaction.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "kelmor/backend.h"
#include "kelmor/database.h"
#include "services/jsonl.h"

namespace services::jsonl {

namespace {

constexpr std::size_t kMaxFiles = 100'000;

}  // namespace

// An anonymous temporary file (removed by the system when closed, also when
// the process is killed) holding the checked records between the two phases
// of a load. Records: file index, key length, text length, key, text. It is
// written through a buffer of our own and read back a few MiB at a time, a
// batch's views pointing into what was read: no record is copied on its own.
class StagedLoad::Staging {
public:
    explicit Staging(const std::string& dir) : dir_(dir) {
        fd_ = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd_ < 0) {  // a file system without anonymous files
            std::string name = dir + "/.kelmor-load-XXXXXX";
            fd_ = ::mkostemp(name.data(), O_CLOEXEC);
            if (fd_ >= 0) ::unlink(name.c_str());
        }
        if (fd_ < 0) Fail("making");
        out_.reserve(kWriteBytes);
    }
    ~Staging() { ::close(fd_); }
    Staging(const Staging&) = delete;
    Staging& operator=(const Staging&) = delete;

    void Put(std::uint32_t file, std::string_view key, std::string_view whole) {
        const std::uint32_t header[3] = {file, static_cast<std::uint32_t>(key.size()),
                                         static_cast<std::uint32_t>(whole.size())};
        out_.append(reinterpret_cast<const char*>(header), sizeof header);
        out_.append(key);
        out_.append(whole);
        if (out_.size() >= kWriteBytes) Flush();
    }
    void Rewind() {
        Flush();
        std::string().swap(out_);
        if (::lseek(fd_, 0, SEEK_SET) != 0) Fail("reading");
        size_ = begin_ = 0;
    }
    // The next records, about kBatchBytes of them (a longer record alone), as
    // views into the read buffer that stay valid until the next call; false
    // at the end.
    bool NextBatch(const std::vector<std::string>& files,
                   std::vector<kelmor::Backend::RecordView>& batch) {
        // What the last batch left (a record cut by the read) moves to the front.
        if (begin_ > 0) {
            std::memmove(in_.get(), in_.get() + begin_, size_ - begin_);
            size_ -= begin_;
            begin_ = 0;
        }
        entries_.clear();
        while (begin_ < kBatchBytes && Have(kHeader)) {
            Entry entry;
            std::memcpy(&entry, in_.get() + begin_, kHeader);
            if (entry.file >= files.size() || !Have(kHeader + entry.key + entry.whole)) Cut();
            entries_.push_back(entry);
            begin_ += kHeader + entry.key + entry.whole;
        }
        if (entries_.empty() && size_ != 0) Cut();
        // Views only now: reading may have moved the buffer.
        batch.clear();
        const char* at = in_.get();
        for (const Entry& entry : entries_) {
            const char* key = at + kHeader;
            batch.push_back({files[entry.file], {key, entry.key}, {key + entry.key, entry.whole}});
            at = key + entry.key + entry.whole;
        }
        return !batch.empty();
    }

private:
    struct Entry {
        std::uint32_t file, key, whole;  // index, lengths
    };
    static constexpr std::size_t kHeader = sizeof(Entry);
    static constexpr std::size_t kWriteBytes = std::size_t{1} << 20;
    static constexpr std::size_t kReadBytes = std::size_t{1} << 20;
    // A batch's bytes, which a server backend sends in one round trip.
    static constexpr std::size_t kBatchBytes = std::size_t{4} << 20;

    void Flush() {
        std::size_t done = 0;
        while (done < out_.size()) {
            const ssize_t n = ::write(fd_, out_.data() + done, out_.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) Fail("writing");
            done += static_cast<std::size_t>(n);
        }
        out_.clear();
    }
    // True when `bytes` bytes from begin_ are in the buffer, reading more as
    // needed; false at the end of the file.
    bool Have(std::size_t bytes) {
        while (size_ - begin_ < bytes) {
            const std::size_t want = std::max(begin_ + bytes, size_ + kReadBytes);
            if (want > capacity_) {
                auto bigger = std::make_unique_for_overwrite<char[]>(want);
                if (size_ > 0) std::memcpy(bigger.get(), in_.get(), size_);
                in_ = std::move(bigger);
                capacity_ = want;
            }
            const ssize_t n = ::read(fd_, in_.get() + size_, capacity_ - size_);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) Fail("reading");
            if (n == 0) return false;
            size_ += static_cast<std::size_t>(n);
        }
        return true;
    }
    [[noreturn]] void Cut() const {
        throw kelmor::Error(kelmor::kIoError,
                            "kelmor: the load's temporary file in " + dir_ + " was cut short");
    }
    [[noreturn]] void Fail(const char* what) const {
        const int error = errno;
        throw kelmor::Error(
            error == ENOSPC || error == EDQUOT ? kelmor::kDiskFull : kelmor::kIoError,
            std::string("kelmor: ") + what + " the load's temporary file in " + dir_ +
                " failed: " + std::strerror(error));
    }

    std::string dir_;
    int fd_ = -1;
    std::string out_;  // records not yet written
    std::unique_ptr<char[]> in_;
    std::size_t capacity_ = 0, size_ = 0;  // of in_
    std::size_t begin_ = 0;                // of the first record not handed out
    std::vector<Entry> entries_;
};

std::size_t StoreRecords(kelmor::Database& db, const std::vector<Record>& records) {
    kelmor::Transaction transaction(db);
    std::map<std::string, bool, std::less<>> files;
    for (const Record& record : records) {
        if (files.emplace(record.file, true).second) db.CreateFile(record.file);
        // A load replaces whole records: it is not an edit of what is stored.
        db.backend().Write(record.file, record.key, record.data.Text());
    }
    transaction.Commit();
    return files.size();
}

StagedLoad::StagedLoad(std::istream& in, std::string_view source, const std::string& stagingDir)
    : staging_(std::make_unique<Staging>(stagingDir)) {
    Reader reader(in, std::string(source));
    std::map<std::string, std::uint32_t, std::less<>> index;
    StoredRecord record;
    while (reader.Next(record)) {
        if (reader.BadLineCount() > 0) continue;  // nothing will be stored: only check the rest
        auto it = index.find(record.file);
        if (it == index.end()) {
            if (files_.size() == kMaxFiles) {
                throw FormatError(std::string(source) + ": more than " + std::to_string(kMaxFiles) +
                                  " files in one load");
            }
            it = index.emplace(record.file, static_cast<std::uint32_t>(files_.size())).first;
            files_.push_back(record.file);
        }
        staging_->Put(it->second, record.key, record.whole);
        ++records_;
    }
    reader.ThrowIfBadLines();
}

StagedLoad::~StagedLoad() = default;

LoadResult StagedLoad::Store(kelmor::Database& db) {
    staging_->Rewind();
    kelmor::Transaction transaction(db);
    for (const std::string& file : files_) db.CreateFile(file);
    kelmor::Backend& backend = db.backend();
    backend.BeginLoad(records_);
    // In batches of a bounded size, which a server backend stores in one
    // round trip each; memory stays flat whatever the load's size.
    std::vector<kelmor::Backend::RecordView> batch;
    while (staging_->NextBatch(files_, batch)) backend.WriteMany(batch);
    transaction.Commit();
    return {records_, files_.size()};
}

LoadResult Load(kelmor::Database& db, std::istream& in, std::string_view source,
                const std::string& stagingDir) {
    return StagedLoad(in, source, stagingDir).Store(db);
}

}  // namespace services::jsonl
