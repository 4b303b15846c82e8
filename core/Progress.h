// A progress indicator that long bank operations step through; the shell adapts its
// progress bar to it, the core and tests pass none.
#pragma once

#include <cstddef>

namespace kelvo {

class Progress {
public:
    virtual ~Progress() = default;
    /// Range 0 .. `upper`, position 0, step 1.
    virtual void Start(std::size_t upper) = 0;
    virtual void Step() = 0;
};

} // namespace kelvo
