// What the resident window needs from the scroll engine: one entry for the
// hook's mouse events and the two ticks the loop drives between messages.
#pragma once

#include <cstdint>

#include "host/core/IdlePass.h"

namespace flicko {

class IHostEngine : public ILoopTicks {
public:
    // The reply flags for the hook (swallow, caret, capture).
    virtual std::uint32_t DispatchMouseEvent(std::uint32_t message) = 0;
    // The rules were read again: forget every cached choice.
    virtual void RulesChanged() = 0;
};

}  // namespace flicko
