#pragma once
// Helpers shared by the database library's tests.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "kelmor/dynarray.h"

namespace kelmor::test {

// A fresh directory removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kelmor-test-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string File(std::string_view name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Writes marks the way they are usually displayed: '^' attribute mark,
// ']' value mark, '\' sub-value mark.
inline std::string Marks(std::string_view shown) {
    std::string whole(shown);
    for (char& c : whole) {
        if (c == '^') c = kAttributeMark;
        if (c == ']') c = kValueMark;
        if (c == '\\') c = kSubValueMark;
    }
    return whole;
}

inline std::string Shown(std::string_view whole) {
    std::string shown(whole);
    for (char& c : shown) {
        if (c == kAttributeMark) c = '^';
        if (c == kValueMark) c = ']';
        if (c == kSubValueMark) c = '\\';
    }
    return shown;
}

}  // namespace kelmor::test
