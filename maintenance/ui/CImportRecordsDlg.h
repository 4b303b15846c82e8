// The import dialog: the source bank chosen with the file dialog, its record tree, and the
// chosen record with its subtree and bodies appended under the record selected in the open
// bank.
#pragma once

#include "core/RecordImport.h"
#include "maintenance/ui/MaintenanceWindows.h"

#include <QDialog>

#include <unordered_map>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kelvo {

class CImportRecordsDlg : public QDialog {
    Q_OBJECT
public:
    CImportRecordsDlg(const MaintenanceContext& context, QWidget* parent = nullptr);
    ~CImportRecordsDlg() override;

    /// "...": the file dialog, then the source's record tree.
    void ChooseSource();
    /// Loads the record tree of `path` into the dialog's tree; on failure the message names
    /// the file and the reason, and the tree stays as it was.
    bool LoadSource(const QString& path);
    /// "Импорт": the selected node of the dialog's tree with its subtree goes under the
    /// record selected in the open bank; the dialog closes with the completion message.
    void accept() override;

    QTreeWidget* Tree() const { return m_tree; }
    const RecordImportSource& Source() const { return m_source; }

private:
    void FillTree();

    MaintenanceContext m_context;
    RecordImportSource m_source;
    std::unordered_map<const QTreeWidgetItem*, const TreeNode*> m_nodes;
    QLineEdit* m_path = nullptr;
    QPushButton* m_choose = nullptr;
    QTreeWidget* m_tree = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_import = nullptr;
};

/// "Импорт записей из банка...".
void ShowImportRecords(const MaintenanceContext& context, QWidget* parent);

} // namespace kelvo
