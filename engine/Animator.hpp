#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/AnimatorConfiguration.hpp"
#include "engine/Component.hpp"

namespace orn {

class AnimatedSprite;

/// Chooses the animation that the AnimatedSprite of the same game object plays: a state machine built from
/// an AnimatorConfiguration, one state per configured state, each playing the sheet animation of its name.
/// Gameplay code writes the boolean parameters and forces one-off states with play; the animator follows
/// a state's transitions by itself once its waiting times have passed.
class Animator : public Component {
public:
    /// A transition with its parameter tests bound to the animator's parameters.
    struct Transition {
        /// True when every test of the transition holds.
        std::function<bool()> condition;
        /// Name of the state the transition leads to.
        std::string followState;
    };

    /// A state of the configuration with its transitions resolved.
    struct State {
        std::vector<Transition> transitions;  ///< in the order of the configuration's conditions
        float elapsedTime = 0.f;              ///< seconds of state clock (scaled by speed) since entry
        /// The state as the animator file describes it.
        AnimatorConfiguration::State configuration;
    };

    /// Builds the states and enters the configuration's initial state; raises AnimatorException when that
    /// is not one of the states (also for a configuration without states).
    explicit Animator(const AnimatorConfiguration& animatorConfiguration);
    /// The transitions' conditions refer to this animator's parameters.
    Animator(const Animator&) = delete;
    Animator& operator=(const Animator&) = delete;
    /// Draws nothing into the window, so it never splits the scene's sprite runs.
    void drawInto(SpriteBatch&) override {}

    /// Links the game object's AnimatedSprite and starts the current state's animation at frame 0, at the
    /// sprite's own speed.
    void start() override;
    /// Advances the state clock; once fixedDuration and, with hasExitTime, exitTime times the animation's
    /// duration have passed, walks every transition of the state in order and plays each one that holds,
    /// so the last holding transition decides. Does nothing while no sprite is linked, since the exit time
    /// needs the sprite's animation table. Raises std::out_of_range when the state's name is not an
    /// animation of the sprite's sheet.
    void update() override;

    /// Switches to the named state, restarting its clock and, with a linked sprite, its animation from frame
    /// 0 at the state's speed. Requesting the current state does nothing. Raises AnimatorException
    /// "Animation state '<name>' not found!" for an unknown name, leaving the current state running.
    void play(const std::string& name);

    /// A copy of the animator file this animator plays.
    AnimatorConfiguration configuration;
    /// The states by name.
    std::unordered_map<std::string, std::shared_ptr<State>> states;
    /// The state being played; one of states.
    std::shared_ptr<State> currentState;
    /// Found in start; a sibling component of the same game object, so it lives as long as this animator
    /// unless removed.
    std::weak_ptr<AnimatedSprite> animatedSprite;
    /// Written directly by gameplay code; a name never written reads as false.
    std::unordered_map<std::string, bool> parameters;

private:
    bool holds(const std::vector<AnimatorConfiguration::Condition>& tests) const;
};

}  // namespace orn
