#pragma once
// A backend that passes every call to another one: the base of decorators
// that note or count some calls (the scripted operator's write log, tests,
// benchmarks) and forward the rest unchanged.

#include <memory>
#include <utility>

#include "kelmor/backend.h"

namespace kelmor {

class ForwardingBackend : public Backend {
public:
    explicit ForwardingBackend(std::shared_ptr<Backend> inner) : inner_(std::move(inner)) {}

    bool HasFile(std::string_view file) override { return inner_->HasFile(file); }
    void CreateFile(std::string_view file) override { inner_->CreateFile(file); }
    std::vector<std::string> FileNames() override { return inner_->FileNames(); }
    std::optional<std::string> Read(std::string_view file, std::string_view key) override {
        return inner_->Read(file, key);
    }
    void Write(std::string_view file, std::string_view key, std::string_view whole) override {
        inner_->Write(file, key, whole);
    }
    void WriteMany(std::span<const RecordView> records) override { inner_->WriteMany(records); }
    void BeginLoad(std::uint64_t records) override { inner_->BeginLoad(records); }
    bool Delete(std::string_view file, std::string_view key) override {
        return inner_->Delete(file, key);
    }
    bool Insert(std::string_view file, std::string_view key, std::string_view whole) override {
        return inner_->Insert(file, key, whole);
    }
    std::string Update(std::string_view file, std::string_view key,
                       const Updater& update) override {
        return inner_->Update(file, key, update);
    }
    void Scan(std::string_view file, const KeySelection& selection, const Visitor& visit) override {
        inner_->Scan(file, selection, visit);
    }
    void ScanKeys(std::string_view file, const KeySelection& selection,
                  const KeyVisitor& visit) override {
        inner_->ScanKeys(file, selection, visit);
    }
    std::int64_t Count(std::string_view file, const KeySelection& selection) override {
        return inner_->Count(file, selection);
    }
    void CountKeyPrefixes(std::string_view file, int length) override {
        inner_->CountKeyPrefixes(file, length);
    }
    std::vector<int> CountedKeyPrefixes(std::string_view file) override {
        return inner_->CountedKeyPrefixes(file);
    }
    std::optional<ChangeStamp> Stamp() override { return inner_->Stamp(); }
    std::vector<OrderedRow> Page(std::string_view file, Order order,
                                 const std::optional<OrderedRow>& after, std::int64_t skip,
                                 int limit) override {
        return inner_->Page(file, order, after, skip, limit);
    }
    void Begin() override { inner_->Begin(); }
    void Commit() override { inner_->Commit(); }
    void Rollback() noexcept override { inner_->Rollback(); }
    bool InTransaction() const noexcept override { return inner_->InTransaction(); }

protected:
    Backend& inner() const { return *inner_; }

private:
    std::shared_ptr<Backend> inner_;
};

}  // namespace kelmor
