// Compaction of a compound file: its whole tree of storages and streams copied into a fresh
// file, which leaves the free space of the old one behind, and the fresh file put in the old
// one's place by a rename once it is complete and on disk. Densor and the bank revision share
// it.
#pragma once

#include "platform/base/Progress.h"
#include "platform/base/Result.h"

#include <cstdint>
#include <filesystem>

namespace kelvo::cfb {

/// Where a compaction stopped: the step that failed, or Done.
enum class CompactionStep {
    OpenSource, ///< the source cannot be opened as a compound file
    CreateCopy, ///< the target may not be replaced, or the copy cannot be created
    Copy,       ///< copying, committing or flushing the copy failed, or the user stopped it
    Replace,    ///< the copy could not take the target's place
    Done,
};

/// Copies the compound file at `source` (opened for reading only) into a new compound file at
/// `copy` (created, replacing what is there) and, once the copy is complete and flushed to
/// disk, renames it to `target` and flushes the folder. The copy gets the permissions of
/// `target` (of `source` when there is no target) and, where the system allows it, its owner
/// and group. Every storage comes with its class and state bits, every stream byte for byte,
/// in the source's directory order. A target that exists but may not be written by this user
/// is refused before anything is made.
/// The progress gets Start(number of elements) when copying begins, one Step per element, the
/// question CancelRequested between elements (hr::Abort when the user stops), and
/// SetCancellable(false) once the copy is complete; Finish when the target was replaced.
/// On any failure the copy is removed, `target` is left exactly as it was, and `reached`
/// (when given) tells the step that failed; on success it is Done.
Result<void> CompactFile(const std::filesystem::path& source, const std::filesystem::path& target,
                         const std::filesystem::path& copy, Progress* progress = nullptr,
                         CompactionStep* reached = nullptr);

/// The number of storages and streams below the root of an open compound file.
std::uint64_t CountElements(class Storage& root);

} // namespace kelvo::cfb
