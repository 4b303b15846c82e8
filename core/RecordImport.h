// Import of records from another bank: the record tree of a source compound file is loaded
// for the user to choose from, and a chosen record with its subtree and bodies is copied
// under a record of the open bank.
#pragma once

#include "core/Progress.h"
#include "core/QuorvellineDoc.h"

#include <cstddef>
#include <filesystem>

namespace kelvo {

// The import's texts are in core/Messages: the statuses 20003 and 20004, the messages
// 20005 and 20006, and the refusals and warning 10117, 10118, 10119 and 10129, the open
// failure 10170 naming the file and the reason.

/// The record tree of a source file, as the import dialog shows it.
class RecordImportSource {
public:
    /// Loads the record tree of the compound file at `path` (any compound file: a file that is
    /// not a bank, or a bank without a record tree, gives an empty tree). The file is opened
    /// for reading only and never changed. The expanded and selected flags stored with the
    /// records are ignored: the first top-level node is selected and expanded. On failure
    /// (the file cannot be opened or is not a compound file) the tree stays as it was, the
    /// source counts as not loaded, and the error carries message 10170 naming
    /// the file and the reason.
    /// A protected bank asks `prompt` for its password (without one it is refused, 10150);
    /// its key is kept for the copy of the bodies.
    Result<void> Load(const std::filesystem::path& path, Progress* progress = nullptr,
                      const PasswordPrompt& prompt = {});

    /// True after a successful Load (until a failed one).
    bool loaded() const { return m_loaded; }
    const std::filesystem::path& path() const { return m_path; }
    RecordTree& tree() { return m_tree; }
    const RecordTree& tree() const { return m_tree; }
    /// The sealer of a protected source, or null.
    const std::shared_ptr<BankSealer>& sealer() const { return m_sealer; }

private:
    std::shared_ptr<BankSealer> m_sealer;
    RecordTree m_tree;
    std::filesystem::path m_path;
    bool m_loaded = false;
};

struct ImportResult {
    TreeNode* top = nullptr;      ///< the new node of the chosen record
    std::size_t records = 0;      ///< nodes created
    std::size_t bodies = 0;       ///< bodies copied
    std::size_t bodiesFailed = 0; ///< source bodies that could not be copied
};

/// Copies `sourceNode` (a node of `source`'s tree) with its subtree as the last child of
/// `destination` (a record of the open bank): each record gets the next free UID of the
/// record tree, the source's title, keywords, notes and created, saved and opened times, and
/// its body copied byte for byte from the source's RecData into the working storage under
/// its new UID (a stale stream of that name is replaced, or removed when the source record
/// has no body). The source file is held open (read-only) only during the copy; it may be
/// the open bank's own file. Marks the bank modified.
/// The progress gets the status "Копирование записи '%s'..." of each record.
/// Refused, with nothing changed: the source is not loaded (20005), a node is missing
/// (10119), or the working storage cannot be opened (10117).
/// The bodies reach the file in one transaction; when it cannot be written (10129 with the
/// reason), the new records are taken out of the tree again and the file keeps what it held.
Result<ImportResult> ImportRecords(CQuorvellineDoc& doc, TreeNode* destination,
                                   const RecordImportSource& source, const TreeNode* sourceNode,
                                   Progress* progress = nullptr);

} // namespace kelvo
