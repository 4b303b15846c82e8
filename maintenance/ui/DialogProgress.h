// The progress of a maintenance operation shown in its own dialog: the status line and the
// bar are repainted as the operation runs (at most every few hundredths of a second, so that
// ten thousand objects cost no more than their work), and a Cancel button, where the dialog
// has one, is noticed between objects.
#pragma once

#include "core/Progress.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <functional>

class QLabel;
class QProgressBar;

namespace kelvo {

class DialogProgress : public Progress {
public:
    static constexpr int kRepaintIntervalMs = 30;

    /// Either widget may be null.
    DialogProgress(QLabel* status, QProgressBar* bar);

    /// Told whether the operation can stop now (the dialog enables its Cancel button).
    std::function<void(bool cancellable)> onCancellable;

    void Start(std::size_t upper) override;
    void Step() override;
    void Finish() override;
    void SetStatus(std::string_view utf8) override;
    void SetCancellable(bool cancellable) override;
    /// Handles the dialog's waiting events when their time has come, then says whether
    /// Cancel was pressed.
    bool CancelRequested() override;

    void RequestCancel() { m_cancel = true; }
    bool Cancelled() const { return m_cancel; }
    /// Puts what was reported into the widgets and paints them now.
    void Show();

private:
    bool Due() const;

    QPointer<QLabel> m_status;
    QPointer<QProgressBar> m_bar;
    QString m_statusText;
    std::size_t m_upper = 0, m_value = 0;
    bool m_cancel = false;
    QElapsedTimer m_shown;
};

} // namespace kelvo
