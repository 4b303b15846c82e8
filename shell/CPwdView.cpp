// The password list.
#include "shell/CPwdView.h"

#include "core/ItemTip.h"
#include "core/Messages.h"
#include "core/QuorvellineDoc.h"
#include "dialogs/ui/CPwdPropSheet.h"
#include "shell/AnsiInput.h"
#include "shell/CKelvoCtrl.h"
#include "shell/CommandIds.h"
#include "shell/Icons.h"
#include "shell/SettingsStore.h"
#include "shell/ShellStrings.h"
#include "shell/UserDialogs.h"
#include "widgets/DialogStateStore.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextDocument>
#include <QToolTip>

#include <algorithm>

namespace kelvo {
namespace {

bool IsCopyPasswordKey(const QKeyEvent& key) {
    return key.matches(QKeySequence::Copy);
}

bool IsCopyLoginKey(const QKeyEvent& key) {
    return key.key() == Qt::Key_C && key.modifiers() == (Qt::ControlModifier | Qt::ShiftModifier);
}

bool IsEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

CPwdView::CPwdView(CQuorvellineDoc& doc, UserDialogs& dialogs, SettingsStore& settings,
                   QWidget* parent)
    : SortableList(parent), m_doc(doc), m_dialogs(dialogs), m_settings(settings) {
    setObjectName(QStringLiteral("PwdView"));
    setAccessibleName(Tr(text::PasswordsTab));
    SetColumns({{Tr(text::TitleField), 100},
                {Tr(text::CategoryField), 100},
                {Tr(text::LoginField), 100},
                {Tr(text::PasswordField), 100},
                {Tr(text::LinkField), 100}});
    // Rows keep their order by title; a click on a heading does not re-sort.
    SetKeepSorted(true);
    SetSortOnHeaderClick(false);
    SetGridLines(true);
    setSelectionMode(ExtendedSelection);
    setWordWrap(false);
    setDragEnabled(true);
    setDragDropMode(DragOnly);
    connect(this, &SortableList::RowDoubleClicked, this, [this](int) { EditPassword(); });
    BuildMenu();
}

CPwdView::~CPwdView() = default;

void CPwdView::BuildMenu() {
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("PwdMenu"));
    const std::pair<int, const char*> items[] = {
        {cmd::AddPassword, text::AddPasswordItem},
        {cmd::DeletePassword, text::DeletePasswordItem},
        {cmd::PasswordProperties, text::PasswordPropertiesItem}};
    for (const auto& [id, label] : items) {
        QAction* action = m_menu->addAction(CommandIcon(id), Tr(label));
        action->setObjectName(QStringLiteral("menu%1").arg(id));
        const int command = id;
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
        connect(m_menu, &QMenu::aboutToShow, this, [this, action, command] {
            CommandState state;
            UpdateCommand(command, state);
            action->setEnabled(state.enabled);
        });
        if (id == cmd::PasswordProperties) {
            QFont font = action->font();
            font.setBold(true);
            action->setFont(font);
            m_menu->setDefaultAction(action);
        }
    }
    m_menu->addSeparator();
    const std::pair<const char*, bool> copies[] = {{text::CopyLoginItem, false},
                                                   {text::CopyPasswordItem, true}};
    for (const auto& [label, password] : copies) {
        QAction* action = m_menu->addAction(CommandIcon(cmd::Copy), Tr(label));
        action->setObjectName(password ? QStringLiteral("CopyPassword")
                                       : QStringLiteral("CopyLogin"));
        const bool copyPassword = password;
        connect(action, &QAction::triggered, this,
                [this, copyPassword] { copyPassword ? CopyPassword() : CopyLogin(); });
        connect(m_menu, &QMenu::aboutToShow, this, [this, action, copyPassword] {
            const PwdItem* entry = SelectedEntry();
            action->setEnabled(entry && !(copyPassword ? entry->password : entry->login).empty());
        });
    }
}

void CPwdView::OnInitialUpdate() {
    LoadLayout(m_settings, QString::fromLatin1(kLayoutName));
}

void CPwdView::SaveLayout() {
    SortableList::SaveLayout(m_settings, QString::fromLatin1(kLayoutName));
}

TreeNode* CPwdView::ListedFolder() const {
    return m_doc.folders().selected();
}

std::uint32_t CPwdView::RowUid(int row) const {
    return row >= 0 && row < RowCount() ? RowData(row).toUInt() : 0;
}

PwdItem* CPwdView::SelectedEntry() const {
    const std::vector<int> rows = SelectedRows();
    return rows.size() == 1 ? m_doc.passwords().Find(RowUid(rows.front())) : nullptr;
}

ListRow CPwdView::MakeRow(const PwdItem& entry) const {
    ListRow row;
    const QString password = m_masked && !entry.password.empty() ? QString::fromLatin1(kMaskText)
                                                                 : FromAnsi(entry.password);
    row.cells = {FromAnsi(entry.title), FromAnsi(entry.category), FromAnsi(entry.login), password,
                 FromAnsi(entry.link)};
    row.icon = PasswordIcon(entry.icon);
    if (!entry.notes.empty())
        row.tip = FromAnsi(
            FitTipText(FixedAnsi(text::NotesTip) + entry.notes, CKelvoCtrl::kTipBufferChars));
    row.data = entry.uid;
    return row;
}

int CPwdView::AddRow(const PwdItem& entry) {
    return SortableList::AddRow(MakeRow(entry));
}

void CPwdView::FillFromFolder() {
    const TreeNode* folder = ListedFolder();
    if (!folder)
        return;
    std::vector<ListRow> rows;
    const std::vector<PwdItem*> entries = m_doc.passwords().InFolder(folder->item.uid);
    rows.reserve(entries.size());
    for (const PwdItem* entry : entries)
        rows.push_back(MakeRow(*entry));
    SetRows(std::move(rows)); // placed by title, none selected
}

QString CPwdView::StatusText() const {
    const std::vector<int> rows = SelectedRows();
    if (rows.size() >= 2)
        return Tr(text::PwdSelected).arg(rows.size());
    if (rows.size() == 1)
        return Tr(text::PwdPosition).arg(rows.front() + 1).arg(RowCount());
    return Tr(text::PwdCount).arg(RowCount());
}

void CPwdView::RemoveRows(const std::vector<int>& rows) {
    // Many rows go faster by filling the list again than one by one (each removal moves the
    // rows below it); the entries they showed have left the folder or the bank already.
    if (rows.size() > kRefillAbove) {
        FillFromFolder();
        return;
    }
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) // bottom up: numbers stay
        RemoveRow(*row);
}

void CPwdView::Changed() {
    m_doc.SetModifiedFlag(true);
    if (m_changed)
        m_changed();
}

bool CPwdView::DropOnFolder(TreeNode* folder) {
    if (!folder || folder == ListedFolder() || !m_doc.folders().Contains(folder))
        return false;
    const std::vector<int> rows = SelectedRows();
    if (rows.empty())
        return false;
    for (int row : rows)
        if (PwdItem* entry = m_doc.passwords().Find(RowUid(row)))
            entry->folderUid = folder->item.uid;
    RemoveRows(rows);
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

bool CPwdView::AddPassword() {
    TreeNode* folder = ListedFolder();
    if (!folder)
        return false;
    auto entry = std::make_unique<PwdItem>();
    const bool accepted =
        m_editor ? m_editor(*entry, true)
                 : EditPasswordEntry(m_dialogs, m_settings, m_doc.passwords().Categories(), *entry,
                                     true, this);
    if (!accepted || !m_doc.folders().Contains(folder))
        return false;
    PwdItem& added = m_doc.AddPassword(std::move(entry), folder);
    AddRow(added);
    Changed();
    return true;
}

void CPwdView::DeletePasswords() {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty())
        return;
    if (m_settings.Options().confirmPasswordDelete &&
        m_dialogs.Ask(this, Tr(text::AskDeletePasswords)) != QMessageBox::Yes)
        return;
    std::vector<std::uint32_t> uids;
    uids.reserve(rows.size());
    for (int row : rows)
        uids.push_back(RowUid(row));
    m_doc.passwords().RemoveMany(uids);
    RemoveRows(rows);
    Changed();
}

bool CPwdView::EditPassword() {
    const std::vector<int> rows = SelectedRows();
    if (rows.size() != 1)
        return false;
    const std::uint32_t uid = RowUid(rows.front());
    PwdItem* entry = m_doc.passwords().Find(uid);
    if (!entry)
        return false;
    PwdItem edited = *entry;
    const bool accepted =
        m_editor ? m_editor(edited, false)
                 : EditPasswordEntry(m_dialogs, m_settings, m_doc.passwords().Categories(), edited,
                                     false, this);
    // The entry is looked up again: nothing may have removed it meanwhile, but nothing is
    // assumed either.
    entry = m_doc.passwords().Find(uid);
    if (!accepted || !entry)
        return false;
    edited.uid = entry->uid;
    edited.folderUid = entry->folderUid;
    *entry = edited;
    const int row = FindData(uid);
    if (row >= 0)
        RemoveRow(row);
    AddRow(*entry); // at its new place by title, unselected
    selectionModel()->clearSelection();
    Changed();
    return true;
}

bool CPwdView::CopyLogin() {
    const PwdItem* entry = SelectedEntry();
    if (!entry || entry->login.empty())
        return false;
    m_clipboard.CopyText(FromAnsi(entry->login));
    return true;
}

bool CPwdView::CopyPassword() {
    const PwdItem* entry = SelectedEntry();
    if (!entry || entry->password.empty())
        return false;
    m_clipboard.SetDelay(std::chrono::seconds(m_settings.Options().clipboardSeconds));
    m_clipboard.CopySecret(FromAnsi(entry->password));
    return true;
}

void CPwdView::SetPasswordsMasked(bool masked) {
    if (masked == m_masked)
        return;
    m_masked = masked;
    // Only the password cells change; the rows, their order and the selection stay.
    for (int row = 0; row < RowCount(); ++row)
        if (const PwdItem* entry = m_doc.passwords().Find(RowUid(row)))
            SetText(row, 3,
                    m_masked && !entry->password.empty() ? QString::fromLatin1(kMaskText)
                                                         : FromAnsi(entry->password));
}

bool CPwdView::UpdateCommand(int id, CommandState& state) {
    switch (id) {
    case cmd::AddFolder:
    case cmd::AddPassword:
        state.enabled = ListedFolder() != nullptr;
        return true;
    case cmd::DeletePassword:
        state.enabled = !SelectedRows().empty();
        return true;
    case cmd::PasswordProperties:
        state.enabled = SelectedRows().size() == 1;
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

bool CPwdView::event(QEvent* event) {
    // The copy keys belong to the list while it has the focus, not to the window's commands.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (IsCopyPasswordKey(*key) || IsCopyLoginKey(*key)) {
            event->accept();
            return true;
        }
    }
    if (event->type() == QEvent::ToolTip) {
        // Notes are plain text: markup in them is shown as typed, never interpreted.
        const auto* help = static_cast<QHelpEvent*>(event);
        const QPoint pos = viewport()->mapFromGlobal(help->globalPos());
        const QModelIndex index = indexAt(pos);
        QString tip = index.isValid() ? index.data(Qt::ToolTipRole).toString() : QString();
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        tip.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QToolTip::showText(help->globalPos(), Qt::convertFromPlainText(tip), viewport(),
                           visualRect(index));
        return true;
    }
    return SortableList::event(event);
}

void CPwdView::keyPressEvent(QKeyEvent* event) {
    if (IsCopyPasswordKey(*event)) {
        CopyPassword();
        event->accept();
        return;
    }
    if (IsCopyLoginKey(*event)) {
        CopyLogin();
        event->accept();
        return;
    }
    if (!event->isAutoRepeat() && (event->key() == Qt::Key_Delete || IsEnterKey(event->key())))
        m_pressedKey = event->key();
    if (IsEnterKey(event->key())) {
        event->accept(); // acted on when released
        return;
    }
    SortableList::keyPressEvent(event);
}

void CPwdView::keyReleaseEvent(QKeyEvent* event) {
    // Only a key pressed here counts: the release of the Enter that closed a sheet opened
    // from this list must not open it again.
    const bool ours = !event->isAutoRepeat() && event->key() == m_pressedKey;
    if (!event->isAutoRepeat())
        m_pressedKey = 0;
    if (ours) {
        const std::size_t selected = SelectedRows().size();
        if (event->key() == Qt::Key_Delete && selected >= 1)
            DeletePasswords();
        else if (IsEnterKey(event->key()) && selected == 1)
            EditPassword();
    }
    SortableList::keyReleaseEvent(event);
}

void CPwdView::contextMenuEvent(QContextMenuEvent* event) {
    m_menu->popup(event->globalPos() + QPoint(2, 0));
}

void CPwdView::startDrag(Qt::DropActions) {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty())
        return;
    // The image shows the selected rows where they stand; rows out of sight are left out, so
    // that dragging thousands of rows makes no image of thousands of rows.
    QRegion area;
    const int width = std::min(header()->length(), viewport()->width());
    for (int row : rows) {
        const QRect cell = visualRect(Model().index(row, 0));
        if (cell.isValid() && cell.intersects(viewport()->rect()))
            area += QRect(0, cell.top(), width, cell.height());
    }
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(CKelvoCtrl::kPasswordMime), CKelvoCtrl::PasswordDragData());
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    const QRect bounds = area.boundingRect() & viewport()->rect();
    if (bounds.isValid()) {
        QPixmap image(bounds.size());
        image.fill(Qt::transparent);
        viewport()->render(&image, QPoint(), area & bounds);
        drag->setPixmap(image);
        drag->setHotSpot(QPoint(image.width() / 2, image.height() / 2));
    }
    drag->exec(Qt::MoveAction);
}

} // namespace kelvo
