#include <sqlite3.h>

#include <iostream>
#include <string>
#include <vector>

#include "kelmor_command.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // SQLite's allocation statistics take a process-wide lock on every
    // allocation (a tenth of a load's CPU) and this program never reads them.
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return kelmor_cli::Run(args, std::cout, std::cerr);
}
