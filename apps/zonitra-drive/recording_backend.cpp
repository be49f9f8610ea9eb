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
    writes_.push_back({std::string(file), std::string(key)});
}

bool RecordingBackend::Insert(std::string_view file, std::string_view key, std::string_view whole) {
    const bool stored = inner().Insert(file, key, whole);
    if (stored) writes_.push_back({std::string(file), std::string(key)});
    return stored;
}

std::string RecordingBackend::Update(std::string_view file, std::string_view key,
                                     const Updater& update) {
    std::string stored = inner().Update(file, key, update);
    writes_.push_back({std::string(file), std::string(key)});
    return stored;
}

}  // namespace drive
