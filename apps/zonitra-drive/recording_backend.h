#pragma once
// A storage backend that forwards everything to another one and notes the
// (file, key) of every write, so that the scripted operator can report what an
// action stored. Writes are noted once they succeeded.

#include <kelmor/backend.h>

#include <memory>
#include <string>
#include <vector>

namespace drive {

struct WriteNote {
    std::string file;
    std::string key;
    friend bool operator==(const WriteNote&, const WriteNote&) = default;
};

class RecordingBackend : public kelmor::Backend {
public:
    explicit RecordingBackend(std::shared_ptr<kelmor::Backend> inner);

    // The writes noted since the last call, oldest first; the list is emptied.
    std::vector<WriteNote> TakeWrites();

    bool HasFile(std::string_view file) override;
    void CreateFile(std::string_view file) override;
    std::vector<std::string> FileNames() override;
    std::optional<std::string> Read(std::string_view file, std::string_view key) override;
    void Write(std::string_view file, std::string_view key, std::string_view whole) override;
    bool Delete(std::string_view file, std::string_view key) override;
    void Scan(std::string_view file, const kelmor::KeySelection& selection,
              const Visitor& visit) override;
    void Begin() override;
    void Commit() override;
    void Rollback() noexcept override;
    bool InTransaction() const noexcept override;

private:
    std::shared_ptr<kelmor::Backend> inner_;
    std::vector<WriteNote> writes_;
};

}  // namespace drive
