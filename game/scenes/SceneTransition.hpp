#pragma once

#include <string>
#include <utility>

#include "engine/Component.hpp"
#include "engine/InputManager.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Time.hpp"

/// Requests a switch to a new TScene when a bound input action is newly pressed or, with a duration, once
/// the countdown has run out. The switch takes effect at the start of the next frame, when this component's
/// scene is released with it.
template <class TScene>
class SceneTransition : public orn::Component {
public:
    /// Switches only on the action; an action that is not bound never switches.
    explicit SceneTransition(std::string actionName) : actionName(std::move(actionName)) {}
    /// Also switches in the first update after duration seconds of scaled frame time.
    SceneTransition(std::string actionName, float duration)
        : useTimer(true), timer(duration), actionName(std::move(actionName)) {}
    ~SceneTransition() override = default;

    /// Tests before counting down, so a countdown that reaches 0 in one update switches in the next. When
    /// the action and the countdown both trigger, the second request replaces the first.
    void update() override {
        if (orn::InputManager::getInstance().isActionDown(actionName)) {
            orn::SceneManager::getInstance().loadScene<TScene>();
        }
        if (timer <= 0.f && useTimer) {
            orn::SceneManager::getInstance().loadScene<TScene>();
        }
        timer -= orn::Time::getInstance().deltaTime;
    }

    bool useTimer = false;
    /// Seconds left; keeps counting below zero.
    float timer = 0.f;
    std::string actionName;
};
