#include "recording_backend.h"

#include <utility>

namespace drive {

RecordingBackend::RecordingBackend(std::shared_ptr<kelmor::Backend> inner)
    : inner_(std::move(inner)) {}

std::vector<WriteNote> RecordingBackend::TakeWrites() {
    return std::exchange(writes_, {});
}

bool RecordingBackend::HasFile(std::string_view file) {
    return inner_->HasFile(file);
}

void RecordingBackend::CreateFile(std::string_view file) {
    inner_->CreateFile(file);
}

std::vector<std::string> RecordingBackend::FileNames() {
    return inner_->FileNames();
}

std::optional<std::string> RecordingBackend::Read(std::string_view file, std::string_view key) {
    return inner_->Read(file, key);
}

void RecordingBackend::Write(std::string_view file, std::string_view key, std::string_view whole) {
    inner_->Write(file, key, whole);
    writes_.push_back({std::string(file), std::string(key)});
}

bool RecordingBackend::Delete(std::string_view file, std::string_view key) {
    return inner_->Delete(file, key);
}

void RecordingBackend::Scan(std::string_view file, const kelmor::KeySelection& selection,
                            const Visitor& visit) {
    inner_->Scan(file, selection, visit);
}

void RecordingBackend::Begin() {
    inner_->Begin();
}

void RecordingBackend::Commit() {
    inner_->Commit();
}

void RecordingBackend::Rollback() noexcept {
    inner_->Rollback();
}

bool RecordingBackend::InTransaction() const noexcept {
    return inner_->InTransaction();
}

}  // namespace drive
