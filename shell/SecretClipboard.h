// Copying logins and passwords to the system clipboard. A password goes with the hint that
// asks clipboard managers not to keep it ("x-kde-passwordManagerHint": "secret") and is
// taken off the clipboard 20 seconds later (the options may say otherwise), unless the clipboard
// holds something else by then.
#pragma once

#include "dialogs/SecretClipboard.h"

#include <QObject>
#include <QTimer>

namespace kelvo {

class SecretClipboard : public QObject {
    Q_OBJECT
public:
    static inline const char* kHintFormat = "x-kde-passwordManagerHint";

    explicit SecretClipboard(QObject* parent = nullptr);
    /// A password still on the clipboard goes when the program ends.
    ~SecretClipboard() override;

    /// Replaces the clock (tests move time on with their own).
    void SetClock(const MonotonicClock& clock) { m_timer.SetClock(clock); }
    /// How long the next password copied stays (20 seconds unless set).
    void SetDelay(std::chrono::milliseconds delay) { m_timer.SetDelay(delay); }

    /// Puts a password on the clipboard, marked secret, and starts its time.
    void CopySecret(const QString& text);
    /// Puts an ordinary text (a login) on the clipboard.
    void CopyText(const QString& text);
    /// Empties the clipboard when the password's time is over and it still holds it; called
    /// by the timer.
    void Poll();
    bool Pending() const { return m_timer.Pending(); }

private:
    void Arm();

    SecretClipboardTimer m_timer;
    QTimer m_tick;
};

} // namespace kelvo
