// The program's options, as the options sheet shows them and the windows consult them: the
// questions before deleting, the length of the recent-bank list, and the protection of
// copied passwords. Kept in the settings store (SettingsStore::Options); a new option is a
// field here, its key in SettingsStore.cpp and a row on a page of the options sheet.
#pragma once

namespace kelvo {

struct UserOptions {
    /// The recent-bank menu has this many commands; a longer list cannot be shown.
    static constexpr int kMaxRecentFiles = 16;
    static constexpr int kMinClipboardSeconds = 5;
    static constexpr int kMaxClipboardSeconds = 600;

    /// Ask before a tree item with its children is deleted.
    bool confirmItemDelete = true;
    /// Ask before the selected password entries are deleted.
    bool confirmPasswordDelete = true;
    /// How many recently used banks the menu lists (0 to kMaxRecentFiles).
    int recentFiles = 6;
    /// Seconds a copied password stays on the clipboard.
    int clipboardSeconds = 20;

    /// The options with every number brought into its range.
    UserOptions Bounded() const;
    bool operator==(const UserOptions&) const = default;
};

} // namespace kelvo
