// The main window: toolbars, status bar, the left bar with the two trees, the calendar bar,
// the record view and the password list switched by tab, every menu command, the tray icon.
// It routes the trees' events to the views and the document.
#pragma once

#include "core/QuorvellineDoc.h"
#include "search/ResultNavigation.h"
#include "shell/CKelvoCtrl.h"
#include "shell/CommandTarget.h"
#include "shell/RecordViewPort.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>

class QAction;
class QCalendarWidget;
class QDockWidget;
class QMenu;
class QStackedWidget;
class QSystemTrayIcon;
class QTabWidget;
class QTimer;
class QToolBar;

namespace kelvo {

class BankIndexWindow;
class BankSearchWindow;
class CPwdView;
class PrintController;
class SettingsStore;
class StatusPaneBar;
class ToolCommands;
class UserDialogs;

class CMainFrame : public QMainWindow,
                   public KelvoCtrlHost,
                   public DocumentListener,
                   public CommandTarget,
                   public ResultNavigator {
    Q_OBJECT
public:
    /// Bar ids, as the docking layout names them.
    enum BarId {
        StandardBarId = 59392,
        FormatBarId = 129,
        ViewsBarId = 132,
        BankBarId = 130,
        RulerBarId = 65108,
        LeftBarId = 65102,
        CalendarBarId = 65104,
    };

    /// `recordView` is the record side's view; without one a read-only view of the body's
    /// text is used.
    CMainFrame(CQuorvellineDoc& doc, SettingsStore& settings, UserDialogs& dialogs,
               std::unique_ptr<RecordViewPort> recordView = nullptr, QWidget* parent = nullptr);
    ~CMainFrame() override;

    /// Commands of the application (New, Open, recent banks, Exit...), asked after the frame.
    void SetApplicationTarget(CommandTarget* app) { m_app = app; }
    /// Asked before the window closes; false keeps it open.
    void SetCloseGuard(std::function<bool()> guard) { m_closeGuard = std::move(guard); }

    // --- Commands -------------------------------------------------------------------
    QAction* Action(int id) const;
    /// The state of a command as the route (active view, frame, application) decides.
    CommandState QueryCommand(int id);
    /// Runs a command through the route; false when nobody takes it or it is disabled.
    bool ExecuteCommand(int id);
    /// Brings every action's enabled and checked state and the status panes up to date.
    void UpdateCommandUi();
    void RebuildRecentMenu(const QStringList& files);

    // --- Parts ----------------------------------------------------------------------
    int CurrentTab() const;
    void SwitchTab(int tab);
    CKelvoCtrl& RecordTreeCtrl() const { return *m_recordTree; }
    CKelvoCtrl& PasswordTreeCtrl() const { return *m_passwordTree; }
    CKelvoCtrl& CurrentTree() const;
    CPwdView& PwdView() const { return *m_pwdView; }
    RecordViewPort& RecordView() const { return *m_recordView; }
    StatusPaneBar& StatusPanes() const { return *m_statusBar; }
    CQuorvellineDoc& Document() const { return m_doc; }
    std::map<int, QWidget*> Bars() const;
    PrintController& Printing() const { return *m_printing; }
    /// A print preview opens (the ruler goes) or closes (the ruler comes back when wanted).
    void SetPreviewMode(bool previewing);

    /// The trees were rebuilt by the document: show them again.
    void RefreshTrees();
    void RefreshTitle();

    void RestorePlacement();
    void SavePlacement();

    /// Minimizing: into the tray where the desktop has one.
    bool InTray() const { return m_inTray; }
    void RestoreFromTray();

    // --- KelvoCtrlHost --------------------------------------------------------------
    void OnSelectionChanging(TreeKind tree, TreeNode* leaving, TreeNode* entering) override;
    void HandleTreeKey(int key, CKelvoCtrl& tree) override;
    void HandleTreeChanged(CKelvoCtrl& tree) override;
    void ShowTreeMenu(CKelvoCtrl& tree, const QPoint& globalPos) override;
    bool AcceptText(const QString& text, const QString& field, AnsiString& out) override;
    void HandlePasswordDrop(TreeNode& folder) override;

    // --- DocumentListener -----------------------------------------------------------
    void OnModifiedChanged(bool modified) override;
    void OnDocumentRefresh() override;
    void OnSaveCurrentBody() override;
    /// A node became selected, by the user or by the tree itself (both the document and the
    /// trees report it): the record view loads its body, or the password list refills.
    void OnSelectionChanged(TreeKind tree, TreeNode* node) override;

    // --- CommandTarget (the frame's own commands) ------------------------------------
    bool UpdateCommand(int id, CommandState& state) override;
    bool RunCommand(int id) override;

    // --- ResultNavigator (go-to of the search and index windows) -----------------------
    void ShowNode(const GoToTarget& target) override;
    void SaveEditedBody() override;
    /// The search and index windows, open or not.
    BankSearchWindow& SearchWindow() const { return *m_searchWindow; }
    BankIndexWindow& IndexWindow() const { return *m_indexWindow; }

    /// The delete-item command: asks, then deletes the selected node of the current tree.
    void DeleteSelectedItem();
    void AddNewRecord();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreateStatusBar();
    void CreateDockBars();
    void CreateViews();
    QToolBar* MakeToolBar(const QString& title, const QString& name,
                          std::initializer_list<int> ids);
    QMenu* MakeColourMenu(int firstId, const QString& title);
    void AddMenuItems(QMenu* menu, std::initializer_list<int> ids);
    void ToggleBar(QWidget* bar);
    bool IsBarVisible(QWidget* bar) const;
    void MinimizeToTray();
    void ShowTrayMenu(const QPoint& globalPos);

    CQuorvellineDoc& m_doc;
    SettingsStore& m_settings;
    UserDialogs& m_dialogs;
    CommandTarget* m_app = nullptr;
    std::function<bool()> m_closeGuard;

    std::map<int, QAction*> m_actions;
    std::unique_ptr<RecordViewPort> m_recordView;
    CPwdView* m_pwdView = nullptr;
    CKelvoCtrl* m_recordTree = nullptr;
    CKelvoCtrl* m_passwordTree = nullptr;
    QTabWidget* m_tabs = nullptr;
    QStackedWidget* m_views = nullptr;
    StatusPaneBar* m_statusBar = nullptr;
    QToolBar* m_standardBar = nullptr;
    QToolBar* m_formatBar = nullptr;
    QToolBar* m_viewsBar = nullptr;
    QToolBar* m_bankBar = nullptr;
    QToolBar* m_rulerBar = nullptr;
    QDockWidget* m_leftBar = nullptr;
    QDockWidget* m_calendarBar = nullptr;
    QCalendarWidget* m_calendar = nullptr;
    QMenu* m_recentMenu = nullptr;
    QMenu* m_treeMenu = nullptr;
    QMenu* m_trayMenu = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QTimer* m_idleTimer = nullptr;
    PrintController* m_printing = nullptr;
    bool m_wasMaximized = false;
    bool m_inTray = false;
    bool m_rulerWanted = true;
    // Last, so that they go first: they read the document and the trees.
    std::unique_ptr<BankSearchWindow> m_searchWindow;
    std::unique_ptr<BankIndexWindow> m_indexWindow;
    std::unique_ptr<ToolCommands> m_tools; ///< the maintenance windows' commands
};

} // namespace kelvo
