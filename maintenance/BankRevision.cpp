// Bank revision over the storage engine's compaction.
#include "maintenance/BankRevision.h"

#include "core/Messages.h"
#include "core/QuorvellineDoc.h"
#include "platform/storage/Compaction.h"
#include "platform/storage/Storage.h"

#include <system_error>

namespace kelvo {

namespace fs = std::filesystem;

namespace {

std::uint64_t FileSize(const fs::path& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    return ec ? 0 : size;
}

// Counts the elements the copy will report, for the first line of the list.
std::uint64_t ElementsOf(const fs::path& bank) {
    auto root = cfb::Storage::OpenFile(bank, cfb::mode::OpenRead);
    return root ? cfb::CountElements(*root) : 0;
}

// Passes the compaction's progress on and notes when the copy is complete.
class CopyProgress final : public Progress {
public:
    CopyProgress(Progress* inner, const std::function<void()>& copied)
        : m_inner(inner), m_copied(copied) {}
    void Start(std::size_t upper) override {
        if (m_inner)
            m_inner->Start(upper);
    }
    void Step() override {
        if (m_inner)
            m_inner->Step();
    }
    void Finish() override {
        if (m_inner)
            m_inner->Finish();
    }
    void SetStatus(std::string_view utf8) override {
        if (m_inner)
            m_inner->SetStatus(utf8);
    }
    void SetCancellable(bool cancellable) override {
        // The compaction says it can no longer stop once the copy is complete and on disk.
        if (!cancellable && m_copied)
            m_copied();
        if (m_inner)
            m_inner->SetCancellable(cancellable);
    }
    bool EventsWaiting() override { return m_inner && m_inner->EventsWaiting(); }
    bool CancelRequested() override { return m_inner && m_inner->CancelRequested(); }

private:
    Progress* m_inner;
    std::function<void()> m_copied;
};

} // namespace

fs::path RevisionCopyPath(const fs::path& bank) {
    fs::path copy = bank;
    copy += ".revision.tmp";
    return copy;
}

Result<RevisionFigures> ReviseBank(CQuorvellineDoc& doc, Progress* progress,
                                   const RevisionReporter& report) {
    if (!doc.hasFile() || doc.path().empty())
        return MessageError(hr::InvalidParameter, msg::RevisionNeverSaved);
    const fs::path bank = doc.path();
    auto tell = [&](RevisionStep step, const RevisionFigures& figures) {
        if (report)
            report(step, figures);
    };

    RevisionFigures figures;
    figures.before = FileSize(bank);
    tell(RevisionStep::SizeBefore, figures);
    figures.elements = ElementsOf(bank);
    tell(RevisionStep::Copying, figures);

    // The selection comes back by UID after the reopen.
    const TreeNode* record = doc.records().selected();
    const TreeNode* folder = doc.folders().selected();
    const std::uint32_t recordUid = record ? record->item.uid : 0;
    const std::uint32_t folderUid = folder ? folder->item.uid : 0;
    const bool hadRecord = record != nullptr, hadFolder = folder != nullptr;

    CopyProgress copyProgress(progress, [&] { tell(RevisionStep::Copied, figures); });
    const auto compacted =
        cfb::CompactFile(bank, bank, RevisionCopyPath(bank), &copyProgress, nullptr);
    if (!compacted)
        return MessageError(compacted.code(), msg::RevisionFailed,
                            {bank.string(), ReasonText(compacted.error())});
    tell(RevisionStep::Replaced, figures);
    figures.after = FileSize(bank);
    tell(RevisionStep::SizeAfter, figures);

    if (auto reopened = doc.OnOpenDocument(bank); !reopened)
        return MessageError(reopened.code(), msg::RevisionReopenFailed,
                            {bank.string(), ErrorText(reopened.error())});
    if (hadRecord)
        if (TreeNode* node = doc.records().FindByUid(recordUid))
            doc.records().Select(node);
    if (hadFolder)
        if (TreeNode* node = doc.folders().FindByUid(folderUid))
            doc.folders().Select(node);
    tell(RevisionStep::Reopened, figures);
    return figures;
}

} // namespace kelvo
