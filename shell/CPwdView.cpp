// The password list.
#include "shell/CPwdView.h"

#include "core/ItemTip.h"
#include "core/QuorvellineDoc.h"
#include "shell/AnsiInput.h"
#include "shell/CKelvoCtrl.h"
#include "shell/CommandIds.h"
#include "shell/Icons.h"
#include "shell/PwdPropertiesForm.h"
#include "shell/ShellStrings.h"
#include "shell/UserDialogs.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>

namespace kelvo {
namespace {

constexpr int kUidRole = Qt::UserRole + 1;

/// Rows sort by title as the list control does: by the user's collation, ignoring case.
class TitleItem : public QTableWidgetItem {
public:
    using QTableWidgetItem::QTableWidgetItem;
    bool operator<(const QTableWidgetItem& other) const override {
        return QString::localeAwareCompare(text().toLower(), other.text().toLower()) < 0;
    }
};

} // namespace

CPwdView::CPwdView(CQuorvellineDoc& doc, UserDialogs& dialogs, QWidget* parent)
    : QTableWidget(0, 5, parent), m_doc(doc), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("PwdView"));
    setHorizontalHeaderLabels({Tr(text::TitleField), Tr(text::CategoryField), Tr(text::LoginField),
                               Tr(text::PasswordField), Tr(text::LinkField)});
    for (int i = 0; i < 5; ++i) {
        horizontalHeader()->resizeSection(i, 100);
        model()->setHeaderData(i, Qt::Horizontal, int(Qt::AlignLeft | Qt::AlignVCenter),
                               Qt::TextAlignmentRole);
    }
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setSortIndicatorShown(false);
    horizontalHeader()->setSectionsClickable(false); // a header click does not re-sort
    horizontalHeader()->setStretchLastSection(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setShowGrid(true);
    setWordWrap(false);
    setSelectionBehavior(SelectRows);
    setSelectionMode(ExtendedSelection);
    setEditTriggers(NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(DragOnly);
    setIconSize(QSize(16, 16));
    connect(this, &QTableWidget::cellDoubleClicked, this, [this](int, int) { EditPassword(); });
}

TreeNode* CPwdView::ListedFolder() const {
    return m_doc.folders().selected();
}

std::uint32_t CPwdView::RowUid(int row) const {
    const QTableWidgetItem* cell = item(row, 0);
    return cell ? cell->data(kUidRole).toUInt() : 0;
}

int CPwdView::AddRow(const PwdItem& entry) {
    const int row = rowCount();
    insertRow(row);
    auto* title = new TitleItem(PasswordIcon(entry.icon), FromAnsi(entry.title));
    title->setData(kUidRole, entry.uid);
    if (!entry.notes.empty())
        title->setToolTip(FromAnsi(
            FitTipText(FixedAnsi(text::NotesTip) + entry.notes, CKelvoCtrl::kTipBufferChars)));
    setItem(row, 0, title);
    setItem(row, 1, new QTableWidgetItem(FromAnsi(entry.category)));
    setItem(row, 2, new QTableWidgetItem(FromAnsi(entry.login)));
    setItem(row, 3, new QTableWidgetItem(FromAnsi(entry.password)));
    setItem(row, 4, new QTableWidgetItem(FromAnsi(entry.link)));
    sortItems(0, Qt::AscendingOrder);
    return title->row();
}

void CPwdView::FillFromFolder() {
    const TreeNode* folder = ListedFolder();
    if (!folder)
        return;
    clearSelection();
    setRowCount(0);
    for (PwdItem* entry : m_doc.passwords().InFolder(folder->item.uid))
        AddRow(*entry);
    clearSelection();
}

QString CPwdView::StatusText() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.size() >= 2)
        return Tr(text::PwdSelected).arg(rows.size());
    if (rows.size() == 1)
        return Tr(text::PwdPosition).arg(rows.front().row() + 1).arg(rowCount());
    return Tr(text::PwdCount).arg(rowCount());
}

void CPwdView::Changed() {
    m_doc.SetModifiedFlag(true);
    if (m_changed)
        m_changed();
}

bool CPwdView::DropOnFolder(TreeNode* folder) {
    if (!folder || folder == ListedFolder() || !m_doc.folders().Contains(folder))
        return false;
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty())
        return false;
    std::vector<int> rowNumbers;
    for (const QModelIndex& index : rows)
        rowNumbers.push_back(index.row());
    std::sort(rowNumbers.rbegin(), rowNumbers.rend());
    for (int row : rowNumbers) {
        if (PwdItem* entry = m_doc.passwords().Find(RowUid(row)))
            entry->folderUid = folder->item.uid;
        removeRow(row);
    }
    Changed();
    return true;
}

void CPwdView::AddFolder() {
    if (!m_folders || !ListedFolder())
        return;
    TreeNode* node =
        m_doc.AddNode(TreeKind::Folders, ListedFolder(), AnsiStringText(msg::NewFolderTitle));
    m_folders->ShowNewNode(node);
    Changed();
}

bool CPwdView::DefaultEditor(PwdItem& entry, bool isNew) {
    PwdPropertiesForm form(m_dialogs, m_doc.passwords().Categories(), this);
    if (!isNew)
        form.SetEntry(entry);
    if (form.exec() != QDialog::Accepted)
        return false;
    return form.TakeEntry(entry);
}

bool CPwdView::AddPassword() {
    TreeNode* folder = ListedFolder();
    if (!folder)
        return false;
    auto entry = std::make_unique<PwdItem>();
    const bool accepted = m_editor ? m_editor(*entry, true) : DefaultEditor(*entry, true);
    if (!accepted)
        return false;
    PwdItem& added = m_doc.AddPassword(std::move(entry), folder);
    clearSelection();
    AddRow(added);
    Changed();
    return true;
}

void CPwdView::DeletePasswords() {
    if (selectionModel()->selectedRows().isEmpty())
        return;
    if (m_dialogs.Ask(this, Tr(text::AskDeletePasswords)) != QMessageBox::Yes)
        return;
    for (;;) {
        const QModelIndexList rows = selectionModel()->selectedRows();
        if (rows.isEmpty())
            break;
        int first = rows.front().row();
        for (const QModelIndex& index : rows)
            first = std::min(first, index.row());
        m_doc.passwords().Remove(RowUid(first));
        removeRow(first);
        Changed();
    }
}

bool CPwdView::EditPassword() {
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.size() != 1)
        return false;
    const int row = rows.front().row();
    PwdItem* entry = m_doc.passwords().Find(RowUid(row));
    if (!entry)
        return false;
    PwdItem edited = *entry;
    const bool accepted = m_editor ? m_editor(edited, false) : DefaultEditor(edited, false);
    if (!accepted)
        return false;
    edited.uid = entry->uid;
    edited.folderUid = entry->folderUid;
    *entry = edited;
    removeRow(row);
    clearSelection();
    AddRow(*entry);
    clearSelection();
    Changed();
    return true;
}

bool CPwdView::UpdateCommand(int id, CommandState& state) {
    const int selected = static_cast<int>(selectionModel()->selectedRows().size());
    switch (id) {
    case cmd::AddFolder:
    case cmd::AddPassword:
        state.enabled = ListedFolder() != nullptr;
        return true;
    case cmd::DeletePassword:
        state.enabled = selected >= 1;
        return true;
    case cmd::PasswordProperties:
        state.enabled = selected == 1;
        return true;
    default:
        return false;
    }
}

bool CPwdView::RunCommand(int id) {
    switch (id) {
    case cmd::AddFolder:
        AddFolder();
        return true;
    case cmd::AddPassword:
        AddPassword();
        return true;
    case cmd::DeletePassword:
        DeletePasswords();
        return true;
    case cmd::PasswordProperties:
        EditPassword();
        return true;
    default:
        return false;
    }
}

void CPwdView::keyReleaseEvent(QKeyEvent* event) {
    const int selected = static_cast<int>(selectionModel()->selectedRows().size());
    if (event->key() == Qt::Key_Delete && selected >= 1)
        DeletePasswords();
    else if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && selected == 1)
        EditPassword();
    QTableWidget::keyReleaseEvent(event);
}

void CPwdView::contextMenuEvent(QContextMenuEvent* event) {
    if (m_menu)
        m_menu(event->globalPos() + QPoint(2, 0));
}

void CPwdView::startDrag(Qt::DropActions) {
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    QRect area;
    for (const QModelIndex& index : rows)
        area |= visualRect(index).united(visualRect(model()->index(index.row(), 4)));
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(CKelvoCtrl::kPasswordMime), QByteArray::number(rows.size()));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    if (area.isValid()) {
        QPixmap image(area.size());
        image.fill(Qt::transparent);
        viewport()->render(&image, QPoint(), QRegion(area));
        drag->setPixmap(image);
        drag->setHotSpot(QPoint(image.width() / 2, image.height() / 2));
    }
    drag->exec(Qt::MoveAction);
}

} // namespace kelvo
