#pragma once
// `kelmor SRC copy DST`: copies a whole database into another, of either
// backend (SQLite to PostgreSQL and back), then proves the copy: both must
// hold the same files with the same number of records and the same SHA-256
// digest of their keys and texts. Everything is written in one transaction
// of DST, verified before it commits: a refused or differing copy leaves DST
// as it was.

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

namespace kelmor {
class Database;
}

namespace kelmor_cli {

struct FileDigest {
    std::string file;
    std::size_t records = 0;
    std::string sha256;  // hex, of each record's key and text in key order, with their lengths

    friend bool operator==(const FileDigest&, const FileDigest&) = default;
};

// One entry per file, in file-name order.
std::vector<FileDigest> DigestFiles(kelmor::Database& db);

// `args` is the command line without the program name: SRC "copy" DST.
int Copy(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kelmor_cli
