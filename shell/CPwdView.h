// The password list: the entries of the folder selected in the password tree, one row each,
// kept sorted by title, with the commands that add, edit, delete and move entries, add
// folders, and copy an entry's login or password to the clipboard.
#pragma once

#include "shell/CommandTarget.h"
#include "shell/SecretClipboard.h"
#include "widgets/SortableList.h"

#include <cstdint>
#include <functional>

class QMenu;

namespace kelvo {

class CKelvoCtrl;
class CQuorvellineDoc;
class SettingsStore;
class PwdItem;
class TreeNode;
class UserDialogs;

class CPwdView : public SortableList, public CommandTarget {
    Q_OBJECT
public:
    /// The name the column layout is kept under.
    static inline const char* kLayoutName = "MainWindow.PwdList";
    /// What the password column shows while passwords are masked.
    static inline const char* kMaskText = "********";

    /// Edits an entry's fields in a sheet; false when cancelled. `isNew` for an empty sheet.
    using Editor = std::function<bool(PwdItem& entry, bool isNew)>;

    CPwdView(CQuorvellineDoc& doc, UserDialogs& dialogs, SettingsStore& settings,
             QWidget* parent = nullptr);
    ~CPwdView() override;

    /// The password tree whose selected folder the list shows.
    void SetFolderTree(CKelvoCtrl* tree) { m_folders = tree; }
    /// Replaces the properties sheet (tests answer it).
    void SetEditor(Editor editor) { m_editor = std::move(editor); }
    /// Called whenever the bank changes here.
    void SetChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }

    /// Restores the column widths and order saved under kLayoutName.
    void OnInitialUpdate();
    /// Saves them (without sort: the list always sorts by title).
    void SaveLayout();

    /// Rebuilds the rows from the folder selected in the password tree.
    void FillFromFolder();
    /// The text of the position pane.
    QString StatusText() const;
    /// The UID of the entry a row shows.
    std::uint32_t RowUid(int row) const;
    /// Moves the selected rows' entries into `folder`; nothing for the listed folder itself.
    bool DropOnFolder(TreeNode* folder);

    void AddFolder();
    bool AddPassword();
    void DeletePasswords();
    bool EditPassword();
    /// The login or the password of the one selected entry to the clipboard; the password
    /// marked secret and taken off again after a while. False when there is nothing to copy.
    bool CopyLogin();
    bool CopyPassword();
    SecretClipboard& Clipboard() { return m_clipboard; }

    /// Shows "********" instead of the passwords.
    void SetPasswordsMasked(bool masked);
    bool PasswordsMasked() const { return m_masked; }

    /// The list's context menu ("&Свойства пароля..." its default item).
    QMenu* ContextMenu() const { return m_menu; }

    bool UpdateCommand(int id, CommandState& state) override;
    bool RunCommand(int id) override;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    ListRow MakeRow(const PwdItem& entry) const;
    int AddRow(const PwdItem& entry);
    /// Removes rows whose entries are gone from the listed folder (rows in ascending order).
    void RemoveRows(const std::vector<int>& rows);
    static constexpr std::size_t kRefillAbove = 64;
    void Changed();
    TreeNode* ListedFolder() const;
    PwdItem* SelectedEntry() const;
    void BuildMenu();

    CQuorvellineDoc& m_doc;
    UserDialogs& m_dialogs;
    SettingsStore& m_settings;
    CKelvoCtrl* m_folders = nullptr;
    Editor m_editor;
    std::function<void()> m_changed;
    SecretClipboard m_clipboard;
    QMenu* m_menu = nullptr;
    bool m_masked = false;
    int m_pressedKey = 0; ///< Delete or Enter pressed in the list, waiting for its release
};

} // namespace kelvo
