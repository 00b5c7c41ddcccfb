// Hook messages that arrive while the engine is already at work.
//
// A handler that sends a scroll message to another thread's window waits in
// SendMessage, and while it waits other threads' hook messages are
// delivered to the resident window. Running the engine again on top of
// itself would apply the same drag offset twice, and making those senders
// wait for the busy window would stall every hooked thread of the desktop.
// So they are answered at once, and the button events among them reach the
// engine in order once the outer call has returned.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>

namespace flicko {

class TMouseReentry {
public:
    // Marks the engine busy for one call (a hook message or a tick).
    class TEntry {
    public:
        explicit TEntry(TMouseReentry& r) : r_(r) { ++r_.depth_; }
        ~TEntry() { --r_.depth_; }
        TEntry(const TEntry&) = delete;
        TEntry& operator=(const TEntry&) = delete;

    private:
        TMouseReentry& r_;
    };

    bool Busy() const { return depth_ > 0; }

    // The reply for a hook message that arrived while busy. dragging: a
    // drag's press was swallowed, so its release must be swallowed too.
    std::uint32_t NestedReply(std::uint32_t message, bool dragging);

    // The next deferred message, only once nothing is busy.
    std::optional<std::uint32_t> TakeDeferred();

    std::size_t Pending() const { return deferred_.size(); }

private:
    int depth_ = 0;
    std::deque<std::uint32_t> deferred_;
};

}  // namespace flicko
