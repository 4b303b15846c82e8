// Command routing: the main window asks the active view, then itself, then the application
// whether a command is enabled or checked, and who runs it. A command nobody takes is disabled.
#pragma once

namespace kelvo {

struct CommandState {
    enum Check { NoCheck, Unchecked, Checked, Indeterminate };
    bool enabled = false;
    Check check = NoCheck;
};

class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    /// Fills `state` and returns true when this target handles `id`.
    virtual bool UpdateCommand(int id, CommandState& state) = 0;
    /// Runs `id`; true when this target handled it.
    virtual bool RunCommand(int id) = 0;
};

} // namespace kelvo
