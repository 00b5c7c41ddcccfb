// The engine's outbound interfaces: what drag tracking needs from the rest
// of the system (its neighbours). Each is a small interface so the tracker
// can be tested with recording doubles and the resident program and the
// probe can plug in their own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Types.h"

namespace flicko {

// Scroll methods: set up both axes at a press, scroll toward LastDelta.
class IScrollMethods {
public:
    virtual ~IScrollMethods() = default;
    virtual void PrepareAxes() = 0;
    virtual void ScrollToDelta() = 0;
};

// The two velocity trackers and the glide.
class IVelocity {
public:
    virtual ~IVelocity() = default;
    virtual void ResetVelocity(int axis, std::int32_t pos, Millis time) = 0;
    virtual void SampleVelocity(int axis, std::int32_t pos, Millis time) = 0;
    // Time the engine spent scrolling since the last sample. Moves that
    // came meanwhile wait in the target's queue, so their samples arrive
    // late at positions already passed: that wait is no sign of a slower
    // cursor.
    virtual void AddScrollTime(Millis spent) = 0;
    virtual float Velocity(int axis) const = 0;
    virtual float InertiaMin() const = 0;  // pixels per millisecond
};

class IInertia {
public:
    virtual ~IInertia() = default;
    virtual bool InertiaRunning() const = 0;
    virtual void StartInertia() = 0;
    virtual void StopInertia() = 0;
};

// Runs a compiled action code with the hook paused.
class IActions {
public:
    virtual ~IActions() = default;
    virtual void RunActions(std::string_view code) = 0;
};

// Removes the mouse hook while actions synthesize input, so the engine does
// not see its own clicks, and puts it back afterwards. The host decides
// whether there is a hook to remove (scrolling may be disabled). Pauses
// nest: only the last resume puts the hook back. Each is true on success.
class IHookPause {
public:
    virtual ~IHookPause() = default;
    virtual bool PauseHook() = 0;
    virtual bool ResumeHook() = 0;
};

// The poll of the physical right button during a drag.
class ICheckMouse {
public:
    virtual ~ICheckMouse() = default;
    virtual void StartCheckMouse() = 0;
    virtual void StopCheckMouse() = 0;
    virtual void ClearReleaseSeen() = 0;
};

// Tray icon pictures: the engine reports which one a drag shows.
constexpr int TB_ENABLE = 0;
constexpr int TB_DISABLE = 1;
constexpr int TB_SCROLL = 2;

}  // namespace flicko
