#include <iostream>
#include <string>
#include <vector>

#include "kelmor_command.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return kelmor_cli::Run(args, std::cout, std::cerr);
}
