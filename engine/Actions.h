// Runs compiled action codes: synthetic keys and clicks, button messages to
// the pointed window and calls on the target window.
//
// An action code is a string of two-character pairs (code, argument); a
// lone last character is ignored. The windows and the press point come from
// the current drag in the engine state.
#pragma once

#include <string_view>

#include "engine/EngineState.h"
#include "engine/OutboundInterfaces.h"
#include "platform/Desktop.h"

namespace flicko {

class Actions : public IActions {
public:
    // scroll may be null (the probe runs no actions that scroll).
    Actions(Desktop& desktop, EngineState& state, IHookPause& hook, IScrollMethods* scroll);

    // The whole code runs with the hook paused, even an empty one; the hook
    // is resumed also when an action throws.
    void RunActions(std::string_view code) override;

private:
    void RunPair(char code, char arg);
    void KeyDown(std::uint8_t vk);
    void KeyUp(std::uint8_t vk);
    void ButtonDown(char button);
    void ButtonUp(char button);
    void SendButtonDown(char button);
    void SendButtonUp(char button);
    void SendButtonMessage(std::uint32_t message);
    void ScrollNow();

    Desktop& desktop_;
    EngineState& state_;
    IHookPause& hook_;
    IScrollMethods* scroll_;
};

}  // namespace flicko
