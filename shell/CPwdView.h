// The password list: the entries of the folder selected in the password tree, one row each,
// sorted by title, with the commands that add, edit, delete and move entries and add folders.
#pragma once

#include "shell/CommandTarget.h"

#include <QTableWidget>

#include <cstdint>
#include <functional>

namespace kelvo {

class CKelvoCtrl;
class CQuorvellineDoc;
class PwdItem;
class TreeNode;
class UserDialogs;

class CPwdView : public QTableWidget, public CommandTarget {
    Q_OBJECT
public:
    /// Edits an entry's fields in a form; false when cancelled. `isNew` for an empty form.
    using Editor = std::function<bool(PwdItem& entry, bool isNew)>;

    CPwdView(CQuorvellineDoc& doc, UserDialogs& dialogs, QWidget* parent = nullptr);

    /// The password tree whose selected folder the list shows.
    void SetFolderTree(CKelvoCtrl* tree) { m_folders = tree; }
    /// Replaces the properties form (tests answer it).
    void SetEditor(Editor editor) { m_editor = std::move(editor); }
    /// Called with the global position for the list's context menu.
    void SetMenuHandler(std::function<void(const QPoint&)> handler) { m_menu = std::move(handler); }
    /// Called whenever the bank changes here.
    void SetChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }

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

    bool UpdateCommand(int id, CommandState& state) override;
    bool RunCommand(int id) override;

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    int AddRow(const PwdItem& entry);
    void Changed();
    TreeNode* ListedFolder() const;
    bool DefaultEditor(PwdItem& entry, bool isNew);

    CQuorvellineDoc& m_doc;
    UserDialogs& m_dialogs;
    CKelvoCtrl* m_folders = nullptr;
    Editor m_editor;
    std::function<void(const QPoint&)> m_menu;
    std::function<void()> m_changed;
};

} // namespace kelvo
