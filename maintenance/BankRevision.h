// Bank revision: the open bank's file compacted in place. The whole compound file is copied
// into a fresh file beside the bank, which leaves the free space of the old one behind; the
// copy takes the bank's place by a rename once it is complete and on disk, and the document
// reopens the bank with its selection kept. Any failure before the rename leaves the bank
// file byte for byte as it was.
#pragma once

#include "platform/base/Progress.h"
#include "platform/base/Result.h"

#include <cstdint>
#include <filesystem>
#include <functional>

namespace kelvo {

class CQuorvellineDoc;

/// The steps a revision reports, in this order (a failure ends the list early).
enum class RevisionStep {
    SizeBefore, ///< the bank's size before (`before`)
    Copying,    ///< the copy begins (`elements` storages and streams)
    Copied,     ///< the copy is complete and on disk
    Replaced,   ///< the copy took the bank's place
    SizeAfter,  ///< the bank's size after (`after`; `before` - `after` were freed)
    Reopened,   ///< the document shows the compacted bank
};

struct RevisionFigures {
    std::uint64_t before = 0;
    std::uint64_t after = 0;
    std::uint64_t elements = 0;
};

using RevisionReporter = std::function<void(RevisionStep, const RevisionFigures&)>;

/// Where the copy is built: beside the bank, so that the rename stays on one file system.
std::filesystem::path RevisionCopyPath(const std::filesystem::path& bank);

/// Revises the bank open in `doc`, which must have a file and no unsaved changes (the window
/// saves first). Fails with message 10171 for a bank never saved, 10172 (the path and the
/// reason) when the copy cannot be made or cannot replace the bank; the bank file is then
/// unchanged and the document still shows it. The progress moves one step per element and
/// may stop the copy (the bank stays as it was); a reopen that fails after the rename is
/// reported with the reason, the document keeping what it showed.
Result<RevisionFigures> ReviseBank(CQuorvellineDoc& doc, Progress* progress = nullptr,
                                   const RevisionReporter& report = {});

} // namespace kelvo
