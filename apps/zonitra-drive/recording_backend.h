#pragma once
// A storage backend that forwards everything to another one and notes the
// (file, key) of every write, so that the scripted operator can report what an
// action stored. Writes are noted once they succeeded; inside a transaction,
// once it is committed (a rolled-back write stored nothing).

#include <kelmor/forwarding_backend.h>

#include <memory>
#include <string>
#include <vector>

namespace drive {

struct WriteNote {
    std::string file;
    std::string key;
    friend bool operator==(const WriteNote&, const WriteNote&) = default;
};

class RecordingBackend : public kelmor::ForwardingBackend {
public:
    explicit RecordingBackend(std::shared_ptr<kelmor::Backend> inner);

    // The writes noted since the last call, oldest first; the list is emptied.
    std::vector<WriteNote> TakeWrites();

    void Write(std::string_view file, std::string_view key, std::string_view whole) override;
    bool Insert(std::string_view file, std::string_view key, std::string_view whole) override;
    std::string Update(std::string_view file, std::string_view key, const Updater& update) override;
    void Begin() override;
    void Commit() override;
    void Rollback() noexcept override;

private:
    void Note(std::string_view file, std::string_view key);

    std::vector<WriteNote> writes_;
    std::vector<WriteNote> pending_;  // written in the open transaction
    bool inTransaction_ = false;
};

}  // namespace drive
