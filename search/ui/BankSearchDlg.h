// The bank search window: the criteria, the walk over the bank with its status line,
// progress bar and Stop button, and the result grid whose rows lead to their objects.
#pragma once

#include "search/ResultRows.h"
#include "search/SearchCriteria.h"
#include "search/StorageBodySource.h"
#include "search/ui/FindWindows.h"
#include "search/ui/WindowProgress.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace kelvo {

class BankSelectDlg;
class ResultGrid;

class BankSearchDlg : public QDialog {
    Q_OBJECT
public:
    /// Maximum number of search texts in the history.
    static constexpr int kHistoryLength = 30;

    /// `kept` are the criteria of the window's holder: the window starts from them (with the
    /// size filter off and the whole bank as start) and gives them back when it closes.
    BankSearchDlg(const FindWindowContext& context, SearchCriteria& kept);
    ~BankSearchDlg() override;

    /// "&Искать": checks the criteria (a message when they are refused), adds the text to
    /// the history and walks the bank; rows show as they are found. False when the criteria
    /// were refused or a search is already running.
    bool StartSearch();
    /// "О&становить": the walk ends at its next object, keeping the rows found so far.
    void StopSearch();
    bool Searching() const { return m_searching; }
    /// "&Перейти": shows the object of the selected row in the main window; nothing when
    /// none is selected or the object is gone.
    bool GoToSelected();
    /// "&Обзор...": the start node chooser.
    void Browse();
    /// The document holds another bank now: the rows go and the search starts at the whole
    /// (new) bank; a search that runs is stopped, and that happens when it has ended.
    void BankReplaced();

    /// The criteria as the controls show them (the search text converted as typed; false
    /// with a message when it holds characters the bank's code page cannot).
    bool ReadCriteria(SearchCriteria& out, bool tell = true);
    const SearchCriteria& Criteria() const { return m_criteria; }
    const ResultRows& Rows() const { return m_rows; }
    ResultGrid& Grid() const { return *m_grid; }
    WindowProgress& SearchProgress() const { return *m_progress; }
    QString StatusText() const;

    /// Runs the chooser modally (tests answer it); true when a node was chosen.
    using ChooserRunner = std::function<bool(BankSelectDlg&)>;
    void SetChooserRunner(ChooserRunner runner) { m_runChooser = std::move(runner); }

signals:
    /// A search ended (also after Stop).
    void SearchFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void BuildControls();
    void ShowCriteria(const SearchCriteria& criteria);
    void SetSearching(bool searching);
    void SizeFilterToggled(bool on);
    void KeepCriteria();

    CQuorvellineDoc& m_doc;
    SettingsStore& m_settings;
    UserDialogs& m_dialogs;
    FindWindowContext m_context;
    SearchCriteria& m_kept;
    SearchCriteria m_criteria;
    ResultRows m_rows;
    StorageBodySource m_bodies;
    std::unique_ptr<WindowProgress> m_progress;
    ChooserRunner m_runChooser;
    bool m_searching = false;
    bool m_replacedWhileSearching = false;

    QLineEdit* m_start = nullptr;
    QPushButton* m_browse = nullptr;
    QCheckBox* m_nested = nullptr;
    QComboBox* m_text = nullptr;
    QCheckBox* m_inData = nullptr;
    QCheckBox* m_inKeywords = nullptr;
    QCheckBox* m_inNotes = nullptr;
    QCheckBox* m_case = nullptr;
    QCheckBox* m_wholeWords = nullptr;
    QCheckBox* m_sizeFilter = nullptr;
    QComboBox* m_sizeCompare = nullptr;
    QSpinBox* m_sizeValue = nullptr;
    QLabel* m_kb = nullptr;
    QCheckBox* m_folderWhole = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_close = nullptr;
    QPushButton* m_search = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_goTo = nullptr;
    ResultGrid* m_grid = nullptr;
};

/// The main window's one search window: the criteria live as long as this object, the
/// window from its opening until it is closed.
class BankSearchWindow {
public:
    explicit BankSearchWindow(FindWindowContext context) : m_context(std::move(context)) {}
    ~BankSearchWindow();
    BankSearchWindow(const BankSearchWindow&) = delete;
    BankSearchWindow& operator=(const BankSearchWindow&) = delete;

    /// Creates the window when it does not exist, then shows (restoring a minimised one)
    /// and activates it.
    BankSearchDlg& Open();
    /// The window, or null when it is not open.
    BankSearchDlg* Window() const { return m_window; }
    /// Hides the window, when it is open (the main window went to the tray).
    void Hide();
    /// Closes the window, when it is open (the main window closes); a search that runs is
    /// stopped first and the window closes when it has ended.
    void Close();
    /// The document was newly opened, created or saved: an open window whose bank is no
    /// longer the document's forgets what it showed of the old one.
    void BankChanged();

private:
    FindWindowContext m_context;
    SearchCriteria m_criteria;
    QPointer<BankSearchDlg> m_window;
    OpenBank m_bank;
};

} // namespace kelvo
