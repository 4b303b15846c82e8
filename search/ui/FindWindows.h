// What the two modeless windows of finding things (the bank search and the index browser)
// are given by the main window, and what they share: showing a window that may be minimised
// or behind others, and their icons.
#pragma once

#include "core/BankTrees.h"

#include <QIcon>

#include <cstdint>
#include <functional>
#include <string>

class QWidget;

namespace kelvo {

class CQuorvellineDoc;
class ResultNavigator;
class SettingsStore;
class UserDialogs;
struct TreeNode;

struct FindWindowContext {
    CQuorvellineDoc& doc;
    SettingsStore& settings;
    UserDialogs& dialogs;
    /// Where go-to leads: the main window.
    ResultNavigator& navigator;
    /// The picture a node has in its tree in the main window (the start chooser shows the
    /// trees with them); null gives none.
    std::function<QIcon(TreeKind tree, const TreeNode& node)> nodeIcon;
};

/// Which bank the document holds: another one after New or Open (also of the same file) and
/// after Save As (the bank's path is what the windows name it by), the same after a save.
struct OpenBank {
    std::string path;
    std::uint64_t contents = 0; ///< the document's ContentsSerial
    bool operator==(const OpenBank&) const = default;
};
OpenBank OpenBankOf(CQuorvellineDoc& doc);

/// Shows a top-level window: restored first when it is minimised, then raised and
/// activated.
void ShowAndActivate(QWidget& window);

enum class FindWindowKind { Search, Index };
/// The icon of a window: the desktop theme's, else one drawn here.
QIcon FindWindowIcon(FindWindowKind kind);

} // namespace kelvo
