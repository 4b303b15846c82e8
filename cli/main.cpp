// kvb: the command-line tool over a data bank. The main only hands its arguments to RunKvb.
//
// Adding a command: write cli/<Name>Command.cpp with a class deriving from Command
// (Define declares its arguments on its CLI11 subcommand, Run does the work over the
// CommandIo streams and returns an exit status), a function
// `std::unique_ptr<Command> Make<Name>Command()`, and list it once in Commands.cpp. Commands
// that work on a bank use the helpers of BankCommand.h and go through CQuorvellineDoc, so
// kvb never has an implementation of its own of anything the program does.
#include "cli/Command.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return kelvo::cli::RunKvb(args, std::cin, std::cout, std::cerr,
                              kelvo::cli::AskTerminalWithoutEcho);
}
