#include "engine/Engine.h"

#include <exception>

namespace flicko {

Engine::Engine(Desktop& desktop, TRuleModel& model, const TEngineSettings& settings, EngineHost host)
    : settings_(settings),
      errors_(host.errors),
      paths_(desktop, state_, model.RegexCache),
      velocity_(settings_),
      actions_(desktop, state_, host.hookPause, &scroll_),
      scroll_(desktop, state_, paths_, actions_),
      inertia_(desktop, state_, velocity_, scroll_, host.residentWindow),
      events_(desktop, model, state_,
              DragNeighbours{&paths_, &scroll_, &velocity_, &inertia_, &actions_, &checkMouse_, &host.hook,
                             &host.tray, &host.errors}),
      checkMouse_(desktop, state_, events_, host.residentWindow) {}

void Engine::InertiaTick() {
    try {
        inertia_.InertiaTick();
    } catch (const std::exception& e) {
        inertia_.StopInertia();
        errors_.ShowErrorBox(e.what());
    }
}

void Engine::CheckMouseTick() {
    try {
        checkMouse_.CheckMouseTick();
    } catch (const std::exception& e) {
        checkMouse_.StopCheckMouse();
        errors_.ShowErrorBox(e.what());
    }
}

}  // namespace flicko
