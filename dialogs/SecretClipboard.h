// When a password copied to the clipboard is taken off it again: a fixed time after the copy,
// and only while the clipboard still holds that password (the user may have copied something
// else meanwhile, which must stay). The clock is injected so that tests can move time on.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

/// A clock that only moves forward (sleep and clock changes do not make it jump back).
class MonotonicClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~MonotonicClock() = default;
    virtual TimePoint Now() const = 0;
};

/// The system's steady clock.
const MonotonicClock& SystemClock();

/// How long a copied password stays on the clipboard.
inline constexpr std::chrono::milliseconds kSecretClipboardDelay{20000};

class SecretClipboardTimer {
public:
    explicit SecretClipboardTimer(const MonotonicClock& clock,
                                  std::chrono::milliseconds delay = kSecretClipboardDelay);
    ~SecretClipboardTimer();
    SecretClipboardTimer(const SecretClipboardTimer&) = delete;
    SecretClipboardTimer& operator=(const SecretClipboardTimer&) = delete;

    void SetClock(const MonotonicClock& clock) { m_clock = &clock; }
    /// The time from the next copy on (a secret already placed keeps its own).
    void SetDelay(std::chrono::milliseconds delay) { m_delay = delay; }

    /// A secret (UTF-8) was put on the clipboard now; an earlier one is forgotten.
    void Placed(std::string_view secret);
    /// Whether a secret waits to be taken off.
    bool Pending() const { return m_pending; }
    /// Time left until the secret is due (zero once due); nothing while none is pending.
    std::optional<std::chrono::milliseconds> Remaining() const;
    /// Asked when the timer fires: true when the clipboard, which now holds `current`, is to
    /// be emptied, that is the delay has passed and it still holds the secret. Once the delay
    /// has passed the secret is forgotten whatever the clipboard holds.
    bool ShouldClear(std::string_view current);
    /// At exit: true when the clipboard still holds a pending secret, due or not. Forgets it.
    bool ShouldClearNow(std::string_view current);
    /// Forgets the secret (its bytes are overwritten).
    void Forget();

private:
    const MonotonicClock* m_clock;
    std::chrono::milliseconds m_delay;
    std::string m_secret;
    MonotonicClock::TimePoint m_due{};
    bool m_pending = false;
};

} // namespace kelvo
