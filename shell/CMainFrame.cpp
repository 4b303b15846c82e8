// The main window.
#include "shell/CMainFrame.h"

#include "core/TreeOperations.h"
#include "dialogs/ui/CPwdGeneratorDlg.h"
#include "dialogs/ui/CTreeRecPropSheet.h"
#include "index/ui/BankIndexDlg.h"
#include "index/ui/BankIndexSelDlg.h"
#include "search/ui/BankSearchDlg.h"
#include "shell/AnsiInput.h"
#include "shell/CMainView.h"
#include "shell/CPwdView.h"
#include "shell/CommandIds.h"
#include "shell/CommandTable.h"
#include "shell/Icons.h"
#include "shell/RecordViewPort.h"
#include "shell/SettingsStore.h"
#include "shell/ShellPrinting.h"
#include "shell/ShellStrings.h"
#include "shell/ToolCommands.h"
#include "shell/UserDialogs.h"
#include "widgets/StatusPaneBar.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QFontComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindowStateChangeEvent>

namespace kelvo {
namespace {

// The record side's commands, printing included: the record view takes them while the
// records tab is current; on the passwords tab they are disabled.
bool IsRecordViewCommand(int id) {
    switch (id) {
    case cmd::PrintStructure:
    case cmd::PreviewStructure:
    case cmd::AddRecord:
    case cmd::SaveRecord:
    case cmd::ImportRecords:
    case cmd::PrintRecord:
    case cmd::PreviewRecord:
    case cmd::Undo:
    case cmd::Redo:
    case cmd::Cut:
    case cmd::Copy:
    case cmd::Paste:
    case cmd::PasteSpecial:
    case cmd::PasteLink:
    case cmd::SelectAll:
    case cmd::Clear:
    case cmd::Find:
    case cmd::Replace:
    case cmd::OleLinks:
    case cmd::OleProperties:
    case cmd::OleVerbs:
    case cmd::InsertObject:
    case cmd::InsertTextFile:
    case cmd::InsertPicture:
    case cmd::InsertDateTime:
    case cmd::InsertDate:
    case cmd::InsertTime:
    case cmd::Bold:
    case cmd::Italic:
    case cmd::Underline:
    case cmd::StrikeOut:
    case cmd::AlignLeft:
    case cmd::AlignCenter:
    case cmd::AlignRight:
    case cmd::Superscript:
    case cmd::Subscript:
    case cmd::FontDialog:
    case cmd::ParagraphDialog:
    case cmd::Bullets:
    case cmd::Numbering:
    case cmd::WrapNone:
    case cmd::WrapWindow:
    case cmd::WrapPrinter:
    case cmd::TextColourButton:
    case cmd::BackColourButton:
        return true;
    default:
        return (id >= cmd::TextColourFirst && id <= cmd::TextColourLast) ||
               (id >= cmd::BackColourFirst && id <= cmd::BackColourLast);
    }
}

bool IsPasswordViewCommand(int id) {
    return id == cmd::AddFolder || id == cmd::AddPassword || id == cmd::DeletePassword ||
           id == cmd::PasswordProperties;
}

// Where the password list's masking is remembered.
const QString kPwdListSection = SettingsStore::ProgramKey(QStringLiteral("Password List"));
const QString kMaskPasswordsValue = QStringLiteral("MaskPasswords");

void MakeDefaultItem(QAction* action) {
    QFont font = action->font();
    font.setBold(true);
    action->setFont(font);
}

} // namespace

CMainFrame::CMainFrame(CQuorvellineDoc& doc, SettingsStore& settings, UserDialogs& dialogs,
                       std::unique_ptr<RecordViewPort> recordView, QWidget* parent)
    : QMainWindow(parent), m_doc(doc), m_settings(settings), m_dialogs(dialogs),
      m_recordView(std::move(recordView)) {
    setObjectName(QStringLiteral("MainFrame"));
    setWindowIcon(AppIcon());
    setDockOptions(AnimatedDocks | AllowTabbedDocks);
    if (!m_recordView)
        m_recordView = std::make_unique<CMainView>(m_doc);

    CreateActions();
    CreateToolBars();
    CreateStatusBar();
    CreateDockBars();
    CreateViews();
    CreateMenus();
    m_printing = new PrintController(
        this, ShellPrintHooks(this, m_dialogs, m_settings,
                              [this](bool previewing) { SetPreviewMode(previewing); }));
    // The record editor answers the font boxes, shows its ruler in the ruler bar and wraps
    // its printer mode at the printer's paper.
    if (auto* editor = dynamic_cast<CMainView*>(m_recordView.get())) {
        editor->AttachFrame(m_formatBar, m_rulerBar, &m_settings);
        editor->SetPrintableWidth(m_printing->PrintableWidthTwips());
        connect(m_printing, &PrintController::PaperChanged, editor,
                [this, editor] { editor->SetPrintableWidth(m_printing->PrintableWidthTwips()); });
    }

    // The two modeless windows of finding things; their windows open on first use.
    const FindWindowContext finding{
        m_doc, m_settings, m_dialogs, *this, [this](TreeKind kind, const TreeNode& node) {
            return kind == TreeKind::Records
                       ? RecordTreeImage(m_recordTree->Model().ImageOf(node, false))
                       : PasswordTreeImage(m_passwordTree->Model().ImageOf(node, false));
        }};
    m_searchWindow = std::make_unique<BankSearchWindow>(finding);
    m_indexWindow = std::make_unique<BankIndexWindow>(finding);
    m_tools = std::make_unique<ToolCommands>(*this, m_settings, m_dialogs);

    m_doc.SetListener(this);
    RefreshTrees();
    m_tabs->setCurrentIndex(0);
    SwitchTab(0);
    RefreshTitle();

    // Command states follow the program's state the way a framework's idle update does.
    m_idleTimer = new QTimer(this);
    m_idleTimer->setInterval(200);
    connect(m_idleTimer, &QTimer::timeout, this, &CMainFrame::UpdateCommandUi);
    m_idleTimer->start();
    UpdateCommandUi();
    resize(960, 640);
}

CMainFrame::~CMainFrame() {
    m_doc.SetListener(nullptr);
    if (m_tray)
        m_tray->hide();
}

// --- Construction -------------------------------------------------------------------

void CMainFrame::CreateActions() {
    for (const CommandInfo& info : AllCommands()) {
        auto* action = new QAction(CommandIcon(info.id), CommandText(info), this);
        action->setObjectName(QStringLiteral("cmd%1").arg(info.id));
        action->setData(info.id);
        const QList<QKeySequence> keys = CommandKeys(info);
        if (!keys.isEmpty()) {
            action->setShortcuts(keys);
            action->setShortcutContext(Qt::WindowShortcut);
        }
        action->setCheckable(info.checkable);
        action->setToolTip(CommandTip(info));
        action->setIconVisibleInMenu(true);
        const int id = info.id;
        connect(action, &QAction::triggered, this, [this, id, action] {
            // A checkable action flips its own mark; the command decides the real state.
            ExecuteCommand(id);
            UpdateCommandUi();
            (void)action;
        });
        addAction(action); // shortcuts work while the menus are hidden, too
        m_actions[info.id] = action;
    }
    // The tree keys are handled by the trees; menus show them all the same.
    m_actions[cmd::RenameItem]->setText(m_actions[cmd::RenameItem]->text() +
                                        QStringLiteral("\tF2"));
    m_actions[cmd::DeleteItem]->setText(m_actions[cmd::DeleteItem]->text() +
                                        QStringLiteral("\tDel"));
}

QAction* CMainFrame::Action(int id) const {
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::AddMenuItems(QMenu* menu, std::initializer_list<int> ids) {
    for (int id : ids) {
        if (id == 0)
            menu->addSeparator();
        else if (QAction* action = Action(id))
            menu->addAction(action);
    }
}

QMenu* CMainFrame::MakeColourMenu(int firstId, const QString& title) {
    auto* menu = new QMenu(title, this);
    for (int i = 0; i < 16; ++i) {
        if (i == 15)
            menu->addSeparator();
        menu->addAction(Action(firstId + i));
    }
    return menu;
}

void CMainFrame::CreateMenus() {
    using namespace cmd;
    QMenuBar* bar = menuBar();

    QMenu* bank = bar->addMenu(Tr(text::MenuBank));
    bank->setObjectName(QStringLiteral("BankMenu"));
    AddMenuItems(bank, {FileNew, FileOpen, FileSave, FileSaveAs, 0, PrintStructure,
                        PreviewStructure, PageSetup, PrintSetup, 0, BankProperties, 0});
    m_recentMenu = bank; // recent banks are inserted before the last separator and Exit
    auto* recentEnd = bank->addSeparator();
    recentEnd->setObjectName(QStringLiteral("RecentEnd"));
    bank->addAction(Action(AppExit));
    RebuildRecentMenu(m_settings.RecentFiles());

    QMenu* edit = bar->addMenu(Tr(text::MenuEdit));
    AddMenuItems(edit, {Undo, Redo, 0, Cut, Copy, Paste, PasteSpecial, PasteLink, Clear, 0,
                        SelectAll, 0, Find, Replace, 0, OleLinks, OleProperties, OleVerbs});

    QMenu* view = bar->addMenu(Tr(text::MenuView));
    QMenu* bars = view->addMenu(Tr(text::MenuToolbars));
    AddMenuItems(bars, {ViewStandardBar, ViewFormatBar, ViewViewsBar, ViewBankBar});
    AddMenuItems(view,
                 {ViewStatusBar, ViewRuler, 0, ViewRecordsTab, ViewPasswordsTab, MaskPasswords, 0,
                  ViewLeftBar, ViewCalendar, 0, WrapNone, WrapWindow, WrapPrinter});

    QMenu* item = bar->addMenu(Tr(text::MenuItem));
    AddMenuItems(item, {RenameItem, DeleteItem, 0, ExpandItem, CollapseItem, 0, ItemKeywords,
                        ItemProperties});

    QMenu* record = bar->addMenu(Tr(text::MenuRecord));
    AddMenuItems(record, {AddRecord, SaveRecord, 0, ExportRecord, ImportRecord, ImportRecords, 0,
                          PrintRecord, PreviewRecord});

    QMenu* passwords = bar->addMenu(Tr(text::MenuPasswords));
    AddMenuItems(passwords, {AddFolder, AddPassword, DeletePassword, PasswordProperties});

    QMenu* insert = bar->addMenu(Tr(text::MenuInsert));
    AddMenuItems(insert, {InsertObject, InsertTextFile, InsertPicture, 0, InsertDateTime,
                          InsertDate, InsertTime});

    QMenu* format = bar->addMenu(Tr(text::MenuFormat));
    AddMenuItems(format, {FontDialog, ParagraphDialog, 0});
    format->addMenu(MakeColourMenu(TextColourFirst, Tr(text::TextColour)));
    format->addMenu(MakeColourMenu(BackColourFirst, Tr(text::BackColour)));
    AddMenuItems(format, {0, Bold, Italic, Underline, StrikeOut, 0, AlignLeft, AlignCenter,
                          AlignRight, 0, Superscript, Subscript, 0, Bullets, Numbering});

    QMenu* tools = bar->addMenu(Tr(text::MenuTools));
    AddMenuItems(tools, {BankSearch, IndexInfo, 0, BankCleanup, BankRevision, 0, SetProtection,
                         RemoveProtection, 0, cmd::PasswordGenerator, 0, ProgramOptions});

    QMenu* help = bar->addMenu(Tr(text::MenuHelp));
    AddMenuItems(help, {KeyMap, 0, AppAbout});

    for (QMenu* menu : bar->findChildren<QMenu*>())
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);

    // The tree menu.
    m_treeMenu = new QMenu(this);
    m_treeMenu->setObjectName(QStringLiteral("TreeMenu"));
    AddMenuItems(m_treeMenu, {AddRecord, AddFolder, AddPassword, 0, ExpandItem, CollapseItem, 0,
                              RenameItem, DeleteItem, 0, ItemKeywords, ItemProperties});
}

QToolBar* CMainFrame::MakeToolBar(const QString& title, const QString& name,
                                  std::initializer_list<int> ids) {
    QToolBar* bar = addToolBar(title);
    bar->setObjectName(name);
    bar->setIconSize(QSize(16, 16));
    bar->setMovable(true);
    for (int id : ids) {
        if (id == 0)
            bar->addSeparator();
        else if (QAction* action = Action(id))
            bar->addAction(action);
    }
    return bar;
}

void CMainFrame::CreateToolBars() {
    using namespace cmd;
    m_standardBar = MakeToolBar(
        Tr(text::StandardBar), QStringLiteral("StandardBar"),
        {FileNew, FileOpen, FileSave, 0, Cut, Copy, Paste, 0, Undo, Redo, 0, Find, Replace});

    m_formatBar = addToolBar(Tr(text::FormatBar));
    m_formatBar->setObjectName(QStringLiteral("FormatBar"));
    m_formatBar->setIconSize(QSize(16, 16));
    auto* fontBox = new QFontComboBox(m_formatBar);
    fontBox->setObjectName(QStringLiteral("FontNameBox"));
    fontBox->setEnabled(false); // enabled when the record view answers for the selection
    fontBox->setMaximumWidth(160);
    auto* sizeBox = new QComboBox(m_formatBar);
    sizeBox->setObjectName(QStringLiteral("FontSizeBox"));
    sizeBox->setEditable(true);
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30, 32, 34, 36, 48, 72, 100})
        sizeBox->addItem(QString::number(size));
    sizeBox->setEnabled(false);
    m_formatBar->addWidget(fontBox);
    m_formatBar->addWidget(sizeBox);
    m_formatBar->addSeparator();
    for (int id : {Bold, Italic, Underline, StrikeOut, 0, AlignLeft, AlignCenter, AlignRight, 0,
                   Numbering, Bullets, 0, FontDialog, ParagraphDialog, 0})
        id == 0 ? (void)m_formatBar->addSeparator() : m_formatBar->addAction(Action(id));
    for (auto [id, first, title] :
         {std::tuple{TextColourButton, TextColourFirst, text::TextColour},
          std::tuple{BackColourButton, BackColourFirst, text::BackColour}}) {
        auto* button = new QToolButton(m_formatBar);
        button->setObjectName(QStringLiteral("cmdButton%1").arg(id));
        button->setDefaultAction(Action(id));
        button->setMenu(MakeColourMenu(first, Tr(title)));
        button->setPopupMode(QToolButton::InstantPopup);
        m_formatBar->addWidget(button);
    }
    m_formatBar->addSeparator();
    m_formatBar->addAction(Action(Superscript));
    m_formatBar->addAction(Action(Subscript));

    m_viewsBar = MakeToolBar(Tr(text::ViewsBar), QStringLiteral("ViewsBar"),
                             {ViewLeftBar, ViewCalendar, 0, ViewRecordsTab, ViewPasswordsTab, 0,
                              WrapNone, WrapPrinter, WrapWindow, 0, ViewRuler});
    m_bankBar =
        MakeToolBar(Tr(text::BankBar), QStringLiteral("BankBar"),
                    {AddRecord, SaveRecord, 0, AddFolder, AddPassword, 0, RenameItem, DeleteItem, 0,
                     ItemProperties, 0, PrintRecord, PreviewRecord, 0, BankSearch, IndexInfo});

    addToolBarBreak();
    m_rulerBar = addToolBar(Tr(text::RulerBar));
    m_rulerBar->setObjectName(QStringLiteral("Ruler"));
    m_rulerBar->setMovable(false);
    m_rulerBar->setFloatable(false);
    m_rulerBar->toggleViewAction()->setVisible(false);
}

void CMainFrame::CreateStatusBar() {
    m_statusBar = new StatusPaneBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar"));
    setStatusBar(m_statusBar);
    m_statusBar->showMessage(Tr(text::Ready));
    m_statusBar->AddPane(cmd::PanePosition, QString(), 90);
    m_statusBar->AddPane(cmd::PaneBankModified, Tr(text::PaneBankModified), 0, true);
    m_statusBar->AddPane(cmd::PaneRecordModified, Tr(text::PaneRecordModified), 0, true);
    m_statusBar->AddPane(cmd::PaneOverwrite, Tr(text::PaneOverwrite));
    m_statusBar->AddPane(cmd::PaneCaps, QStringLiteral("CAP"));
    m_statusBar->AddPane(cmd::PaneNum, QStringLiteral("NUM"));
    for (int id : {cmd::PaneBankModified, cmd::PaneRecordModified, cmd::PaneOverwrite,
                   cmd::PaneCaps, cmd::PaneNum})
        m_statusBar->SetPaneOn(id, false);
}

void CMainFrame::CreateDockBars() {
    m_leftBar = new QDockWidget(Tr(text::LeftBar), this);
    m_leftBar->setObjectName(QStringLiteral("LeftBar"));
    m_leftBar->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    m_tabs = new QTabWidget(m_leftBar);
    m_tabs->setObjectName(QStringLiteral("MainTabs"));
    m_tabs->setDocumentMode(true);
    m_recordTree = new CKelvoCtrl(m_doc, TreeKind::Records, *this, m_tabs);
    m_recordTree->setObjectName(QStringLiteral("LeftTree"));
    m_passwordTree = new CKelvoCtrl(m_doc, TreeKind::Folders, *this, m_tabs);
    m_passwordTree->setObjectName(QStringLiteral("PasswordTree"));
    m_tabs->addTab(m_recordTree, FrameImage(2), Tr(text::RecordsTab));
    m_tabs->addTab(m_passwordTree, FrameImage(3), Tr(text::PasswordsTab));
    m_leftBar->setWidget(m_tabs);
    addDockWidget(Qt::LeftDockWidgetArea, m_leftBar);
    resizeDocks({m_leftBar}, {220}, Qt::Horizontal);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int tab) { SwitchTab(tab); });

    m_calendarBar = new QDockWidget(Tr(text::Calendar), this);
    m_calendarBar->setObjectName(QStringLiteral("CalendarBar"));
    m_calendar = new QCalendarWidget(m_calendarBar);
    m_calendar->setObjectName(QStringLiteral("Calendar"));
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    m_calendar->setGridVisible(false);
    m_calendarBar->setWidget(m_calendar);
    addDockWidget(Qt::RightDockWidgetArea, m_calendarBar);
    m_calendarBar->setFloating(true);
    m_calendarBar->move(100, 100);
    m_calendarBar->hide();
}

void CMainFrame::CreateViews() {
    m_views = new QStackedWidget(this);
    m_views->setObjectName(QStringLiteral("MainViews"));
    m_pwdView = new CPwdView(m_doc, m_dialogs, m_settings, m_views);
    m_pwdView->SetFolderTree(m_passwordTree);
    m_pwdView->SetChangeHandler([this] { UpdateCommandUi(); });
    m_views->addWidget(m_recordView->Widget());
    m_views->addWidget(m_pwdView);
    setCentralWidget(m_views);
    m_pwdView->OnInitialUpdate();
    m_pwdView->SetPasswordsMasked(m_settings.ProfileInt(kPwdListSection, kMaskPasswordsValue, 0));
}

std::map<int, QWidget*> CMainFrame::Bars() const {
    return {{StandardBarId, m_standardBar}, {FormatBarId, m_formatBar}, {ViewsBarId, m_viewsBar},
            {BankBarId, m_bankBar},         {RulerBarId, m_rulerBar},   {LeftBarId, m_leftBar},
            {CalendarBarId, m_calendarBar}};
}

// --- Tabs and views -----------------------------------------------------------------

int CMainFrame::CurrentTab() const {
    return m_views->currentIndex();
}

CKelvoCtrl& CMainFrame::CurrentTree() const {
    return CurrentTab() == 0 ? *m_recordTree : *m_passwordTree;
}

void CMainFrame::SwitchTab(int tab) {
    if (tab == 1) {
        // The body being edited is written before the record side goes out of sight.
        if (m_recordView->IsModified())
            if (TreeNode* node = m_doc.records().selected())
                m_recordView->SaveRecordBody(&node->item);
        if (m_tabs->currentIndex() != 1)
            m_tabs->setCurrentIndex(1);
        m_views->setCurrentIndex(1);
        m_passwordTree->setFocus();
        m_rulerBar->setVisible(false);
    } else {
        if (m_tabs->currentIndex() != 0)
            m_tabs->setCurrentIndex(0);
        m_views->setCurrentIndex(0);
        m_recordTree->setFocus();
        m_rulerBar->setVisible(m_rulerWanted);
    }
    UpdateCommandUi();
}

void CMainFrame::RefreshTrees() {
    m_recordTree->Refresh();
    m_passwordTree->Refresh();
    m_pwdView->FillFromFolder();
}

void CMainFrame::RefreshTitle() {
    QString title = FromAnsi(m_doc.title());
    if (title.isEmpty())
        title = Tr(text::NewBankName);
    setWindowTitle(title + QStringLiteral(" - ") + AppTitle());
}

// --- Command routing ------------------------------------------------------------------

CommandState CMainFrame::QueryCommand(int id) {
    CommandState state;
    const int tab = CurrentTab();
    // The active view first: the record view while tab 0 is current, the list while tab 1.
    if (tab == 0 && m_recordView->UpdateCommand(id, state))
        return state;
    if (tab == 1 && m_pwdView->UpdateCommand(id, state))
        return state;
    if (IsPasswordViewCommand(id) || (tab == 1 && IsRecordViewCommand(id) && id != cmd::AddRecord))
        return CommandState{};
    if (UpdateCommand(id, state))
        return state;
    if (m_app && m_app->UpdateCommand(id, state))
        return state;
    return CommandState{};
}

bool CMainFrame::ExecuteCommand(int id) {
    if (!QueryCommand(id).enabled)
        return false;
    const int tab = CurrentTab();
    if (tab == 0 && m_recordView->RunCommand(id))
        return true;
    if (tab == 1 && m_pwdView->RunCommand(id))
        return true;
    if (RunCommand(id))
        return true;
    return m_app && m_app->RunCommand(id);
}

void CMainFrame::UpdateCommandUi() {
    for (const auto& [id, action] : m_actions) {
        const CommandState state = QueryCommand(id);
        action->setEnabled(state.enabled);
        if (action->isCheckable())
            action->setChecked(state.check == CommandState::Checked ||
                               state.check == CommandState::Indeterminate);
    }
    // Status panes.
    const bool recordModified = CurrentTab() == 0 && m_recordView->IsModified();
    if (recordModified && !m_doc.IsModified())
        m_doc.SetModifiedFlag(true); // the editor's changes are the bank's changes
    m_statusBar->SetPaneOn(cmd::PaneBankModified, m_doc.IsModified());
    m_statusBar->SetPaneOn(cmd::PaneRecordModified, recordModified);
    m_statusBar->SetPaneText(cmd::PanePosition, CurrentTab() == 0 ? m_recordView->PositionText()
                                                                  : m_pwdView->StatusText());
}

bool CMainFrame::UpdateCommand(int id, CommandState& state) {
    using namespace cmd;
    auto checked = [&](bool on) {
        state.enabled = true;
        state.check = on ? CommandState::Checked : CommandState::Unchecked;
        return true;
    };
    TreeNode* selected = CurrentTree().SelectedNode();
    switch (id) {
    case AddRecord:
        state.enabled = CurrentTab() == 0 && m_doc.records().selected() != nullptr;
        return true;
    case RenameItem:
        state.enabled = selected != nullptr;
        return true;
    case DeleteItem:
        state.enabled = CanDeleteTreeNode(m_doc, CurrentTree().Kind());
        return true;
    case ExpandItem:
        state.enabled = CanExpandTreeNode(selected);
        return true;
    case CollapseItem:
        state.enabled = CanCollapseTreeNode(selected);
        return true;
    case ViewStandardBar:
        return checked(IsBarVisible(m_standardBar));
    case ViewFormatBar:
        return checked(IsBarVisible(m_formatBar));
    case ViewViewsBar:
        return checked(IsBarVisible(m_viewsBar));
    case ViewBankBar:
        return checked(IsBarVisible(m_bankBar));
    case ViewStatusBar:
        return checked(IsBarVisible(m_statusBar));
    case ViewRuler:
        checked(CurrentTab() == 0 && m_rulerWanted);
        state.enabled = CurrentTab() == 0;
        return true;
    case ViewRecordsTab:
        return checked(CurrentTab() == 0);
    case ViewPasswordsTab:
        return checked(CurrentTab() == 1);
    case ViewLeftBar:
        return checked(IsBarVisible(m_leftBar));
    case ViewCalendar:
        return checked(IsBarVisible(m_calendarBar));
    case ItemKeywords:
    case ItemProperties:
        state.enabled = selected != nullptr;
        return true;
    case cmd::PasswordGenerator:
        state.enabled = true;
        return true;
    case MaskPasswords:
        return checked(m_pwdView->PasswordsMasked());
    case TrayRestore:
    case BankSearch:
    case IndexInfo:
    case PageSetup:
    case PrintSetup:
    case PrintRecord:
    case PreviewRecord:
    case PrintStructure:
    case PreviewStructure:
        state.enabled = true;
        return true;
    default:
        return m_tools->UpdateCommand(id, state);
    }
}

bool CMainFrame::RunCommand(int id) {
    using namespace cmd;
    switch (id) {
    case AddRecord:
        AddNewRecord();
        return true;
    case RenameItem:
        CurrentTree().BeginRename();
        return true;
    case DeleteItem:
        DeleteSelectedItem();
        return true;
    case ExpandItem:
    case CollapseItem:
        CurrentTree().SetSelectedExpanded(id == ExpandItem);
        return true;
    case ViewStandardBar:
        ToggleBar(m_standardBar);
        return true;
    case ViewFormatBar:
        ToggleBar(m_formatBar);
        return true;
    case ViewViewsBar:
        ToggleBar(m_viewsBar);
        return true;
    case ViewBankBar:
        ToggleBar(m_bankBar);
        return true;
    case ViewStatusBar:
        ToggleBar(m_statusBar);
        return true;
    case ViewRuler:
        m_rulerWanted = !m_rulerWanted;
        m_rulerBar->setVisible(m_rulerWanted);
        return true;
    case ViewRecordsTab:
        SwitchTab(0);
        return true;
    case ViewPasswordsTab:
        SwitchTab(1);
        return true;
    case ViewLeftBar:
        ToggleBar(m_leftBar);
        return true;
    case ViewCalendar:
        ToggleBar(m_calendarBar);
        return true;
    case ItemKeywords:
        if (TreeNode* node = CurrentTree().SelectedNode())
            if (RunKeywordPicker(m_doc, m_dialogs, m_settings, node->item.keywords, true, this))
                m_doc.SetModifiedFlag(true);
        return true;
    case ItemProperties:
        if (TreeNode* node = CurrentTree().SelectedNode())
            if (ShowTreeItemProperties(m_doc, CurrentTree().Kind(), *node, m_dialogs, m_settings,
                                       this))
                CurrentTree().Model().NodeChanged(node);
        return true;
    case cmd::PasswordGenerator:
        CPwdGeneratorDlg::RunStandalone(m_dialogs, m_settings, this);
        return true;
    case MaskPasswords:
        m_pwdView->SetPasswordsMasked(!m_pwdView->PasswordsMasked());
        m_settings.WriteProfileInt(kPwdListSection, kMaskPasswordsValue,
                                   m_pwdView->PasswordsMasked() ? 1 : 0);
        return true;
    case TrayRestore:
        RestoreFromTray();
        return true;
    case BankSearch:
        m_searchWindow->Open();
        return true;
    case IndexInfo:
        m_indexWindow->Open();
        return true;
    case PageSetup:
        m_printing->PageSetup();
        return true;
    case PrintSetup:
        m_printing->PrinterSetup();
        return true;
    case PrintRecord:
        m_printing->Print(RecordBodyPages(*m_recordView, m_doc));
        return true;
    case PreviewRecord:
        m_printing->Preview(RecordBodyPages(*m_recordView, m_doc));
        return true;
    case PrintStructure:
        m_printing->Print(TreePanePages(*m_recordTree));
        return true;
    case PreviewStructure:
        m_printing->Preview(TreePanePages(*m_recordTree));
        return true;
    default:
        return m_tools->RunCommand(id);
    }
}

void CMainFrame::SetPreviewMode(bool previewing) {
    m_rulerBar->setVisible(!previewing && CurrentTab() == 0 && m_rulerWanted);
}

bool CMainFrame::IsBarVisible(QWidget* bar) const {
    // A bar counts as shown unless it was hidden on purpose (the window may not be shown yet).
    return !bar->isHidden();
}

void CMainFrame::ToggleBar(QWidget* bar) {
    bar->setVisible(bar->isHidden());
}

// --- Tree operations --------------------------------------------------------------------

void CMainFrame::AddNewRecord() {
    TreeNode* parent = m_doc.records().selected();
    if (!parent)
        return;
    TreeNode* node = m_doc.AddNode(TreeKind::Records, parent, AnsiStringText(msg::NewRecordTitle));
    m_recordTree->ShowNewNode(node);
    UpdateCommandUi();
}

void CMainFrame::DeleteSelectedItem() {
    CKelvoCtrl& tree = CurrentTree();
    TreeNode* node = tree.SelectedNode();
    if (!node || node == tree.Tree().first())
        return;
    if (m_settings.Options().confirmItemDelete &&
        m_dialogs.Ask(this, Tr(text::AskDeleteItem), QMessageBox::Yes | QMessageBox::No,
                      QMessageBox::Warning) != QMessageBox::Yes)
        return;
    if (auto deleted = tree.DeleteNode(node); !deleted) {
        // A bank file that could not be written is named with the system's reason.
        m_dialogs.ShowMessage(this, deleted.error().messageId
                                        ? QString::fromStdString(ErrorText(deleted.error()))
                                        : Tr(text::DeleteFailed));
        return;
    }
    if (&tree == m_passwordTree)
        m_pwdView->FillFromFolder();
    m_doc.SetModifiedFlag(true);
    tree.activateWindow();
    tree.setFocus();
    UpdateCommandUi();
}

void CMainFrame::ShowNode(const GoToTarget& target) {
    CKelvoCtrl& tree = target.tree == TreeKind::Records ? *m_recordTree : *m_passwordTree;
    TreeNode* node = tree.Tree().FindByUid(target.uid);
    if (!node)
        return;
    if (m_tabs->currentIndex() != target.tab())
        m_tabs->setCurrentIndex(target.tab());
    tree.SelectNode(node);
    tree.scrollTo(tree.Model().IndexOf(node));
    SwitchTab(target.tab());
}

void CMainFrame::SaveEditedBody() {
    if (CurrentTab() == 0 && m_recordView->IsModified())
        OnSaveCurrentBody();
}

void CMainFrame::OnSelectionChanging(TreeKind tree, TreeNode* leaving, TreeNode*) {
    // The body of the record being left is written while that record still exists.
    if (tree == TreeKind::Records && leaving)
        m_recordView->SaveRecordBody(&leaving->item);
}

void CMainFrame::HandleTreeKey(int key, CKelvoCtrl&) {
    if (key == Qt::Key_Delete)
        ExecuteCommand(cmd::DeleteItem);
    else if (key == Qt::Key_F2)
        ExecuteCommand(cmd::RenameItem);
}

void CMainFrame::HandleTreeChanged(CKelvoCtrl& tree) {
    m_doc.SetModifiedFlag(true);
    tree.RefreshImages();
    UpdateCommandUi();
}

void CMainFrame::ShowTreeMenu(CKelvoCtrl&, const QPoint& globalPos) {
    UpdateCommandUi();
    m_treeMenu->popup(globalPos);
}

bool CMainFrame::AcceptText(const QString& text, const QString& field, AnsiString& out) {
    return AcceptAnsiText(m_dialogs, this, text, field, out);
}

void CMainFrame::HandlePasswordDrop(TreeNode& folder) {
    m_pwdView->DropOnFolder(&folder);
    UpdateCommandUi();
}

// --- Document listener ----------------------------------------------------------------

void CMainFrame::OnModifiedChanged(bool modified) {
    m_statusBar->SetPaneOn(cmd::PaneBankModified, modified);
}

void CMainFrame::OnDocumentRefresh() {
    RefreshTrees();
    RefreshTitle();
    m_searchWindow->BankChanged();
    m_indexWindow->BankChanged();
}

void CMainFrame::OnSaveCurrentBody() {
    if (TreeNode* node = m_doc.records().selected())
        m_recordView->SaveRecordBody(&node->item);
}

void CMainFrame::OnSelectionChanged(TreeKind tree, TreeNode* node) {
    (tree == TreeKind::Records ? m_recordTree : m_passwordTree)->ShowTreeSelection();
    if (!node)
        return;
    if (tree == TreeKind::Records)
        m_recordView->LoadRecordBody(&node->item);
    else
        m_pwdView->FillFromFolder();
    node->item.opened = OleDateTime::Now(); // not a change of the bank
}

// --- Window -----------------------------------------------------------------------------

void CMainFrame::RebuildRecentMenu(const QStringList& files) {
    if (!m_recentMenu)
        return;
    for (QAction* action : m_recentMenu->actions())
        if (action->property("recent").isValid()) {
            m_recentMenu->removeAction(action);
            action->deleteLater();
        }
    QAction* before = m_recentMenu->findChild<QAction*>(QStringLiteral("RecentEnd"));
    const auto actions = m_recentMenu->actions();
    for (QAction* action : actions)
        if (action->objectName() == QLatin1String("RecentEnd"))
            before = action;
    if (files.isEmpty()) {
        auto* none = new QAction(Tr(text::NoRecent), m_recentMenu);
        none->setEnabled(false);
        none->setProperty("recent", -1);
        m_recentMenu->insertAction(before, none);
        return;
    }
    for (int i = 0; i < files.size(); ++i) {
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(files[i]), m_recentMenu);
        action->setProperty("recent", i);
        const int id = cmd::RecentFirst + i;
        connect(action, &QAction::triggered, this, [this, id] { ExecuteCommand(id); });
        m_recentMenu->insertAction(before, action);
    }
}

void CMainFrame::RestorePlacement() {
    m_settings.LoadDockState(*this, Bars());
    m_settings.LoadWindowState(*this, QStringLiteral("MainWindow"));
}

void CMainFrame::SavePlacement() {
    m_settings.SaveWindowState(*this, QStringLiteral("MainWindow"));
    m_settings.SaveDockState(*this, Bars());
    m_pwdView->SaveLayout();
    m_settings.Sync();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_closeGuard && !m_closeGuard()) {
        event->ignore();
        return;
    }
    if (m_tray)
        m_tray->hide();
    SavePlacement();
    // The search and index windows go with the main window.
    m_searchWindow->Close();
    m_indexWindow->Close();
    event->accept();
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (windowState() & Qt::WindowMaximized)
        m_wasMaximized = true;
    else if (!(windowState() & Qt::WindowMinimized))
        m_wasMaximized = false;
    if ((windowState() & Qt::WindowMinimized) && !m_inTray &&
        QSystemTrayIcon::isSystemTrayAvailable())
        QTimer::singleShot(0, this, &CMainFrame::MinimizeToTray);
}

void CMainFrame::MinimizeToTray() {
    // Only where a tray exists: otherwise the window stays minimized in the task bar, never
    // out of reach.
    if (!QSystemTrayIcon::isSystemTrayAvailable() || m_inTray)
        return;
    if (!m_tray) {
        m_tray = new QSystemTrayIcon(AppIcon(), this);
        m_tray->setObjectName(QStringLiteral("TrayIcon"));
        m_tray->setToolTip(AppTitle().left(63));
        m_trayMenu = new QMenu(this);
        m_trayMenu->setObjectName(QStringLiteral("TrayMenu"));
        QAction* restore =
            m_trayMenu->addAction(CommandIcon(cmd::TrayRestore), Tr(text::TrayRestore));
        MakeDefaultItem(restore);
        connect(restore, &QAction::triggered, this, &CMainFrame::RestoreFromTray);
        QAction* exit = m_trayMenu->addAction(Action(cmd::AppExit)->icon(), Tr(text::TrayExit));
        connect(exit, &QAction::triggered, this, [this] {
            RestoreFromTray();
            ExecuteCommand(cmd::AppExit);
        });
        m_tray->setContextMenu(m_trayMenu);
        connect(m_tray, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::DoubleClick ||
                        reason == QSystemTrayIcon::Trigger)
                        RestoreFromTray();
                });
    }
    m_tray->show();
    m_inTray = true;
    hide();
    m_searchWindow->Hide();
    m_indexWindow->Hide();
}

void CMainFrame::RestoreFromTray() {
    if (m_wasMaximized)
        showMaximized();
    else
        showNormal();
    if (m_tray)
        m_tray->hide();
    m_inTray = false;
    raise();
    activateWindow();
}

} // namespace kelvo
