#pragma once
// Storage backend interface. Records are stored as (file, key, whole text);
// queries are evaluated above it (query.h), so a new backend only has to
// provide keyed storage and key-range scans. Implementations throw
// kelmor::Error(kStorageError, ...) naming what failed.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmor {

// Which keys a scan visits.
struct KeySelection {
    enum class Kind { All, Exact, Prefix, Suffix };
    Kind kind = Kind::All;
    std::string text;
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual bool HasFile(std::string_view file) = 0;
    virtual void CreateFile(std::string_view file) = 0;
    virtual std::vector<std::string> FileNames() = 0;
    virtual std::optional<std::string> Read(std::string_view file, std::string_view key) = 0;
    // Creates or replaces, atomically.
    virtual void Write(std::string_view file, std::string_view key, std::string_view whole) = 0;
    virtual bool Delete(std::string_view file, std::string_view key) = 0;
    // Visits the selected records in key (byte) order.
    using Visitor = std::function<void(std::string_view key, std::string_view whole)>;
    virtual void Scan(std::string_view file, const KeySelection& selection,
                      const Visitor& visit) = 0;
};

}  // namespace kelmor
