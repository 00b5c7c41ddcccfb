// Recording doubles of drag tracking's neighbours: each call is appended to
// one shared journal so tests can assert the order of what happened.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/EngineState.h"
#include "engine/OutboundInterfaces.h"
#include "platform/Desktop.h"
#include "base/FlError.h"
#include "rules/SclDats.h"

namespace flicko::testing {

struct Journal {
    std::vector<std::string> calls;
    void Add(std::string s) { calls.push_back(std::move(s)); }
    int Count(const std::string& s) const {
        int n = 0;
        for (const auto& c : calls) n += (c == s);
        return n;
    }
};

// Resolves a path by a table of start window -> result, per path code; the
// code "W-p" (Pointed) resolves to the start window.
class TablePathResolver : public IPathResolver {
public:
    std::function<Hwnd(Hwnd, std::string_view, const TSclDat&)> resolve;
    int calls = 0;
    Hwnd ResolveWindowPath(Hwnd start, std::string_view code, const TSclDat& rule) override {
        ++calls;
        if (resolve) return resolve(start, code, rule);
        return start;
    }
};

class RecordingScroll : public IScrollMethods {
public:
    RecordingScroll(Journal& j, EngineState& s) : j_(j), s_(s) {}
    std::function<void()> onPrepare;
    std::function<void()> onScroll;
    void PrepareAxes() override {
        j_.Add("PrepareAxes");
        s_.Target.Axis[0].Enabled = s_.Target.Axis[1].Enabled = true;
        if (onPrepare) onPrepare();
    }
    void ScrollToDelta() override {
        j_.Add("ScrollToDelta(" + std::to_string(s_.Drag.LastDelta[0]) + "," + std::to_string(s_.Drag.LastDelta[1]) +
               ")");
        if (onScroll) onScroll();
    }

private:
    Journal& j_;
    EngineState& s_;
};

class RecordingVelocity : public IVelocity {
public:
    explicit RecordingVelocity(Journal& j) : j_(j) {}
    float v[2] = {0, 0};
    float min = 1.0f;
    void ResetVelocity(int axis, std::int32_t pos, Millis t) override {
        j_.Add("Reset" + std::string(axis ? "V(" : "H(") + std::to_string(pos) + "," + std::to_string(t) + ")");
    }
    void SampleVelocity(int axis, std::int32_t pos, Millis t) override {
        j_.Add("Sample" + std::string(axis ? "V(" : "H(") + std::to_string(pos) + "," + std::to_string(t) + ")");
    }
    float Velocity(int axis) const override { return v[axis]; }
    float InertiaMin() const override { return min; }
    // Not journalled: it follows every scroll of a move.
    Millis scrollTime = 0;
    void AddScrollTime(Millis spent) override { scrollTime += spent; }

private:
    Journal& j_;
};

class RecordingInertia : public IInertia {
public:
    explicit RecordingInertia(Journal& j) : j_(j) {}
    bool running = false;
    bool InertiaRunning() const override { return running; }
    void StartInertia() override {
        running = true;
        j_.Add("StartInertia");
    }
    void StopInertia() override {
        running = false;
        j_.Add("StopInertia");
    }

private:
    Journal& j_;
};

class RecordingActions : public IActions {
public:
    explicit RecordingActions(Journal& j) : j_(j) {}
    std::vector<std::string> codes;
    void RunActions(std::string_view code) override {
        codes.emplace_back(code);
        j_.Add("RunActions");
    }

private:
    Journal& j_;
};

class RecordingCheckMouse : public ICheckMouse {
public:
    explicit RecordingCheckMouse(Journal& j) : j_(j) {}
    bool running = false;
    void StartCheckMouse() override {
        running = true;
        j_.Add("StartCheckMouse");
    }
    void StopCheckMouse() override {
        running = false;
        j_.Add("StopCheckMouse");
    }
    void ClearReleaseSeen() override { j_.Add("ClearReleaseSeen"); }

private:
    Journal& j_;
};

}  // namespace flicko::testing
