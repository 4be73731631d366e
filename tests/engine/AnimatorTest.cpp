#include "TestScenes.hpp"
#include "engine/Animator.hpp"

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>

#include "AnimationTestAssets.hpp"
#include "engine/AnimatedSprite.hpp"
#include "engine/AnimatorException.hpp"
#include "engine/GameObject.hpp"
#include "engine/Scene.hpp"

using orn::AnimatedSprite;
using orn::Animator;
using orn::AnimatorConfiguration;

namespace {

/// A transition to followState whose tests are written as in an animator file ("name" or "!name").
AnimatorConfiguration::Transition to(const std::string& followState,
                                     std::initializer_list<std::string> tests = {}) {
    AnimatorConfiguration::Transition transition{{}, followState};
    for (const std::string& test : tests) {
        transition.evaluated.push_back({test[0] == '!' ? test.substr(1) : test, test[0] != '!'});
    }
    return transition;
}

AnimatorConfiguration::State state(const std::string& name,
                                   std::vector<AnimatorConfiguration::Transition> conditions = {},
                                   float speed = 1.f, float fixedDuration = 0.f, float exitTime = -1.f) {
    return {
        name, speed, fixedDuration, exitTime >= 0.f, exitTime >= 0.f ? exitTime : 0.f, std::move(conditions)};
}

AnimatorConfiguration config(const std::string& initialState,
                             std::vector<AnimatorConfiguration::State> states) {
    return {initialState, std::move(states)};
}

/// A game object with the "hero" animated sprite and an animator, driven by hand: start once, then one
/// animator update per frame at the given scaled frame time.
class AnimatorTest : public ::testing::Test {
protected:
    Animator& build(const AnimatorConfiguration& configuration, bool withSprite = true) {
        object = scene.createGameObject(0);
        sprite = withSprite ? object->addComponent<AnimatedSprite>("hero", "hero", "run") : nullptr;
        animator = object->addComponent<Animator>(configuration);
        animator->start();
        return *animator;
    }
    void frame(float seconds) {
        AnimationTestAssets::setDeltaTime(seconds);
        animator->update();
    }
    const std::string& current() const { return animator->currentState->configuration.name; }

    AnimationTestAssets fixture;
    testsupport::EmptyScene scene;
    orn::GameObject* object = nullptr;
    AnimatedSprite* sprite = nullptr;
    Animator* animator = nullptr;
};

/// The states entered by updates of the given frame times after start, with the parameters set.
TEST_F(AnimatorTest, TransitionsWaitForTheirTimesAndTheLastOneThatHoldsDecides) {
    const struct {
        const char* what;
        AnimatorConfiguration configuration;
        std::map<std::string, bool> parameters;
        std::vector<std::pair<float, const char*>> frames;
    } walks[] = {{"the fixed duration counts state time, scaled by the speed",
                  config("run", {state("run", {to("long")}, 2.f, 0.5f), state("long")}),
                  {},
                  {{0.125f, "run"}, {0.125f, "long"}}},
                 {"the exit time is a fraction of the animation's 600 ms",
                  config("attack", {state("attack", {to("run")}, 1.f, 0.f, 0.5f), state("run")}),
                  {},
                  {{0.2f, "attack"}, {0.1f, "run"}}},
                 {"without waiting times at once; a parameter never written reads false",
                  config("run", {state("run", {to("long", {"isGrounded"}), to("tick", {"!isGrounded"})}),
                                 state("long"), state("tick")}),
                  {},
                  {{0.f, "tick"}}},
                 {"every test of a transition must hold",
                  config("run", {state("run", {to("long", {"isGoingUp", "!isGrounded"})}), state("long")}),
                  {{"isGoingUp", true}, {"isGrounded", true}},
                  {{0.1f, "run"}}},
                 {"every test holds",
                  config("run", {state("run", {to("long", {"isGoingUp", "!isGrounded"})}), state("long")}),
                  {{"isGoingUp", true}, {"isGrounded", false}},
                  {{0.1f, "long"}}},
                 // "long" is entered on the way and its own transition to "attack" is not walked.
                 {"the walk goes on after a switch",
                  config("run", {state("run", {to("long"), to("attack", {"never"}), to("tick")}),
                                 state("long", {to("attack")}), state("tick"), state("attack")}),
                  {},
                  {{0.1f, "tick"}}}};
    for (const auto& walk : walks) {
        SCOPED_TRACE(walk.what);
        build(walk.configuration);
        animator->parameters.insert(walk.parameters.begin(), walk.parameters.end());
        for (const auto& [seconds, expected] : walk.frames) {
            frame(seconds);
            EXPECT_EQ(current(), expected);
        }
        EXPECT_EQ(sprite->currentAnimation, current());
        EXPECT_EQ(animator->parameters.size(), walk.parameters.size()) << "tests insert no parameter";
    }
}

/// Start shows the initial state's first frame at the sprite's own speed; a switch restarts the animation
/// at the state's speed; playing the current state restarts nothing.
TEST_F(AnimatorTest, PlayRestartsTheAnimationOnlyOnASwitch) {
    build(config("tick", {state("run"), state("tick", {}, 3.f)}));
    EXPECT_EQ(sprite->currentAnimation, "tick");
    EXPECT_EQ(sprite->sprite.getTextureRect(), sf::IntRect(0, 0, 16, 16));
    EXPECT_FLOAT_EQ(sprite->speed, 1.f);
    animator->play("run");
    for (int i = 0; i < 3; ++i) {
        AnimationTestAssets::setDeltaTime(0.1f);
        sprite->update();
        animator->play("run");
        animator->update();
    }
    EXPECT_EQ(sprite->currentFrame, 3);
    EXPECT_NEAR(animator->currentState->elapsedTime, 0.3f, 1e-5f);
    animator->play("tick");
    EXPECT_EQ(sprite->currentFrame, 0);
    EXPECT_FLOAT_EQ(sprite->speed, 3.f);
}

TEST_F(AnimatorTest, UnknownStatesRaiseAndWithoutASpriteOnlyTheStatesChange) {
    try {
        build(config("run", {state("run"), state("long")})).play("fly");
        ADD_FAILURE() << "no exception";
    } catch (const orn::AnimatorException& e) {
        EXPECT_STREQ(e.what(), "Animation state 'fly' not found!");
    }
    EXPECT_EQ(current(), "run");
    EXPECT_EQ(sprite->currentAnimation, "run");
    EXPECT_THROW(Animator(config("ghost", {state("run")})), orn::AnimatorException);
    EXPECT_THROW(Animator(config("idle", {})), orn::AnimatorException);
    build(config("run", {state("run", {to("nowhere")})}));
    EXPECT_THROW(frame(0.f), orn::AnimatorException);

    build(config("run", {state("run", {to("long")}), state("long")}), false);
    frame(0.1f);
    EXPECT_EQ(current(), "run");
    animator->play("long");
    EXPECT_EQ(current(), "long");
}

}  // namespace
