// Progress of a long operation shown in a window: a status line, a detail line and a bar,
// with a Stop or Cancel button that the operation notices between its objects. The window's
// events are handled at most every few hundredths of a second, so that an operation over ten
// thousand objects costs no more than its work and the window still answers at once. The
// bank file is let go only when the user's input arrives among those events: opening a large
// bank again costs more than repainting, and only what the user does can need the file.
#pragma once

#include "core/Progress.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QLabel;
class QProgressBar;

namespace kelvo {

class WindowProgress : public Progress {
public:
    /// Milliseconds between two rounds of event handling.
    static constexpr int kPumpIntervalMs = 25;
    /// Another interval (0: events are handled at every question; tests).
    void SetPumpInterval(int ms) { m_interval = ms; }

    /// Any of the widgets may be null; they show what the operation reports.
    WindowProgress(QLabel* status, QProgressBar* bar, QLabel* detail = nullptr);
    ~WindowProgress() override;

    /// Told the operation says whether it can stop (the window shows or hides its button).
    std::function<void(bool cancellable)> onCancellable;
    /// Called each time events are about to be handled (the index window shows its
    /// progress window only once an operation takes a while).
    std::function<void()> onPump;
    /// Called, before it is handled, when the first input of the user (a key, a click, a
    /// window closed, a drop) arrives among the events being handled: whatever holds the
    /// bank file lets go of it, so that what the input does can reach the bank.
    std::function<void()> onUserInput;

    void Start(std::size_t upper) override;
    void Step() override;
    void Finish() override;
    void SetStatus(std::string_view utf8) override;
    void SetDetail(std::string_view utf8) override;
    void SetCancellable(bool cancellable) override;
    /// False: the operation keeps the bank file while only repaints and timers are handled;
    /// onUserInput says when to let it go.
    bool EventsWaiting() override { return false; }
    /// Handles the window's events when their time has come (see EventsWaiting), then says
    /// whether Stop or Cancel was pressed.
    bool CancelRequested() override;

    /// Stop or Cancel pressed: the operation ends at its next question.
    void RequestCancel() { m_cancel = true; }
    bool Cancelled() const { return m_cancel; }
    /// Ready for the next operation: not cancelled, the clock restarted.
    void Reset();
    /// Puts what was reported since the last round into the widgets.
    void Show();
    /// Handles the waiting events now (after Show), whatever the clock says.
    void Pump();

private:
    class InputWatch;
    bool PumpDue() const;

    std::unique_ptr<InputWatch> m_watch;
    QPointer<QLabel> m_status, m_detail;
    QPointer<QProgressBar> m_bar;
    QString m_statusText, m_detailText;
    bool m_statusChanged = false, m_detailChanged = false;
    std::size_t m_upper = 0, m_value = 0;
    bool m_cancel = false;
    int m_interval = kPumpIntervalMs;
    QElapsedTimer m_sincePump;
};

} // namespace kelvo
