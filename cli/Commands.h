// The factories of the kvb commands; Commands.cpp lists them in help order.
#pragma once

#include "cli/Command.h"

namespace kelvo::cli {

std::unique_ptr<Command> MakeNewCommand();
std::unique_ptr<Command> MakeInfoCommand();
std::unique_ptr<Command> MakeTreeCommand();
std::unique_ptr<Command> MakeShowCommand();
std::unique_ptr<Command> MakePasswordsCommand();
std::unique_ptr<Command> MakeAddRecordCommand();
std::unique_ptr<Command> MakeAddFolderCommand();
std::unique_ptr<Command> MakeAddPasswordCommand();
std::unique_ptr<Command> MakeEditCommand();
std::unique_ptr<Command> MakeEditPasswordCommand();
std::unique_ptr<Command> MakeRmCommand();
std::unique_ptr<Command> MakeRmPasswordCommand();
std::unique_ptr<Command> MakeMvCommand();
std::unique_ptr<Command> MakeImportCommand();
std::unique_ptr<Command> MakeCleanupCommand();
std::unique_ptr<Command> MakeSetSummaryCommand();
std::unique_ptr<Command> MakeSetPropertyCommand();
std::unique_ptr<Command> MakeRmPropertyCommand();
std::unique_ptr<Command> MakePwgenCommand();
std::unique_ptr<Command> MakeIndexCommand();
std::unique_ptr<Command> MakeQueryCommand();
std::unique_ptr<Command> MakeSearchCommand();
std::unique_ptr<Command> MakeProtectCommand();
std::unique_ptr<Command> MakeUnprotectCommand();
std::unique_ptr<Command> MakePasswdCommand();
std::unique_ptr<Command> MakePrintCommand();

} // namespace kelvo::cli
