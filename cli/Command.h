// The parts every kvb command is made of: its streams, its exit statuses and the interface a
// command implements. A command is one file defining a Make...Command function, listed once
// in Commands.cpp.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kelvo::cli {

/// Exit statuses of kvb.
enum Exit : int {
    kExitOk = 0,      ///< done
    kExitUsage = 1,   ///< wrong usage
    kExitBank = 2,    ///< the bank cannot be opened
    kExitRefused = 3, ///< the operation was refused or failed
};

/// Reads a line from the user's terminal without echo, after showing `prompt`; nothing when
/// there is no terminal to ask.
using TerminalAsk = std::function<std::optional<std::string>(const std::string& prompt)>;

/// The streams a command runs over, and the global options.
struct CommandIo {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool json = false;
    /// --password-file: its first line is the password of a protected bank.
    std::string passwordFile;
    /// How a password is asked for without --password-file (none: no terminal).
    TerminalAsk askTerminal;
};

class Command {
public:
    virtual ~Command() = default;
    /// Declares the command's arguments and options on its subcommand.
    virtual void Define(CLI::App& app) = 0;
    /// Runs the parsed command; returns the exit status.
    virtual int Run(CommandIo& io) = 0;
};

struct CommandEntry {
    const char* name;
    const char* help; ///< one line, Russian
    std::unique_ptr<Command> (*make)();
};

/// Every command, in the order the help lists them.
const std::vector<CommandEntry>& AllCommands();

/// Runs kvb with `args` (without the program name) over the given streams; returns the exit
/// status.
int RunKvb(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, TerminalAsk askTerminal = {});
/// Asks on the controlling terminal with echo off, when standard input is a terminal.
std::optional<std::string> AskTerminalWithoutEcho(const std::string& prompt);

} // namespace kelvo::cli
