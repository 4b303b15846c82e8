// A status line that long bank operations (import, cleanup) write their progress texts to;
// the shell adapts its dialog's status text to it, the core and tests pass none or a recorder.
#pragma once

#include <string_view>

namespace kelvo {

class StatusSink {
public:
    virtual ~StatusSink() = default;
    /// Replaces the status text (UTF-8; empty clears it).
    virtual void SetStatus(std::string_view text) = 0;
};

} // namespace kelvo
