// The progress window of the index operations (build, load, save): two lines, a bar and a
// Cancel button that only the build offers. While it exists the part of the window that
// started the operation cannot be used; the main window can.
#pragma once

#include "search/ui/WindowProgress.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>

#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kelvo {

class IndexProgressDlg : public QDialog {
    Q_OBJECT
public:
    /// Milliseconds an operation runs before the window shows: quick ones never flash it.
    static constexpr int kShowDelayMs = 300;

    /// `blocked` (the controls of the window that started the operation) is disabled until
    /// this window is destroyed, when it was enabled; the window sits over it.
    explicit IndexProgressDlg(QWidget* blocked);
    ~IndexProgressDlg() override;

    /// What the operation reports to and asks of.
    Progress& progress() { return *m_progress; }
    /// How often the operation lets events be handled (see WindowProgress).
    void SetPumpInterval(int ms) { m_progress->SetPumpInterval(ms); }
    /// As the Cancel button does.
    void Cancel() { m_progress->RequestCancel(); }
    bool Cancelled() const { return m_progress->Cancelled(); }
    QPushButton* CancelButton() const { return m_cancel; }

protected:
    void reject() override; // Escape: the same as Cancel; the window stays

private:
    QPointer<QWidget> m_blocked;
    bool m_reenable = false;
    QLabel* m_line1;
    QLabel* m_line2;
    QProgressBar* m_bar;
    QPushButton* m_cancel;
    std::unique_ptr<WindowProgress> m_progress;
    QElapsedTimer m_age;
};

} // namespace kelvo
