// cfbtool: looks inside and changes compound files from the command line.
#include "tools/CfbCommands.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    const int rc = kelvo::cfbtool::Run(args, std::cin, std::cout, std::cerr);
    std::cout.flush();
    return rc;
}
