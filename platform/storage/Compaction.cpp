// Compaction of a compound file into a fresh one beside it.
#include "platform/storage/Compaction.h"

#include "platform/base/SystemReason.h"
#include "platform/storage/FileSystem.h"
#include "platform/storage/Storage.h"

#include <cerrno>
#include <system_error>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvo::cfb {

namespace fs = std::filesystem;

namespace {

Error SystemError(HResult code, int errnum) {
    return MakeError(code, SystemReason(errnum));
}

// One storage being copied: its children in directory order, the next one to copy.
struct Level {
    Storage from;
    Storage to;
    std::vector<ElementStat> children;
    std::size_t next = 0;
};

Result<Level> Enter(Storage from, Storage to) {
    auto children = from.Enumerate();
    if (!children)
        return children.error();
    return Level{std::move(from), std::move(to), std::move(*children), 0};
}

// Copies the tree below `from` into `to` element by element, in the order a whole-storage
// copy takes (pre-order, children in directory order), so that the progress can move and the
// user can stop between elements. The roots are handed back when the copy ends.
Result<void> CopyTree(Storage& fromRoot, Storage& toRoot, Progress* progress) {
    auto rootStat = fromRoot.Stat();
    if (!rootStat)
        return rootStat.error();
    if (auto r = toRoot.SetClass(rootStat->clsid); !r)
        return r;
    if (auto r = toRoot.SetStateBits(rootStat->stateBits, 0xFFFFFFFF); !r)
        return r;
    std::vector<Level> levels;
    auto root = Enter(std::move(fromRoot), std::move(toRoot));
    if (!root)
        return root.error();
    levels.push_back(std::move(*root));
    Result<void> result;
    while (!levels.empty() && result) {
        Level& level = levels.back();
        if (level.next == level.children.size()) {
            if (levels.size() == 1)
                break;
            levels.pop_back();
            continue;
        }
        if (progress && progress->CancelRequested()) {
            result = MakeError(hr::Abort, "stopped by the user");
            break;
        }
        const ElementStat& child = level.children[level.next++];
        if (child.type == ElementType::Stream) {
            result = level.from.CopyElementTo(child.name, level.to, child.name, false, true);
            if (result && progress)
                progress->Step();
            continue;
        }
        auto to = level.to.CreateStorage(child.name, mode::CreateNew);
        if (!to) {
            result = to.error();
            break;
        }
        if (result = to->SetClass(child.clsid); !result)
            break;
        if (result = to->SetStateBits(child.stateBits, 0xFFFFFFFF); !result)
            break;
        auto from = level.from.OpenStorage(child.name, mode::OpenRead);
        if (!from) {
            result = from.error();
            break;
        }
        if (progress)
            progress->Step();
        auto next = Enter(std::move(*from), std::move(*to));
        if (!next) {
            result = next.error();
            break;
        }
        levels.push_back(std::move(*next));
    }
    // Inner handles go first, then the roots come back to their owners.
    while (levels.size() > 1)
        levels.pop_back();
    fromRoot = std::move(levels.front().from);
    toRoot = std::move(levels.front().to);
    return result;
}

} // namespace

std::uint64_t CountElements(Storage& root) {
    std::uint64_t count = 0;
    std::vector<Storage> pending;
    auto countChildren = [&](Storage& storage) {
        auto children = storage.Enumerate();
        if (!children)
            return;
        for (const ElementStat& child : *children) {
            ++count;
            if (child.type == ElementType::Storage)
                if (auto sub = storage.OpenStorage(child.name, mode::OpenRead))
                    pending.push_back(std::move(*sub));
        }
    };
    countChildren(root);
    while (!pending.empty()) {
        Storage next = std::move(pending.back());
        pending.pop_back();
        countChildren(next);
    }
    return count;
}

Result<void> CompactFile(const fs::path& source, const fs::path& target, const fs::path& copy,
                         Progress* progress, CompactionStep* reached) {
    auto at = [&](CompactionStep step) {
        if (reached)
            *reached = step;
    };
    at(CompactionStep::OpenSource);
    auto from = Storage::OpenFile(source, mode::OpenRead);
    if (!from)
        return from.error();

    at(CompactionStep::CreateCopy);
    std::error_code ec;
    const bool hasTarget = Files().Exists(target);
    // The target is replaced, as writing over it in place would require.
    if (hasTarget && ::access(target.c_str(), W_OK) != 0 && errno != ENOENT)
        return SystemError(hr::AccessDenied, errno);
    struct stat owner {};
    const bool known = ::stat((hasTarget ? target : source).c_str(), &owner) == 0;
    fs::perms perms = fs::status(hasTarget ? target : source, ec).permissions();
    if (ec)
        perms = fs::perms::owner_read | fs::perms::owner_write;
    auto to = Storage::CreateFile(copy, mode::CreateNew, perms);
    if (!to)
        return to.error();

    at(CompactionStep::Copy);
    if (progress)
        progress->Start(CountElements(*from));
    Result<void> copied = CopyTree(*from, *to, progress);
    // The commit flushes the copy to the disk before it returns.
    if (copied)
        copied = to->Commit();
    *from = Storage();
    *to = Storage();
    if (!copied) {
        (void)Files().Remove(copy);
        return copied;
    }
    if (progress)
        progress->SetCancellable(false);
    fs::permissions(copy, perms, ec);
    if (known)
        (void)::chown(copy.c_str(), owner.st_uid, owner.st_gid); // where allowed

    at(CompactionStep::Replace);
    if (auto moved = Files().Rename(copy, target); !moved) {
        (void)Files().Remove(copy);
        return moved;
    }
    // The compacted file is complete under its name; a folder that cannot be synced leaves
    // only the name's durability in doubt.
    (void)Files().SyncDirectory(FolderOf(target));
    at(CompactionStep::Done);
    if (progress)
        progress->Finish();
    return {};
}

} // namespace kelvo::cfb
