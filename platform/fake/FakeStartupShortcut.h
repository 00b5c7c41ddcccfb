// The Startup shortcut as a switch, with a way to make the system refuse.
#pragma once

#include "platform/StartupShortcut.h"

namespace flicko {

class FakeStartupShortcut : public StartupShortcut {
public:
    bool IsOn() const override { return on_; }
    bool SetOn(bool on) override {
        ++calls_;
        if (refuse_) return false;
        on_ = on;
        return true;
    }
    void Refuse(bool refuse) { refuse_ = refuse; }
    int Calls() const { return calls_; }

private:
    bool on_ = false;
    bool refuse_ = false;
    int calls_ = 0;
};

}  // namespace flicko
