// The document: the one open bank. New, Open, Save and Save As of a bank file, the working
// storage that record bodies go to, the two trees, the password entries, the summary and
// user-defined properties, the revision number and the modified flag. GUI-free: the main
// window learns of changes through DocumentListener.
#pragma once

#include "core/BankProtection.h"
#include "core/BankSummary.h"
#include "core/BankTrees.h"
#include "core/Messages.h"
#include "core/PwdList.h"
#include "core/RecordTree.h"
#include "core/SessionLock.h"
#include "core/UserProperty.h"
#include "platform/base/Result.h"
#include "platform/storage/Storage.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

/// How a bank is opened: for changing (the window, kvb's editing commands), which takes the
/// bank's session lock for as long as the bank stays open, or for reading only (kvb's
/// reading commands), which takes none and so is allowed while another program changes it.
enum class BankAccess { Change, Read };

/// What the main window hears from the document.
class DocumentListener {
public:
    virtual ~DocumentListener() = default;
    /// The modified flag changed.
    virtual void OnModifiedChanged(bool /*modified*/) {}
    /// New, Open or Save finished: refresh the title and the indicators.
    virtual void OnDocumentRefresh() {}
    /// A save starts: the record editor saves the selected record's body now (SaveBody).
    virtual void OnSaveCurrentBody() {}
    /// A node of a tree was (or was reported as) newly selected: the record side loads its
    /// body and stamps its opened time.
    virtual void OnSelectionChanged(TreeKind /*tree*/, TreeNode* /*node*/) {}
};

class CQuorvellineDoc : private TreeListener {
public:
    CQuorvellineDoc();
    ~CQuorvellineDoc() override;
    CQuorvellineDoc(const CQuorvellineDoc&) = delete;
    CQuorvellineDoc& operator=(const CQuorvellineDoc&) = delete;

    void SetListener(DocumentListener* listener) { m_listener = listener; }

    // --- Lifecycle ---------------------------------------------------------------------
    /// Empties the document: both trees, path, working file, revision, summary (defaults for
    /// the current user), password entries, user-defined properties.
    void DeleteContents();
    /// A new bank: the root record "Корневая запись" and the root folder "Хранилище паролей",
    /// each selected; never saved, not modified.
    Result<void> OnNewDocument();
    /// Opens the bank at `path`. Fails, leaving the open bank exactly as it was, when the
    /// file is not a bank (messages 61697, 2002, 2003) or, for BankAccess::Change, when
    /// another program holds the bank's session lock (message 10109).
    Result<void> OnOpenDocument(const std::filesystem::path& path,
                                BankAccess access = BankAccess::Change);
    /// Saves into `target` (Save when it is the bank's path, Save As otherwise when
    /// saveAsMode() is set). The target's session lock is taken first and kept: a target
    /// held by another program is refused (10109). When the target can be neither opened
    /// nor created, or the bank cannot be written into it, fails with message 10101; the
    /// bank then stays modified.
    Result<void> OnSaveDocument(const std::filesystem::path& target);
    /// The Save command: clears saveAsMode and saves to the bank's path (which must be set).
    Result<void> Save();
    /// The Save As command: sets saveAsMode and saves to `target`.
    Result<void> SaveAs(const std::filesystem::path& target);

    /// The storage record bodies and the index are read from and written to: the bank file,
    /// or for a bank never saved the temporary working file (created on first use as
    /// "Kel*.tmp" in $TMPDIR or /tmp, mode 0600). Obtain it for one operation and let it go.
    Result<cfb::Storage> WorkingStorage();

    // --- Protection ----------------------------------------------------------------------
    /// How Open asks for the password of a protected bank (none: such a bank is refused with
    /// message 10150).
    void SetPasswordPrompt(PasswordPrompt prompt) { m_prompt = std::move(prompt); }
    bool isProtected() const { return m_sealer != nullptr; }
    /// The elements of the open protected bank that failed authentication so far (reported
    /// with message 10153); read and emptied by the caller.
    std::vector<std::u16string> TakeDamagedElements();
    /// Protects the bank with `password`: a modified bank is saved first; a bank never
    /// saved is refused (10114), so the caller saves it under a path first. The bank is
    /// rewritten beside itself and replaced by rename; on a failure it stays as it was.
    Result<void> Protect(std::string_view password, const crypto::KdfParams& params);
    /// Writes the protected bank plain again, once `password` is confirmed.
    Result<void> Unprotect(std::string_view password);
    /// A new password (and data key) for the protected bank, once `oldPassword` is confirmed.
    Result<void> ChangePassword(std::string_view oldPassword, std::string_view newPassword,
                                const crypto::KdfParams& params);

    // --- State -------------------------------------------------------------------------
    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true);
    const std::filesystem::path& path() const { return m_path; }
    bool hasFile() const { return m_hasFile; }
    const std::filesystem::path& tempPath() const { return m_tempPath; }
    bool saveAsMode() const { return m_saveAsMode; }
    std::uint32_t RevisionNumber() const { return m_revision; }
    /// Changes each time the document lets go of its contents (New, Open, DeleteContents),
    /// never by an edit or a save: a window that shows objects of the bank tells by it that
    /// what it shows, or an operation that runs while events are handled, is of a bank the
    /// document no longer holds. Unlike node addresses, its values are never reused.
    std::uint64_t ContentsSerial() const { return m_contentsSerial; }
    const AnsiString& currentUser() const { return m_currentUser; }
    /// The document's title: the file name of the bank, or "Безымянный" for a new bank.
    const AnsiString& title() const { return m_title; }
    /// Whether this document holds its bank's session lock.
    bool holdsLock() const { return m_lock.Holds(); }

    RecordTree& records() { return m_records; }
    RecordTree& folders() { return m_folders; }
    RecordTree& tree(TreeKind kind) { return kind == TreeKind::Records ? m_records : m_folders; }
    /// Both trees, as the operations over the whole bank read them.
    BankTrees trees() const { return {m_records, m_folders}; }
    PwdList& passwords() { return m_passwords; }
    BankSummary& summary() { return m_summary; }
    std::vector<UserProperty>& userProperties() { return m_userProperties; }

    // --- Editing operations shared by the program and kvb --------------------------------
    /// Adds a node as the last child of `parent` (null: top level) and marks the bank modified.
    TreeNode* AddNode(TreeKind kind, TreeNode* parent, AnsiView title);
    /// Adds a password entry to `folder`: the entry gets NextFreeUid and the folder's UID,
    /// the folder's saved time becomes now, the bank is marked modified.
    PwdItem& AddPassword(std::unique_ptr<PwdItem> item, TreeNode* folder);

    /// Writes a record's body into the working storage and stamps its saved time.
    Result<void> SaveBody(TreeItem& record, std::string_view rtf);
    Result<void> SaveBody(TreeNode* record, std::string_view rtf) {
        return SaveBody(record->item, rtf);
    }
    /// The editor's save of the record being left or shown: does nothing unless the editor's
    /// content is `modified`; returns whether the body was written. On failure the editor keeps
    /// its content and its modified mark.
    Result<bool> SaveBodyIfModified(TreeNode* record, bool modified, std::string_view rtf);
    /// A record's body bytes; fails when it has none. Creates no working file.
    Result<std::string> ReadBody(std::uint32_t uid);
    /// The body to show for a record that becomes selected: a record without a body stream
    /// gets an empty one now (so its size reads 0 from then on). Fails only when the working
    /// storage cannot be had (the bank file is held elsewhere); show nothing editable then.
    Result<std::string> LoadBody(std::uint32_t uid);
    /// Destroys a record's body stream at once; a missing one is no error.
    Result<void> RemoveBody(std::uint32_t uid);
    /// The same for many records, with the bank file opened once.
    Result<void> RemoveBodies(const std::vector<std::uint32_t>& uids);
    /// The size of a record's body stream, or nothing when it has none. Creates no working
    /// file.
    std::optional<std::uint64_t> BodySize(std::uint32_t uid);
    /// Sizes of all body streams by UID. Creates no working file.
    std::unordered_map<std::uint32_t, std::uint64_t> BodySizes();
    /// True once bodies may exist somewhere: the bank has a file or a working file.
    bool HasWorkingStorage() const { return m_hasFile || !m_tempPath.empty(); }

private:
    void OnSelectionChanged(RecordTree& tree, TreeNode* node) override;
    void Refresh();
    bool HoldsLockOf(const std::filesystem::path& path) const;
    Result<void> TakeLock(const std::filesystem::path& path, SessionLock& lock) const;
    Result<void> WriteBank(cfb::Storage& target);
    /// Asks for the password and unlocks `root` of the protected bank at `path`.
    Result<std::shared_ptr<BankSealer>> Unlock(cfb::Storage& root,
                                               const std::filesystem::path& path);
    /// Saves a modified bank before it is rewritten; refuses a bank that has no file.
    Result<void> SaveBeforeRewrite();
    /// The file of the open bank with its sealer, for one operation.
    Result<cfb::Storage> OpenBankFile(const std::filesystem::path& path);

    DocumentListener* m_listener = nullptr;
    PasswordPrompt m_prompt;
    /// The sealer of the open protected bank (its data key in locked memory), or null.
    std::shared_ptr<BankSealer> m_sealer;
    RecordTree m_records;
    RecordTree m_folders;
    PwdList m_passwords;
    BankSummary m_summary;
    std::vector<UserProperty> m_userProperties;
    std::filesystem::path m_path;
    std::filesystem::path m_tempPath;
    AnsiString m_title;
    AnsiString m_currentUser;
    SessionLock m_lock; ///< the session lock of the bank at m_path, when opened for change
    std::uint32_t m_revision = 0;
    std::uint64_t m_contentsSerial = 0;
    bool m_modified = false;
    bool m_hasFile = false;
    bool m_saveAsMode = false;
    bool m_loading = false; ///< trees being loaded: their selection is reported afterwards
};

} // namespace kelvo
