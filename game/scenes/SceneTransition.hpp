#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include "engine/Component.hpp"
#include "engine/InputManager.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Time.hpp"
#include "gui/Label.hpp"
#include "gui/RendererData.hpp"

/// Requests a switch to a new TScene when a bound input action is newly pressed or, with a duration, once
/// the countdown has run out; or, told by fadeTo, to a given TScene after darkening the view. The switch
/// takes effect at the start of the next frame, when this component's scene is released with it.
template <class TScene>
class SceneTransition : public orn::Component {
public:
    /// Switches only when told by fadeTo.
    SceneTransition() = default;
    /// Switches only on the action; an action that is not bound never switches.
    explicit SceneTransition(std::string actionName) : actionName(std::move(actionName)) {}
    /// Also switches in the first update after duration seconds of scaled frame time.
    SceneTransition(std::string actionName, float duration)
        : useTimer(true), timer(duration), actionName(std::move(actionName)) {}
    ~SceneTransition() override = default;

    /// Darkens the whole window (the GUI included) to black over `seconds` of scaled frame time, then
    /// requests scene; meanwhile the action and the countdown no longer switch. A fade already under way
    /// ignores the call. Needs a current scene, whose GUI draws the shade.
    void fadeTo(std::shared_ptr<TScene> scene, float seconds) {
        if (next) {
            return;
        }
        next = std::move(scene);
        fadeSeconds = seconds;
        shade = gui::Label::create();
        shade->setPosition(0, 0);
        shade->setSize("&.width", "&.height");
        orn::SceneManager::getInstance().getCurrentScene()->gui.add(shade);
        showShade(0.f);
    }

    /// Whether fadeTo has started a fade.
    bool isFading() const { return next != nullptr; }

    /// Tests before counting down, so a countdown that reaches 0 in one update switches in the next. When
    /// the action and the countdown both trigger, the second request replaces the first.
    void update() override {
        if (next) {
            faded += orn::Time::getInstance().deltaTime;
            showShade(fadeSeconds > 0.f ? faded / fadeSeconds : 1.f);
            if (faded >= fadeSeconds) {
                orn::SceneManager::getInstance().loadScene(next);
            }
            return;
        }
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

private:
    /// share: 0 for a clear view, 1 for black.
    void showShade(float share) {
        gui::RendererData look;
        const int alpha = static_cast<int>(255.f * std::clamp(share, 0.f, 1.f));
        look.setProperty("BackgroundColor", "rgba(0, 0, 0, " + std::to_string(alpha) + ")");
        shade->setRenderer(look);
    }

    /// The scene fadeTo switches to, held until the switch.
    std::shared_ptr<TScene> next;
    /// Shared with the current scene's GUI, which draws it and goes away with the scene; null until fadeTo.
    gui::Label::Ptr shade;
    float fadeSeconds = 0.f;
    /// Scaled seconds since fadeTo.
    float faded = 0.f;
};
