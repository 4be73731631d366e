#pragma once

#include <memory>

#include "engine/Component.hpp"
#include "game/scenes/EndScene.hpp"
#include "game/scenes/SceneTransition.hpp"

/// The level's way out (the lit door): a trigger area that counts the level's play time and, when the player
/// walks in, takes the controls away from the player (only "exit" still answers) and has the
/// SceneTransition<EndScene> on its own object fade out to the end card with that time.
class LevelExit : public orn::Component {
public:
    ~LevelExit() override;

    void start() override;
    /// Adds the frame's scaled time, so a pause does not count.
    void update() override;
    /// Only the player's root (tag "Player") counts; the first entry ends the level, later ones do nothing.
    void onTriggerEnter(orn::Collision collision) override;

    /// Seconds of the fade to black.
    static constexpr float fadeSeconds = 1.f;

    /// Scaled seconds since the level started.
    float elapsed = 0.f;
    bool reached = false;

private:
    /// On the own object, which owns it.
    std::weak_ptr<SceneTransition<EndScene>> transition;
};
