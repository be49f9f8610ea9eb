// Storing records read from JSON lines: all or nothing, in one transaction.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
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
// of a load. Records: file index, key length, text length, key, text.
class StagedLoad::Staging {
public:
    explicit Staging(const std::string& dir) : dir_(dir) {
        int fd = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd < 0) {  // a file system without anonymous files
            std::string name = dir + "/.kelmor-load-XXXXXX";
            fd = ::mkstemp(name.data());
            if (fd >= 0) ::unlink(name.c_str());
        }
        if (fd < 0) Fail("making");
        file_ = ::fdopen(fd, "w+b");
        if (!file_) {
            ::close(fd);
            Fail("opening");
        }
        std::setvbuf(file_, nullptr, _IOFBF, std::size_t{1} << 20);
    }
    ~Staging() { std::fclose(file_); }
    Staging(const Staging&) = delete;
    Staging& operator=(const Staging&) = delete;

    void Put(std::uint32_t file, std::string_view key, std::string_view whole) {
        const std::uint32_t header[3] = {file, static_cast<std::uint32_t>(key.size()),
                                         static_cast<std::uint32_t>(whole.size())};
        if (std::fwrite(header, sizeof header, 1, file_) != 1 ||
            std::fwrite(key.data(), 1, key.size(), file_) != key.size() ||
            std::fwrite(whole.data(), 1, whole.size(), file_) != whole.size()) {
            Fail("writing");
        }
    }
    void Rewind() {
        if (std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0) Fail("writing");
    }
    bool Get(std::uint32_t& file, std::string& key, std::string& whole) {
        std::uint32_t header[3];
        if (std::fread(header, sizeof header, 1, file_) != 1) {
            if (std::ferror(file_)) Fail("reading");
            return false;
        }
        file = header[0];
        key.resize(header[1]);
        whole.resize(header[2]);
        if (std::fread(key.data(), 1, key.size(), file_) != key.size() ||
            std::fread(whole.data(), 1, whole.size(), file_) != whole.size()) {
            Fail("reading");
        }
        return true;
    }

private:
    [[noreturn]] void Fail(const char* what) const {
        const int error = errno;
        throw kelmor::Error(
            error == ENOSPC || error == EDQUOT ? kelmor::kDiskFull : kelmor::kIoError,
            std::string("kelmor: ") + what + " the load's temporary file in " + dir_ +
                " failed: " + std::strerror(error));
    }

    std::string dir_;
    std::FILE* file_ = nullptr;
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
    constexpr std::size_t kBatchBytes = 4 << 20;
    std::vector<std::uint32_t> fileOf;
    std::vector<std::string> keys, wholes;
    std::vector<kelmor::Backend::RecordView> batch;
    std::size_t bytes = 0;
    const auto flush = [&] {
        batch.clear();
        for (std::size_t i = 0; i < keys.size(); ++i) {
            batch.push_back({files_[fileOf[i]], keys[i], wholes[i]});
        }
        backend.WriteMany(batch);
        fileOf.clear();
        keys.clear();
        wholes.clear();
        bytes = 0;
    };
    std::uint32_t file = 0;
    std::string key, whole;
    while (staging_->Get(file, key, whole)) {
        bytes += key.size() + whole.size();
        fileOf.push_back(file);
        keys.push_back(std::move(key));
        wholes.push_back(std::move(whole));
        if (bytes >= kBatchBytes) flush();
    }
    if (!keys.empty()) flush();
    transaction.Commit();
    return {records_, files_.size()};
}

LoadResult Load(kelmor::Database& db, std::istream& in, std::string_view source,
                const std::string& stagingDir) {
    return StagedLoad(in, source, stagingDir).Store(db);
}

}  // namespace services::jsonl
