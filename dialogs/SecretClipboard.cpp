// When a copied password leaves the clipboard.
#include "dialogs/SecretClipboard.h"

#include <algorithm>

namespace kelvo {
namespace {

class SteadyClock final : public MonotonicClock {
public:
    TimePoint Now() const override { return std::chrono::steady_clock::now(); }
};

} // namespace

const MonotonicClock& SystemClock() {
    static const SteadyClock clock;
    return clock;
}

SecretClipboardTimer::SecretClipboardTimer(const MonotonicClock& clock,
                                           std::chrono::milliseconds delay)
    : m_clock(&clock), m_delay(delay) {}

SecretClipboardTimer::~SecretClipboardTimer() {
    Forget();
}

void SecretClipboardTimer::Placed(std::string_view secret) {
    Forget();
    m_secret.assign(secret);
    m_due = m_clock->Now() + m_delay;
    m_pending = true;
}

std::optional<std::chrono::milliseconds> SecretClipboardTimer::Remaining() const {
    if (!m_pending)
        return std::nullopt;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_due - m_clock->Now());
    return std::max(left, std::chrono::milliseconds(0));
}

bool SecretClipboardTimer::ShouldClear(std::string_view current) {
    if (!m_pending || m_clock->Now() < m_due)
        return false;
    const bool ours = current == m_secret;
    Forget();
    return ours;
}

bool SecretClipboardTimer::ShouldClearNow(std::string_view current) {
    const bool ours = m_pending && current == m_secret;
    Forget();
    return ours;
}

void SecretClipboardTimer::Forget() {
    // The copy of the password does not linger in freed memory.
    volatile char* bytes = m_secret.data();
    for (std::size_t i = 0; i < m_secret.size(); ++i)
        bytes[i] = 0;
    m_secret.clear();
    m_pending = false;
}

} // namespace kelvo
