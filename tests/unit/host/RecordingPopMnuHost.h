#pragma once

#include <string>
#include <vector>

#include "host/core/PopMnuModel.h"

namespace flicko {

// A menu host that records what the menu asked of it, in order.
struct RecordingPopMnuHost : IPopMnuHost {
    bool enabled = true;
    bool hookWorks = true;
    std::vector<std::string> calls;
    bool Enabled() const override { return enabled; }
    bool SetEnabled(bool value) override {
        calls.push_back(value ? "enable" : "disable");
        if (hookWorks) enabled = value;
        return hookWorks;
    }
    void PauseHook() override { calls.push_back("pause"); }
    void ResumeHook() override { calls.push_back("resume"); }
    void RequestReloadSettings() override { calls.push_back("reload-ini"); }
    void RequestReloadScrollData() override { calls.push_back("reload-dat"); }
    void MakeOwnScrollDat() override { calls.push_back("own-dat"); }
    void ShowAboutDialog() override { calls.push_back("about"); }
    void RequestExit() override { calls.push_back("exit"); }
    bool startsAtLogon = false;
    bool shortcutWorks = true;
    bool StartsAtLogon() const override { return startsAtLogon; }
    bool SetStartsAtLogon(bool on) override {
        calls.push_back(on ? "startup-on" : "startup-off");
        if (shortcutWorks) startsAtLogon = on;
        return shortcutWorks;
    }
};

}  // namespace flicko
