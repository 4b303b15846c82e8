// Densor: compacts an OLE compound file, keeping a backup copy beside it.
#include "densor/Compactor.h"

#include <iostream>

int main(int argc, char* argv[]) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const int status = kelvo::densor::Run(args, std::cout);
    std::cout.flush();
    return status;
}
