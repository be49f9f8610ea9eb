#pragma once
// The `kelmor` command: creates, loads, dumps, reads, queries and generates a
// database.
// Kept apart from main() so that the exit codes live in one place.

#include <iosfwd>
#include <string>
#include <vector>

namespace kelmor_cli {

// Exit codes; each failure class has its own.
enum Exit : int {
    kOk = 0,
    kFailure = 1,      // anything not listed below
    kUsage = 2,        // wrong command line
    kNotFound = 3,     // read: no record with that key
    kNoSuchFile = 4,   // a FILE that the database does not hold
    kBadInput = 5,     // malformed JSON line, query, file name or key
    kStorage = 6,      // the database cannot be opened or written
    kInputFile = 7,    // the JSON lines file cannot be read
    kCopyRefused = 8,  // copy: target not empty, or the copy differs; nothing stored
    kBadRecords = 9,   // dump, read, query: stored records that are not valid text
                       // (each named; the others are printed)
};

// `args` excludes the program name. Results go to `out`, messages to `err`.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kelmor_cli
