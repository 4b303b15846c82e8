// The table of the program's commands: menu text, keys, icon and whether the command carries a
// check mark. Menus, toolbars and the key map are built from it.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <span>

namespace kelvo {

struct CommandInfo {
    int id = 0;
    const char* text = "";      ///< menu text (UTF-8), '&' marks the mnemonic
    const char* keys = "";      ///< key sequences in portable form, separated by ';'
    const char* themeIcon = ""; ///< freedesktop icon name, empty when the command has none
    bool checkable = false;
};

/// Every command, in menu order.
std::span<const CommandInfo> AllCommands();
/// The command with the given id, or nullptr.
const CommandInfo* FindCommand(int id);

QString CommandText(const CommandInfo& info);
QList<QKeySequence> CommandKeys(const CommandInfo& info);
/// The text without the mnemonic mark and the trailing ellipsis (tool tips).
QString CommandTip(const CommandInfo& info);

/// The colour table of the text-colour and background-colour commands: 15 fixed colours and
/// "Другой..." (the colour dialog).
struct ColourEntry {
    const char* name;
    int red, green, blue;
};
std::span<const ColourEntry> ColourTable();

} // namespace kelvo
