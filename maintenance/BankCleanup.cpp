// The cleanup pass over records, folders and password entries.
#include "maintenance/BankCleanup.h"

#include "core/RecordBody.h"
#include "platform/storage/BankStorage.h"

#include <optional>
#include <string>

namespace kelvo {

namespace {

std::string WithTitle(std::string_view format, AnsiView title) {
    std::string text(format);
    text.replace(text.find("%s"), 2, AnsiToUtf8(title));
    return text;
}

class Reporter {
public:
    Reporter(Progress* progress, StatusSink* status) : m_progress(progress), m_status(status) {}
    void Start(std::size_t upper) {
        if (m_progress)
            m_progress->Start(upper);
    }
    void Item(std::string_view format, AnsiView title) {
        if (m_status)
            m_status->SetStatus(WithTitle(format, title));
    }
    void Step() {
        ++m_steps;
        if (m_progress)
            m_progress->Step();
    }
    std::size_t steps() const { return m_steps; }

private:
    Progress* m_progress;
    StatusSink* m_status;
    std::size_t m_steps = 0;
};

} // namespace

Result<CleanupResult> RunBankCleanup(CQuorvellineDoc& doc, const CleanupChoices& choices,
                                     Progress* progress, StatusSink* status, CleanupViews* views) {
    if (!choices.Any())
        return MakeError(hr::InvalidArg, std::string(kCleanupNothingChosenText));

    // The body streams are only looked at when texts go, and only where bodies can be: a
    // bank never saved and never shown has no working file, and none is made for it.
    std::optional<cfb::Storage> working, recData;
    if (choices.recordTexts && doc.HasWorkingStorage()) {
        auto root = doc.WorkingStorage();
        if (!root)
            return MakeError(root.code(), std::string(kCleanupNoWorkingStorageText));
        auto data = OpenOrCreateStorage(*root, kRecDataStorage);
        if (!data)
            return MakeError(data.code(), std::string(kCleanupNoWorkingStorageText));
        working = std::move(*root);
        recData = std::move(*data);
    }

    CleanupResult result;
    const std::vector<TreeNode*> records = doc.records().PreOrder();
    const std::vector<TreeNode*> folders = doc.folders().PreOrder();
    result.progressRange = doc.passwords().size() + folders.size() + records.size();
    Reporter report(progress, status);
    report.Start(result.progressRange);

    for (TreeNode* record : records) {
        report.Item(kCleanupRecordText, record->title);
        if (choices.recordNotes)
            record->item.notes.clear();
        if (choices.recordKeywords)
            record->item.keywords.clear();
        if (recData && recData->DestroyElement(BodyStreamName(record->item.uid)))
            ++result.bodiesRemoved; // a record without a body is passed over
        report.Step();
    }
    if (recData)
        (void)recData->Commit();
    recData.reset();
    working.reset();
    if (views)
        views->ReloadSelectedBody();

    for (TreeNode* folder : folders) {
        report.Item(kCleanupFolderText, folder->title);
        if (choices.folderNotes)
            folder->item.notes.clear();
        if (choices.folderKeywords)
            folder->item.keywords.clear();
        report.Step();
    }

    if (choices.passwords) {
        PwdList& list = doc.passwords();
        while (!list.empty()) {
            PwdItem& first = list[0];
            report.Item(kCleanupPasswordText, first.title);
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
