// The document's lifecycle: clearing, New, Open, Save, Save As and the working storage.
#include "core/QuorvellineDoc.h"

#include "core/BankHeader.h"
#include "core/RecordBody.h"
#include "platform/storage/BankStorage.h"
#include "platform/storage/FileSystem.h"

#include <cstdlib>

namespace kelvo {

namespace {

// The framework's title of a document that has no file yet.
AnsiString UntitledTitle() {
    return AnsiStringText(msg::Untitled);
}

AnsiString FileTitle(const std::filesystem::path& path) {
    return Utf8ToAnsiLossy(path.filename().string());
}

std::filesystem::path Absolute(const std::filesystem::path& path) {
    std::error_code ec;
    auto abs = std::filesystem::absolute(path, ec);
    return ec ? path : abs.lexically_normal();
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec))
        return true;
    return Absolute(a) == Absolute(b);
}

// A new empty file "Kel*.tmp" in the temporary folder, readable by the owner only.
Result<std::filesystem::path> MakeTempFile() {
    const char* dir = std::getenv("TMPDIR");
    return cfb::Files().CreateUnique((dir && *dir) ? dir : "/tmp", "Kel", ".tmp");
}

// Message 10101 with the path and the status, then what went wrong in the system's words.
Error SaveFailure(const std::string& shown, const Error& cause) {
    if (cause.messageId != 0)
        return cause;
    Error error = StatusError(msg::SaveFailed, shown, cause.code);
    error.message += "\n" + ReasonText(cause);
    return error;
}

} // namespace

CQuorvellineDoc::CQuorvellineDoc() : m_title(UntitledTitle()) {
    m_records.SetListener(this);
    m_folders.SetListener(this);
    DeleteContents();
}

CQuorvellineDoc::~CQuorvellineDoc() = default;

void CQuorvellineDoc::SetModifiedFlag(bool modified) {
    if (m_modified == modified)
        return;
    m_modified = modified;
    if (m_listener)
        m_listener->OnModifiedChanged(modified);
}

void CQuorvellineDoc::OnSelectionChanged(RecordTree& tree, TreeNode* node) {
    if (m_loading || !m_listener)
        return;
    m_listener->OnSelectionChanged(&tree == &m_records ? TreeKind::Records : TreeKind::Folders,
                                   node);
}

void CQuorvellineDoc::Refresh() {
    if (m_listener)
        m_listener->OnDocumentRefresh();
}

bool CQuorvellineDoc::HoldsLockOf(const std::filesystem::path& path) const {
    return m_lock.Holds() && m_lock.bank() == SessionLock::Canonical(path);
}

// Takes the session lock of `path` into `lock` unless this document holds it already.
Result<void> CQuorvellineDoc::TakeLock(const std::filesystem::path& path, SessionLock& lock) const {
    if (HoldsLockOf(path))
        return {};
    if (!lock.Acquire(path))
        return MessageError(hr::ShareViolation, msg::BankBusy, {path.string()});
    return {};
}

void CQuorvellineDoc::DeleteContents() {
    ++m_contentsSerial;
    m_records.Clear();
    m_folders.Clear();
    m_path.clear();
    m_hasFile = false;
    m_tempPath.clear();
    m_revision = 0;
    m_currentUser = CurrentUserName();
    m_summary = DefaultBankSummary(m_title, m_currentUser);
    m_passwords.Clear();
    m_userProperties.clear();
    m_sealer.reset();
}

Result<void> CQuorvellineDoc::OnNewDocument() {
    m_title = UntitledTitle();
    DeleteContents();
    m_lock.Release();
    SetModifiedFlag(false);
    m_saveAsMode = false;
    m_records.Insert(AnsiStringText(msg::RootRecordTitle));
    m_records.EnsureSelection();
    m_folders.Insert(AnsiStringText(msg::RootFolderTitle));
    m_folders.EnsureSelection();
    Refresh();
    return {};
}

Result<void> CQuorvellineDoc::OnOpenDocument(const std::filesystem::path& path, BankAccess access) {
    SessionLock lock;
    const bool sameLock = access == BankAccess::Change && HoldsLockOf(path);
    if (access == BankAccess::Change && FileExists(path)) {
        if (auto taken = TakeLock(path, lock); !taken)
            return taken;
    }
    auto checked = CheckBankFile(path);
    if (!checked)
        return checked.error();
    cfb::Storage root = std::move(checked->root);
    std::shared_ptr<BankSealer> sealer;
    if (checked->isProtected) {
        auto unlocked = Unlock(root, path);
        if (!unlocked)
            return unlocked.error();
        sealer = std::move(*unlocked);
        root.SetSealer(sealer);
    }
    // Reopening the bank this document holds keeps its lock; another bank's lock replaces it.
    if (!sameLock)
        m_lock = std::move(lock);

    DeleteContents();
    m_sealer = std::move(sealer);
    m_revision = checked->revision;
    m_currentUser = CurrentUserName();
    m_hasFile = true;
    m_tempPath.clear();

    (void)WithSummaryStorage(root, isProtected(), false, [this](cfb::Storage& sets) {
        ReadSummary(sets, m_currentUser, m_summary, m_userProperties);
        return Result<void>{};
    });
    LoadPwdListFromStorage(m_passwords, root);
    // The trees report their selection once the bank file is released again, so that the
    // listener can read the selected record's body from it.
    m_loading = true;
    if (auto recTree = OpenOrCreateStorage(root, u"RecTree"))
        LoadTreeFromStorage(m_records, *recTree);
    if (auto pwdTree = OpenOrCreateStorage(root, u"PwdTree"))
        LoadTreeFromStorage(m_folders, *pwdTree);
    m_loading = false;
    root = cfb::Storage();

    m_path = Absolute(path);
    m_title = FileTitle(m_path);
    m_saveAsMode = false;
    Refresh();
    m_records.EnsureSelection();
    m_folders.EnsureSelection();
    SetModifiedFlag(false);
    return {};
}

Result<void> CQuorvellineDoc::Save() {
    m_saveAsMode = false;
    if (m_path.empty())
        return MessageError(hr::InvalidArg, msg::BankHasNoFile);
    return OnSaveDocument(m_path);
}

Result<void> CQuorvellineDoc::SaveAs(const std::filesystem::path& target) {
    m_saveAsMode = true;
    return OnSaveDocument(target);
}

Result<void> CQuorvellineDoc::WriteBank(cfb::Storage& target) {
    if (auto header = WriteBankHeader(target, m_revision, isProtected()); !header)
        return header;
    // The trees, the entries and the property sets are built in memory and copied into the
    // target, which keeps every element of the file that this save does not write.
    auto memory = cfb::Storage::CreateInMemory();
    if (!memory)
        return memory.error();
    auto recTree = memory->CreateStorage(u"RecTree", cfb::mode::CreateNew);
    if (!recTree)
        return recTree.error();
    if (auto r = SaveTreeToStorage(m_records, *recTree); !r)
        return r;
    *recTree = cfb::Storage();
    auto pwdTree = memory->CreateStorage(u"PwdTree", cfb::mode::CreateNew);
    if (!pwdTree)
        return pwdTree.error();
    if (auto r = SaveTreeToStorage(m_folders, *pwdTree); !r)
        return r;
    *pwdTree = cfb::Storage();
    if (auto r = SavePwdListToStorage(m_passwords, *memory); !r)
        return r;
    // A protected bank keeps its sets sealed apart and shows only a title in the standard ones.
    if (auto r = WithSummaryStorage(*memory, isProtected(), true,
                                    [this](cfb::Storage& sets) {
                                        return WriteSummary(sets, m_summary, m_revision,
                                                            m_userProperties);
                                    });
        !r)
        return r;
    if (isProtected()) {
        if (auto r = WriteProtectedBankSummary(*memory); !r)
            return r;
    }
    if (auto r = memory->Commit(); !r)
        return r;
    return memory->CopyTo(target);
}

Result<void> CQuorvellineDoc::OnSaveDocument(const std::filesystem::path& target) {
    if (m_listener)
        m_listener->OnSaveCurrentBody();
    const std::uint32_t previousRevision = m_revision;
    const bool existed = FileExists(target);
    m_revision = existed ? m_revision + 1 : 0;
    const std::string shown = target.string();

    SessionLock lock;
    const bool sameLock = HoldsLockOf(target);
    if (auto taken = TakeLock(target, lock); !taken) {
        m_revision = previousRevision;
        return taken;
    }
    auto fail = [&](const Error& cause) -> Error {
        m_revision = previousRevision;
        return SaveFailure(shown, cause);
    };
    // The whole save is one transaction of the target: a bank file is changed in place, a new
    // one is built beside the path and moved there once complete. Whatever fails on the way,
    // the file keeps what it held, and the bank stays modified.
    // A protected bank saved under another path, or any bank saved over a protected one,
    // gets a new file: merging would mix sealed and plain elements, or two keys, in one file.
    const bool own = m_hasFile && SameFile(m_path, target);
    const bool fresh = !own && (isProtected() || (existed && IsProtectedBankFile(target)));
    auto saving = fresh ? SaveTarget::Beside(target) : SaveTarget::Open(target);
    if (!saving)
        return fail(saving.error());
    cfb::Storage& root = saving->root();
    root.SetSealer(m_sealer);
    // The record bodies written so far come along: from the working file of a bank never
    // saved, or from the old file on Save As. A source that cannot be opened is skipped.
    if (!m_hasFile && !m_tempPath.empty() && !SameFile(m_tempPath, target)) {
        if (auto temp = cfb::Storage::OpenFile(m_tempPath, cfb::mode::OpenRead)) {
            if (auto copied = temp->CopyTo(root); !copied)
                return fail(copied.error());
        }
    }
    if (m_saveAsMode && !m_path.empty() && !SameFile(m_path, target)) {
        if (auto old = cfb::Storage::OpenFile(m_path, cfb::mode::OpenRead)) {
            old->SetSealer(m_sealer);
            if (auto copied = old->CopyTo(root); !copied)
                return fail(copied.error());
        }
    }
    const OleDateTime previousSaved = m_summary.lastSaved;
    m_summary.lastSaved = OleDateTime::Now();
    if (auto written = WriteBank(root); !written) {
        m_summary.lastSaved = previousSaved;
        return fail(written.error());
    }
    if (!isProtected())
        (void)UpdateByteCount(root); // informational only
    if (auto finished = saving->Finish(); !finished) {
        m_summary.lastSaved = previousSaved;
        return fail(finished.error());
    }

    m_path = Absolute(target);
    m_title = FileTitle(m_path);
    m_hasFile = true;
    m_tempPath.clear(); // the file itself stays where it is
    if (!sameLock)
        m_lock = std::move(lock);
    SetModifiedFlag(false);
    Refresh();
    return {};
}

Result<cfb::Storage> CQuorvellineDoc::OpenBankFile(const std::filesystem::path& path) {
    auto root = OpenOrCreateBankFile(path);
    if (root)
        root->SetSealer(m_sealer);
    return root;
}

Result<cfb::Storage> CQuorvellineDoc::WorkingStorage() {
    if (m_hasFile)
        return OpenBankFile(m_path);
    if (m_tempPath.empty()) {
        auto made = MakeTempFile();
        if (!made)
            return MessageError(made.code(), msg::NoWorkingFile);
        m_tempPath = std::move(*made);
    }
    return OpenBankFile(m_tempPath);
}

// ---- protection -----------------------------------------------------------------------

Result<std::shared_ptr<BankSealer>> CQuorvellineDoc::Unlock(cfb::Storage& root,
                                                            const std::filesystem::path& path) {
    return UnlockWithPrompt(root, path, m_prompt);
}

std::vector<std::u16string> CQuorvellineDoc::TakeDamagedElements() {
    return m_sealer ? m_sealer->TakeFailures() : std::vector<std::u16string>{};
}

Result<void> CQuorvellineDoc::SaveBeforeRewrite() {
    if (!m_hasFile || m_path.empty())
        return MessageError(hr::InvalidArg, msg::BankHasNoFile);
    if (m_listener)
        m_listener->OnSaveCurrentBody();
    if (!m_modified)
        return {};
    m_saveAsMode = false;
    return OnSaveDocument(m_path);
}

Result<void> CQuorvellineDoc::Protect(std::string_view password, const crypto::KdfParams& params) {
    if (isProtected())
        return MessageError(hr::AccessDenied, msg::AlreadyProtected);
    if (password.empty())
        return MessageError(hr::InvalidArg, msg::EmptyPassword);
    if (auto saved = SaveBeforeRewrite(); !saved)
        return saved;
    auto sealer = ProtectBankFile(m_path, password, params);
    if (!sealer)
        return sealer.error();
    m_sealer = std::move(*sealer);
    Refresh();
    return {};
}

Result<void> CQuorvellineDoc::Unprotect(std::string_view password) {
    if (!isProtected())
        return MessageError(hr::AccessDenied, msg::NotProtected);
    if (auto saved = SaveBeforeRewrite(); !saved)
        return saved;
    if (auto done = UnprotectBankFile(m_path, password); !done)
        return done;
    m_sealer.reset();
    Refresh();
    return {};
}

Result<void> CQuorvellineDoc::ChangePassword(std::string_view oldPassword,
                                             std::string_view newPassword,
                                             const crypto::KdfParams& params) {
    if (!isProtected())
        return MessageError(hr::AccessDenied, msg::NotProtected);
    if (newPassword.empty())
        return MessageError(hr::InvalidArg, msg::EmptyPassword);
    if (auto saved = SaveBeforeRewrite(); !saved)
        return saved;
    auto sealer = ChangeBankPassword(m_path, oldPassword, newPassword, params);
    if (!sealer)
        return sealer.error();
    m_sealer = std::move(*sealer);
    Refresh();
    return {};
}

TreeNode* CQuorvellineDoc::AddNode(TreeKind kind, TreeNode* parent, AnsiView title) {
    TreeNode* node = tree(kind).Insert(title, parent);
    SetModifiedFlag(true);
    return node;
}

PwdItem& CQuorvellineDoc::AddPassword(std::unique_ptr<PwdItem> item, TreeNode* folder) {
    item->folderUid = folder ? folder->item.uid : 0;
    PwdItem& added = m_passwords.Add(std::move(item));
    if (folder)
        folder->item.saved = OleDateTime::Now();
    SetModifiedFlag(true);
    return added;
}

Result<void> CQuorvellineDoc::SaveBody(TreeItem& record, std::string_view rtf) {
    auto root = WorkingStorage();
    if (!root)
        return ErrorWithReason(msg::BodySaveFailed, root.error());
    // One transaction: the file holds the old body or the new one, never a part of it.
    auto written = WriteRecordBody(*root, record.uid, rtf);
    if (written)
        written = root->Commit();
    if (!written) {
        root->Discard();
        return ErrorWithReason(msg::BodySaveFailed, written.error());
    }
    record.saved = OleDateTime::Now();
    return {};
}

Result<bool> CQuorvellineDoc::SaveBodyIfModified(TreeNode* record, bool modified,
                                                 std::string_view rtf) {
    if (!modified || !record)
        return false;
    if (auto saved = SaveBody(record, rtf); !saved)
        return saved.error();
    return true;
}

Result<std::string> CQuorvellineDoc::LoadBody(std::uint32_t uid) {
    auto root = WorkingStorage();
    if (!root)
        return ErrorWithReason(msg::BodyLoadFailed, root.error());
    auto body = LoadRecordBody(*root, uid);
    if (!body)
        return ErrorWithReason(msg::BodyLoadFailed, body.error());
    return body;
}

Result<void> CQuorvellineDoc::RemoveBody(std::uint32_t uid) {
    return RemoveBodies({uid});
}

Result<void> CQuorvellineDoc::RemoveBodies(const std::vector<std::uint32_t>& uids) {
    // A bank without a working file has no bodies to remove; none is created for it.
    if (!HasWorkingStorage() || uids.empty())
        return {};
    auto root = WorkingStorage();
    if (!root)
        return root.error();
    return RemoveRecordBodies(*root, uids);
}

std::optional<std::uint64_t> CQuorvellineDoc::BodySize(std::uint32_t uid) {
    if (!HasWorkingStorage())
        return std::nullopt;
    auto root = WorkingStorage();
    if (!root)
        return std::nullopt;
    return RecordBodySize(*root, uid);
}

Result<std::string> CQuorvellineDoc::ReadBody(std::uint32_t uid) {
    if (!m_hasFile && m_tempPath.empty())
        return MakeError(hr::FileNotFound, "no body");
    auto root = WorkingStorage();
    if (!root)
        return root.error();
    return ReadRecordBody(*root, uid);
}

std::unordered_map<std::uint32_t, std::uint64_t> CQuorvellineDoc::BodySizes() {
    if (!m_hasFile && m_tempPath.empty())
        return {};
    auto root = WorkingStorage();
    if (!root)
        return {};
    return RecordBodySizes(*root);
}

} // namespace kelvo
