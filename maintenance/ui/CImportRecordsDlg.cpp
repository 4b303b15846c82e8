// The import dialog.
#include "maintenance/ui/CImportRecordsDlg.h"

#include "core/BankTrees.h"
#include "core/Messages.h"
#include "maintenance/ui/DialogProgress.h"
#include "maintenance/ui/MaintenanceStrings.h"
#include "shell/AnsiInput.h"
#include "shell/SettingsStore.h"
#include "shell/ShellStrings.h"
#include "shell/UserDialogs.h"
#include "widgets/ControlNames.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kelvo {

namespace {

const QString kPlacement = QStringLiteral("ImportRecordsDlg");

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

} // namespace

CImportRecordsDlg::CImportRecordsDlg(const MaintenanceContext& context, QWidget* parent)
    : QDialog(parent), m_context(context) {
    setObjectName(QStringLiteral("CImportRecordsDlg"));
    setWindowTitle(Tr(mtext::ImportCaption));
    auto* layout = new QVBoxLayout(this);

    auto* sourceLabel = new QLabel(Tr(mtext::ImportSourceLabel), this);
    m_path = NameControl(new QLineEdit(this), "SourcePath", Tr(mtext::ImportSourceLabel));
    m_path->setReadOnly(true);
    ShowAsReadOnly(m_path);
    sourceLabel->setBuddy(m_path);
    m_choose = NameControl(new QPushButton(Tr(mtext::ImportChooseButton), this), "ChooseButton",
                           Tr(mtext::ImportChooseName));
    m_choose->setAutoDefault(false);
    connect(m_choose, &QPushButton::clicked, this, &CImportRecordsDlg::ChooseSource);
    auto* source = new QHBoxLayout;
    source->addWidget(m_path, 1);
    source->addWidget(m_choose);
    layout->addWidget(sourceLabel);
    layout->addLayout(source);

    auto* treeLabel = new QLabel(Tr(mtext::ImportTreeLabel), this);
    m_tree = NameControl(new QTreeWidget(this), "SourceTree", Tr(mtext::ImportTreeLabel));
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setIconSize(QSize(16, 16));
    treeLabel->setBuddy(m_tree);
    layout->addWidget(treeLabel);
    layout->addWidget(m_tree, 1);

    m_status = NameControl(new QLabel(this), "Status", Tr(mtext::StatusName));
    layout->addWidget(m_status);
    m_bar = NameControl(new QProgressBar(this), "Progress", Tr(mtext::ProgressName));
    m_bar->setTextVisible(false);
    m_bar->setValue(0);
    layout->addWidget(m_bar);

    auto* buttons = new QDialogButtonBox(this);
    m_import = NameControl(buttons->addButton(Tr(mtext::ImportButton), QDialogButtonBox::AcceptRole),
                           "ImportButton", Tr(mtext::ImportButton));
    m_import->setDefault(true);
    NameControl(buttons->addButton(Tr(mtext::Cancel), QDialogButtonBox::RejectRole),
                "CancelButton", Tr(mtext::Cancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &CImportRecordsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CImportRecordsDlg::reject);
    layout->addWidget(buttons);
    resize(420, 460);
    m_context.settings.LoadWindowState(*this, kPlacement);
}

CImportRecordsDlg::~CImportRecordsDlg() {
    m_context.settings.SaveWindowState(*this, kPlacement);
}

void CImportRecordsDlg::ChooseSource() {
    const QString path = m_context.dialogs.OpenFileName(this, Tr(mtext::ImportFileFilter));
    if (!path.isEmpty())
        LoadSource(path);
}

bool CImportRecordsDlg::LoadSource(const QString& path) {
    m_path->setText(QDir::toNativeSeparators(path));
    DialogProgress progress(m_status, m_bar);
    const Result<void> loaded = m_source.Load(ToPath(path), &progress);
    progress.Show();
    if (!loaded) {
        m_context.dialogs.ShowMessage(this, QString::fromStdString(ErrorText(loaded.error())));
        return false;
    }
    FillTree();
    progress.Finish();
    return true;
}

void CImportRecordsDlg::FillTree() {
    m_tree->clear();
    m_nodes.clear();
    const RecordTree& tree = m_source.tree();
    // The record tree's pictures: a record with children, one without; each with its
    // picture when selected.
    auto icon = [this](int normal) {
        QIcon both;
        both.addPixmap(m_context.host.RecordImage(normal).pixmap(16, 16), QIcon::Normal);
        both.addPixmap(m_context.host.RecordImage(normal + 1).pixmap(16, 16), QIcon::Selected);
        return both;
    };
    const QIcon parent = icon(3), leaf = icon(5);
    std::unordered_map<const TreeNode*, QTreeWidgetItem*> items;
    items.reserve(tree.size());
    m_nodes.reserve(tree.size());
    QList<QTreeWidgetItem*> top;
    WalkTree(tree, [&](const TreeNode& node) {
        auto* item = new QTreeWidgetItem(QStringList{FromAnsi(node.title)});
        item->setIcon(0, node.children.empty() ? leaf : parent);
        auto at = node.parent ? items.find(node.parent) : items.end();
        if (at != items.end())
            at->second->addChild(item);
        else
            top.append(item);
        items.emplace(&node, item);
        m_nodes.emplace(item, &node);
        return true;
    });
    m_tree->addTopLevelItems(top);
    if (QTreeWidgetItem* first = m_tree->topLevelItem(0)) {
        first->setExpanded(true);
        m_tree->setCurrentItem(first);
    }
}

void CImportRecordsDlg::accept() {
    UserDialogs& dialogs = m_context.dialogs;
    if (!m_source.loaded()) {
        dialogs.ShowMessage(this, Tr(StringText(msg::ImportNotLoaded)));
        return;
    }
    CQuorvellineDoc& doc = m_context.doc;
    const auto chosen = m_nodes.find(m_tree->currentItem());
    const TreeNode* from = chosen == m_nodes.end() ? nullptr : chosen->second;
    DialogProgress progress(m_status, m_bar);
    const auto imported = ImportRecords(doc, doc.records().selected(), m_source, from, &progress);
    progress.Show();
    if (!imported) {
        dialogs.ShowMessage(this, QString::fromStdString(ErrorText(imported.error())));
        return;
    }
    m_context.host.RecordsAdded(imported->top);
    if (imported->bodiesFailed > 0)
        dialogs.ShowMessage(this, Tr(MessageText(msg::ImportBodiesFailed,
                                                 {std::to_string(imported->bodiesFailed)})));
    dialogs.ShowMessage(this, Tr(StringText(msg::ImportDone)));
    QDialog::accept();
}

void ShowImportRecords(const MaintenanceContext& context, QWidget* parent) {
    CImportRecordsDlg dialog(context, parent);
    dialog.exec();
}

} // namespace kelvo
