#include "recording_backend.h"

#include <utility>

namespace drive {

RecordingBackend::RecordingBackend(std::shared_ptr<kelmor::Backend> inner)
    : ForwardingBackend(std::move(inner)) {}

std::vector<WriteNote> RecordingBackend::TakeWrites() {
    return std::exchange(writes_, {});
}

void RecordingBackend::Write(std::string_view file, std::string_view key, std::string_view whole) {
    inner().Write(file, key, whole);
    Note(file, key);
}

bool RecordingBackend::Insert(std::string_view file, std::string_view key, std::string_view whole) {
    const bool stored = inner().Insert(file, key, whole);
    if (stored) Note(file, key);
    return stored;
}

std::string RecordingBackend::Update(std::string_view file, std::string_view key,
                                     const Updater& update) {
    std::string stored = inner().Update(file, key, update);
    Note(file, key);
    return stored;
}

void RecordingBackend::Begin() {
    inner().Begin();
    inTransaction_ = true;
}

void RecordingBackend::Commit() {
    inner().Commit();  // on failure the writes stay pending until the rollback
    inTransaction_ = false;
    writes_.insert(writes_.end(), pending_.begin(), pending_.end());
    pending_.clear();
}

void RecordingBackend::Rollback() noexcept {
    inner().Rollback();
    inTransaction_ = false;
    pending_.clear();
}

void RecordingBackend::Note(std::string_view file, std::string_view key) {
    (inTransaction_ ? pending_ : writes_).push_back({std::string(file), std::string(key)});
}

}  // namespace drive
