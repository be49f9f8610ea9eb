#pragma once
// Keyed storage in memory, enough to run queries without a database file.

#include <map>
#include <string>

#include "kelmor/backend.h"

namespace fuzz {

class MemoryBackend : public kelmor::Backend {
public:
    bool HasFile(std::string_view file) override { return files_.contains(std::string(file)); }
    void CreateFile(std::string_view file) override { files_[std::string(file)]; }
    std::vector<std::string> FileNames() override {
        std::vector<std::string> names;
        for (const auto& [name, _] : files_) names.push_back(name);
        return names;
    }
    std::optional<std::string> Read(std::string_view file, std::string_view key) override {
        const auto& records = File(file);
        const auto it = records.find(std::string(key));
        if (it == records.end()) return std::nullopt;
        return it->second;
    }
    void Write(std::string_view file, std::string_view key, std::string_view whole) override {
        File(file)[std::string(key)] = whole;
    }
    bool Delete(std::string_view file, std::string_view key) override {
        return File(file).erase(std::string(key)) > 0;
    }
    bool Insert(std::string_view file, std::string_view key, std::string_view whole) override {
        return File(file).emplace(key, whole).second;
    }
    std::string Update(std::string_view file, std::string_view key,
                       const Updater& update) override {
        std::string whole = update(Read(file, key));
        Write(file, key, whole);
        return whole;
    }
    void Scan(std::string_view file, const kelmor::KeySelection& selection,
              const Visitor& visit) override {
        for (const auto& [key, whole] : File(file)) {
            if (kelmor::Matches(selection, key)) visit(key, whole);
        }
    }
    void Begin() override {}
    void Commit() override {}
    void Rollback() noexcept override {}
    bool InTransaction() const noexcept override { return false; }

private:
    std::map<std::string, std::string>& File(std::string_view file) {
        const auto it = files_.find(std::string(file));
        if (it == files_.end()) {
            throw kelmor::Error(kelmor::kNoSuchFile, "no file " + std::string(file));
        }
        return it->second;
    }
    std::map<std::string, std::map<std::string, std::string>> files_;
};

}  // namespace fuzz
