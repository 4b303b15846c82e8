// The revision dialog: its description, "Начать" compacting the open bank's file, the steps
// and sizes in the numbered event list, the copy's progress on the bar.
#pragma once

#include "maintenance/BankRevision.h"
#include "maintenance/ui/MaintenanceWindows.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace kelvo {

class DialogProgress;

class CBankRevisionDlg : public QDialog {
    Q_OBJECT
public:
    /// Restores the window position saved under "BankRevisionDlg".
    CBankRevisionDlg(const MaintenanceContext& context, QWidget* parent = nullptr);
    ~CBankRevisionDlg() override;

    /// "Начать": a bank never saved is refused; a modified bank is saved first when the user
    /// agrees (otherwise nothing happens); then the revision runs, each step a row of the
    /// list. True when the bank was compacted.
    bool Start();

    QTreeWidget* Events() const { return m_events; }
    QLabel* Status() const { return m_status; }

private:
    void AddEvent(const QString& text);
    void Event(RevisionStep step, const RevisionFigures& figures);
    void Busy(bool busy);

    MaintenanceContext m_context;
    QLabel* m_status = nullptr;
    QProgressBar* m_bar = nullptr;
    QTreeWidget* m_events = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_cancel = nullptr;
    DialogProgress* m_progress = nullptr; ///< while a revision runs
    bool m_running = false;
    bool m_replaced = false; ///< the bank file was replaced by its compacted copy
};

/// "Ревизия банка...".
void ShowBankRevision(const MaintenanceContext& context, QWidget* parent);

} // namespace kelvo
