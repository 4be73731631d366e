#include "engine/Animator.hpp"

#include "engine/AnimatedSprite.hpp"
#include "engine/AnimatorException.hpp"
#include "engine/GameObject.hpp"
#include "engine/Time.hpp"

namespace orn {

Animator::Animator(const AnimatorConfiguration& animatorConfiguration)
    : configuration(animatorConfiguration) {
    for (const AnimatorConfiguration::State& record : configuration.states) {
        auto state = std::make_shared<State>();
        state->configuration = record;
        states[record.name] = state;
        if (!currentState) {
            currentState = state;
        }
        for (const AnimatorConfiguration::Transition& transition : record.conditions) {
            state->transitions.push_back(
                {[this, tests = transition.evaluated] { return holds(tests); }, transition.followState});
        }
    }
    play(configuration.initialState);
}

bool Animator::holds(const std::vector<AnimatorConfiguration::Condition>& tests) const {
    for (const AnimatorConfiguration::Condition& test : tests) {
        const auto found = parameters.find(test.parameter);
        const bool value = found != parameters.end() && found->second;
        if (value != test.expected) {
            return false;
        }
    }
    return true;
}

void Animator::start() {
    animatedSprite = gameObject->getComponent<AnimatedSprite>();
    const auto sprite = animatedSprite.lock();
    if (!currentState || !sprite) {
        return;
    }
    const std::string& name = currentState->configuration.name;
    sprite->currentAnimation = name;
    sprite->showFrame();
    sprite->elapsedTime = 0.f;
    sprite->currentFrame = 0;
}

void Animator::update() {
    const auto sprite = animatedSprite.lock();
    if (!currentState || !sprite) {
        return;
    }
    // Held here because a switch may drop the last other owner of the state whose transitions are walked.
    const std::shared_ptr<State> state = currentState;
    const AnimatorConfiguration::State& record = state->configuration;
    state->elapsedTime += record.speed * Time::getInstance().deltaTime;
    if (record.fixedDuration > state->elapsedTime) {
        return;
    }
    const float length = sprite->spriteAnimation.getDuration(record.name);
    if (record.hasExitTime && record.exitTime * length > state->elapsedTime) {
        return;
    }
    for (const Transition& transition : state->transitions) {
        if (transition.condition()) {
            play(transition.followState);
        }
    }
}

void Animator::play(const std::string& name) {
    if (currentState && currentState->configuration.name == name) {
        return;
    }
    const auto found = states.find(name);
    if (found == states.end()) {
        throw AnimatorException("Animation state '" + name + "' not found!");
    }
    currentState = found->second;
    currentState->elapsedTime = 0.f;

    if (const auto sprite = animatedSprite.lock()) {
        sprite->currentAnimation = name;
        sprite->showFrame();
        sprite->elapsedTime = 0.f;
        sprite->currentFrame = 0;
        sprite->speed = currentState->configuration.speed;
    }
}

}  // namespace orn
