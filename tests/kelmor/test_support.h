#pragma once
// Helpers shared by the database library's tests.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "kelmor/database.h"

namespace kelmor::test {

// A fresh directory removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kelmor-test-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
        path_ = pattern;
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string Dir() const { return path_.string(); }
    std::string File(std::string_view name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// The whole content of a file; "" when it cannot be read.
inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Marks as usually displayed: '^' attribute, ']' value, '\' sub-value.
inline std::string Marks(std::string shown) {
    for (char& c : shown)
        c = c == '^' ? kAttributeMark : c == ']' ? kValueMark : c == '\\' ? kSubValueMark : c;
    return shown;
}

// `call` must throw a kelmor::Error with `number` and `part` in its message.
template <typename Call>
void ExpectError(Call&& call, std::int32_t number, std::string_view part) {
    try {
        call();
        ADD_FAILURE() << "no error; expected one mentioning " << part;
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), number) << e.what();
        EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what();
    }
}

// Runs a query request built from its three attributes.
inline ResultList Select(Database& db, const std::string& query, const std::string& file,
                         const std::string& columns) {
    DynArray request;
    request.Set(1, query);
    request.Set(2, file);
    request.Set(3, columns);
    std::int32_t count = -1;
    ResultList list = db.Query(request.Text(), "", count);
    EXPECT_EQ(count, list.DCount());
    return list;
}

}  // namespace kelmor::test
