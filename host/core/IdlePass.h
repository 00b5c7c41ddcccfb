// The idle passes of the message loop: the button-check and glide ticks
// that run between messages while a drag or a glide is under way.
//
// Each tick keeps its own cadence: after a tick the next one is due one
// interval later, however many messages arrive in between. The loop waits
// for messages until the earliest due time, so a hook's message is answered
// at once instead of after a fixed sleep.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/Types.h"

namespace flicko {

// What the loop drives; the engine provides it.
class ILoopTicks {
public:
    virtual ~ILoopTicks() = default;
    virtual bool CheckMouseRunning() const = 0;
    virtual bool InertiaRunning() const = 0;
    virtual Millis CheckMouseInterval() const = 0;
    virtual Millis InertiaInterval() const = 0;
    virtual void CheckMouseTick() = 0;
    virtual void InertiaTick() = 0;
};

class TIdlePass {
public:
    explicit TIdlePass(ILoopTicks& ticks) : ticks_(ticks) {}

    // Whether the loop must poll instead of blocking.
    bool Polling() const { return ticks_.CheckMouseRunning() || ticks_.InertiaRunning(); }

    // One pass at time now, with no message waiting: runs the ticks that are
    // due (the button check first; the glide's flag is read afresh after it,
    // so a glide started by the check ticks in the same pass). Returns how
    // long to wait for messages before the next pass, or nothing when both
    // ticks have stopped and the loop may block.
    std::optional<Millis> Run(Millis now);

private:
    struct Cadence {
        bool running = false;
        Millis due = 0;
    };
    // Whether the tick is due; a tick that was not running when last looked
    // at is due at once.
    static bool Due(Cadence& c, bool running, Millis now);
    static Millis Remaining(const Cadence& c, Millis now);

    ILoopTicks& ticks_;
    Cadence check_;
    Cadence inertia_;
};

}  // namespace flicko
