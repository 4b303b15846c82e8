// The index window: the words of the keyword index with their counts, filtered by the kind of
// object; ticking words lists the records and folders whose keywords hold all of them; the
// index is rebuilt on request. Result rows lead to their objects in the main window.
#pragma once

#include "index/KeywordIndex.h"
#include "search/ResultRows.h"
#include "search/StorageBodySource.h"
#include "search/ui/FindWindows.h"
#include "search/ui/WindowProgress.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;

namespace kelvo {

class IndexProgressDlg;
class ResultGrid;
class SortableList;

class BankIndexDlg : public QDialog {
    Q_OBJECT
public:
    explicit BankIndexDlg(const FindWindowContext& context);
    ~BankIndexDlg() override;

    /// What opening does once the window shows: loads the stored index (offering to build
    /// one when there is none or it cannot be read), runs the query and fills the word list.
    void LoadOnOpen();
    /// The document holds another bank: its rows and words go, and its index is loaded as
    /// on opening. During a build the build is cancelled first, and this happens after it.
    void BankReplaced();
    /// Refills the word list for the chosen kind of object; rows come unticked.
    void FillKeywordList();
    /// Lists the objects holding every ticked word; the status line says what was found.
    void QueryIndex();
    /// "Сброс": unticks every word and queries again (nothing ticked).
    void ResetTicks();
    /// "Перестроить": asks, then rebuilds and stores the index; a failed or cancelled
    /// rebuild brings the stored one back.
    void Rebuild();
    /// "Перейти": shows the object of the selected row; nothing when it is gone.
    bool GoToSelected();

    KeywordFilter Filter() const;
    void SetFilter(KeywordFilter filter);
    const KeywordIndex& Index() const { return m_index; }
    const ResultRows& Rows() const { return m_rows; }
    SortableList& Words() const { return *m_words; }
    ResultGrid& Grid() const { return *m_grid; }
    QString StatusText() const;
    /// True while an index operation (load, build, save) runs.
    bool Busy() const { return m_busy; }
    /// How often the operations let events be handled (0: at every node; tests).
    void SetPumpInterval(int ms) { m_pumpInterval = ms; }

signals:
    /// An index operation ended.
    void OperationFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void BuildControls();
    enum class Outcome {
        Done,
        Failed,       ///< the message was shown, unless it was a cancel
        BankReplaced, ///< another bank was opened meanwhile: the index was let go
    };
    /// Runs an index operation with the progress window.
    template <class Operation> Outcome RunIndexOperation(Operation&& operation);

    FindWindowContext m_context;
    KeywordIndex m_index;
    ResultRows m_rows;
    StorageBodySource m_bodies;
    bool m_suppressQueries = true;
    bool m_busy = false;
    bool m_closeWhenDone = false;
    bool m_replacedWhileBusy = false;
    int m_pumpInterval = WindowProgress::kPumpIntervalMs;
    QPointer<IndexProgressDlg> m_progress;

    QWidget* m_panel = nullptr;
    QButtonGroup* m_filter = nullptr;
    SortableList* m_words = nullptr;
    QLabel* m_status = nullptr;
    ResultGrid* m_grid = nullptr;
    QPushButton* m_close = nullptr;
    QPushButton* m_find = nullptr;
    QPushButton* m_goTo = nullptr;
    QPushButton* m_reset = nullptr;
    QPushButton* m_rebuild = nullptr;
};

/// The main window's one index window: created on opening, gone when closed; each opening
/// loads the index anew.
class BankIndexWindow {
public:
    explicit BankIndexWindow(FindWindowContext context) : m_context(std::move(context)) {}
    ~BankIndexWindow();
    BankIndexWindow(const BankIndexWindow&) = delete;
    BankIndexWindow& operator=(const BankIndexWindow&) = delete;

    /// Creates the window (loading the index) when it does not exist, then shows (restoring
    /// a minimised one) and activates it. Null when the window was closed while it loaded.
    BankIndexDlg* Open();
    BankIndexDlg* Window() const { return m_window; }
    void Hide();
    /// Closes the window; an operation that runs is cancelled first.
    void Close();
    /// The document was newly opened, created or saved: an open window whose bank is no
    /// longer the document's loads the index of the new one.
    void BankChanged();

private:
    FindWindowContext m_context;
    QPointer<BankIndexDlg> m_window;
    OpenBank m_bank;
};

} // namespace kelvo
