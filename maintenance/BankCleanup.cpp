// The cleanup pass over records, folders and password entries.
#include "maintenance/BankCleanup.h"

#include "core/BankTrees.h"
#include "core/Messages.h"
#include "core/RecordBody.h"
#include "platform/storage/BankStorage.h"

#include <optional>

namespace kelvo {

namespace {

// Counts the steps it passes on: the result says how far the bar went.
class Reporter {
public:
    explicit Reporter(Progress* progress) : m_progress(progress) {}
    void Start(std::size_t upper) {
        if (m_progress) {
            m_progress->SetCancellable(false);
            m_progress->Start(upper);
        }
    }
    void Item(int id, AnsiView title) {
        if (m_progress)
            m_progress->SetStatus(MessageText(id, {AnsiToUtf8(title)}));
    }
    void Step() {
        ++m_steps;
        if (m_progress)
            m_progress->Step();
    }
    std::size_t steps() const { return m_steps; }

private:
    Progress* m_progress;
    std::size_t m_steps = 0;
};

} // namespace

Result<CleanupResult> RunBankCleanup(CQuorvellineDoc& doc, const CleanupChoices& choices,
                                     Progress* progress, CleanupViews* views) {
    if (!choices.Any())
        return MessageError(hr::InvalidArg, msg::CleanupNothingChosen);

    CleanupResult result;
    // The body streams are only looked at when texts go, and only where bodies can be: a
    // bank never saved and never shown has no working file, and none is made for it. They
    // all go in one transaction before anything in memory changes, so that a file that
    // cannot be written leaves the whole bank as it was.
    if (choices.recordTexts && doc.HasWorkingStorage()) {
        auto root = doc.WorkingStorage();
        if (!root)
            return MessageError(root.code(), msg::CleanupNoWorkingStorage);
        auto data = OpenOrCreateStorage(*root, kRecDataStorage);
        if (!data)
            return MessageError(data.code(), msg::CleanupNoWorkingStorage);
        WalkTree(doc.records(), [&](TreeNode& record) {
            if (data->DestroyElement(BodyStreamName(record.item.uid)))
                ++result.bodiesRemoved; // a record without a body is passed over
            return true;
        });
        if (auto committed = root->Commit(); !committed) {
            root->Discard();
            return ErrorWithReason(msg::CleanupWriteFailed, committed.error());
        }
    }

    result.progressRange = doc.passwords().size() + doc.trees().size();
    Reporter report(progress);
    report.Start(result.progressRange);

    WalkTree(doc.records(), [&](TreeNode& record) {
        report.Item(msg::CleanupRecord, record.title);
        if (choices.recordNotes)
            record.item.notes.clear();
        if (choices.recordKeywords)
            record.item.keywords.clear();
        report.Step();
        return true;
    });
    if (views)
        views->ReloadSelectedBody();

    WalkTree(doc.folders(), [&](TreeNode& folder) {
        report.Item(msg::CleanupFolder, folder.title);
        if (choices.folderNotes)
            folder.item.notes.clear();
        if (choices.folderKeywords)
            folder.item.keywords.clear();
        report.Step();
        return true;
    });

    if (choices.passwords) {
        PwdList& list = doc.passwords();
        while (!list.empty()) {
            PwdItem& first = list[0];
            report.Item(msg::CleanupPassword, first.title);
            if (!list.Remove(first.uid)) {
                list.Clear(); // cannot happen: every entry is found by its UID
                break;
            }
            ++result.passwordsRemoved;
            report.Step();
        }
    }
    if (views)
        views->RefillPasswordList();
    doc.SetModifiedFlag(true);
    result.progressSteps = report.steps();
    return result;
}

} // namespace kelvo
