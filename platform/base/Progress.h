// The one interface through which every long operation (index build, load and save; search;
// cleanup; import; tree loading; copies of a whole bank, the compaction of the storage engine
// among them) reports its progress to a window and asks whether to stop. A Qt progress dialog
// implements it; the core, kvb and tests pass none (nullptr) or a recorder. Every call has a
// default that does nothing. It lives at the base so that the storage engine's own long
// operations take it too.
#pragma once

#include <cstddef>
#include <string_view>

namespace kelvo {

class Progress {
public:
    virtual ~Progress() = default;

    /// The bar runs from 0 to `upper`, starts at 0 and moves one step at a time.
    virtual void Start(std::size_t /*upper*/) {}
    virtual void Step() {}
    /// The bar goes to its end: the operation is over (also after a stop).
    virtual void Finish() {}

    /// The status line (the first line of a two-line window), UTF-8; empty clears it.
    virtual void SetStatus(std::string_view /*utf8*/) {}
    /// The line under the status (the word or item being handled), UTF-8.
    virtual void SetDetail(std::string_view /*utf8*/) {}

    /// Whether the window offers to stop: an operation that cannot stop halfway (loading
    /// or saving the index, the cleanup) says false before it starts.
    virtual void SetCancellable(bool /*cancellable*/) {}
    /// True when the window has events waiting that CancelRequested would now handle. An
    /// operation holding the bank file lets go of it first, so that what the events do (a
    /// save, another window) can reach the bank.
    virtual bool EventsWaiting() { return false; }
    /// Lets the window handle its waiting events (so the Cancel or Stop button can be
    /// pressed, and windows repaint), then says whether the user asked to stop. Once asked,
    /// it stays asked. The events may change the bank: operations look their objects up
    /// again afterwards (see BankWalk).
    virtual bool CancelRequested() { return false; }
};

} // namespace kelvo
