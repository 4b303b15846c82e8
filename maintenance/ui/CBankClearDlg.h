// The cleanup dialog: six kinds of content to wipe from the whole bank, the question, the pass
// shown on its status line and bar, and the views refreshed.
#pragma once

#include "maintenance/ui/MaintenanceWindows.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace kelvo {

class CBankClearDlg : public QDialog {
    Q_OBJECT
public:
    /// Restores the window position saved under "BankClearDlg".
    CBankClearDlg(const MaintenanceContext& context, QWidget* parent = nullptr);
    ~CBankClearDlg() override;

    /// The six boxes as they are ticked.
    CleanupChoices Choices() const;
    /// "Очистить": nothing ticked is refused (2005); then the question (2006); then the pass,
    /// and the dialog closes with the completion message (2007).
    void accept() override;

private:
    MaintenanceContext m_context;
    std::array<QCheckBox*, 6> m_boxes{};
    QLabel* m_status = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_clear = nullptr;
    QPushButton* m_cancel = nullptr;
};

/// "Очистка банка...".
void ShowBankCleanup(const MaintenanceContext& context, QWidget* parent);

} // namespace kelvo
