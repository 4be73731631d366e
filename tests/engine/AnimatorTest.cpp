#include "TestScenes.hpp"
#include "engine/Animator.hpp"

#include <gtest/gtest.h>

#include <initializer_list>
#include <stdexcept>

#include "AnimationTestAssets.hpp"
#include "engine/AnimatedSprite.hpp"
#include "engine/AnimatorException.hpp"
#include "engine/GameObject.hpp"
#include "engine/Scene.hpp"

using orn::AnimatedSprite;
using orn::Animator;
using orn::AnimatorConfiguration;

namespace {

using testsupport::EmptyScene;

/// A transition to followState whose tests are written as in an animator file ("name" or "!name").
AnimatorConfiguration::Transition to(const std::string& followState,
                                     std::initializer_list<std::string> tests = {}) {
    AnimatorConfiguration::Transition transition;
    transition.followState = followState;
    for (const std::string& test : tests) {
        if (test[0] == '!') {
            transition.evaluated.push_back({test.substr(1), false});
        } else {
            transition.evaluated.push_back({test, true});
        }
    }
    return transition;
}

AnimatorConfiguration::State state(const std::string& name,
                                   std::vector<AnimatorConfiguration::Transition> conditions,
                                   float speed = 1.f, float fixedDuration = 0.f, bool hasExitTime = false,
                                   float exitTime = 0.f) {
    AnimatorConfiguration::State record;
    record.name = name;
    record.speed = speed;
    record.fixedDuration = fixedDuration;
    record.hasExitTime = hasExitTime;
    record.exitTime = exitTime;
    record.conditions = std::move(conditions);
    return record;
}

AnimatorConfiguration config(const std::string& initialState,
                             std::vector<AnimatorConfiguration::State> states) {
    AnimatorConfiguration configuration;
    configuration.initialState = initialState;
    configuration.states = std::move(states);
    return configuration;
}

/// A game object with the "hero" animated sprite and an animator, driven by hand: start once, then one
/// animator update per frame at the given scaled frame time.
class AnimatorTest : public ::testing::Test {
protected:
    Animator& build(const AnimatorConfiguration& configuration, bool withSprite = true) {
        object = scene.createGameObject(0);
        if (withSprite) {
            sprite = object->addComponent<AnimatedSprite>("hero", "hero", "run");
        }
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
    EmptyScene scene;
    orn::GameObject* object = nullptr;
    AnimatedSprite* sprite = nullptr;
    Animator* animator = nullptr;
};

TEST_F(AnimatorTest, ConstructionEntersTheInitialState) {
    build(config("long", {state("run", {}), state("long", {})}));
    EXPECT_EQ(current(), "long");
    EXPECT_EQ(animator->states.size(), 2u);
    EXPECT_FLOAT_EQ(animator->currentState->elapsedTime, 0.f);

    try {
        Animator unknown(config("ghost", {state("run", {})}));
        ADD_FAILURE() << "no exception";
    } catch (const orn::AnimatorException& e) {
        EXPECT_STREQ(e.what(), "Animation state 'ghost' not found!");
    }
    EXPECT_THROW(Animator(config("idle", {})), orn::AnimatorException);
}

TEST_F(AnimatorTest, ALaterStateOfTheSameNameReplacesTheEarlierOne) {
    build(config("run", {state("run", {}, 1.f), state("long", {}), state("run", {}, 3.f)}));
    EXPECT_EQ(animator->states.size(), 2u);
    EXPECT_FLOAT_EQ(animator->states.at("run")->configuration.speed, 3.f);
    // The first record became current before it was replaced in the map.
    EXPECT_FLOAT_EQ(animator->currentState->configuration.speed, 1.f);
}

TEST_F(AnimatorTest, StartShowsTheCurrentStateAtTheSpritesOwnSpeed) {
    build(config("tick", {state("run", {}), state("tick", {}, 3.f)}));
    EXPECT_EQ(sprite->currentAnimation, "tick");
    EXPECT_EQ(sprite->currentFrame, 0);
    EXPECT_EQ(sprite->sprite.getTextureRect(), sf::IntRect(0, 0, 16, 16));
    // The initial state's speed reaches the sprite only with the first switch; a re-entry applies it.
    EXPECT_FLOAT_EQ(sprite->speed, 1.f);
    animator->play("run");
    EXPECT_FLOAT_EQ(sprite->speed, 1.f);
    animator->play("tick");
    EXPECT_FLOAT_EQ(sprite->speed, 3.f);
}

TEST_F(AnimatorTest, FixedDurationCountsStateTimeScaledBySpeed) {
    build(config("run", {state("run", {to("long")}, 2.f, 0.5f), state("long", {})}));
    frame(0.125f);
    EXPECT_EQ(current(), "run");
    EXPECT_FLOAT_EQ(animator->currentState->elapsedTime, 0.25f);
    frame(0.125f);
    EXPECT_EQ(current(), "long");
}

TEST_F(AnimatorTest, ExitTimeIsAFractionOfTheAnimationsDuration) {
    // "attack" lasts 600 ms.
    build(config("attack", {state("attack", {to("run")}, 1.f, 0.f, true, 1.f), state("run", {})}));
    frame(0.3f);
    EXPECT_EQ(current(), "attack");
    frame(0.3f);
    EXPECT_EQ(current(), "run");

    build(config("attack", {state("attack", {to("run")}, 1.f, 0.f, true, 0.5f), state("run", {})}));
    frame(0.2f);
    EXPECT_EQ(current(), "attack");
    frame(0.1f);
    EXPECT_EQ(current(), "run");
}

TEST_F(AnimatorTest, WithoutWaitingTimesTransitionsAreTestedAtOnce) {
    build(config("run", {state("run", {to("long")}), state("long", {})}));
    frame(0.f);
    EXPECT_EQ(current(), "long");
    EXPECT_EQ(sprite->currentAnimation, "long");
}

TEST_F(AnimatorTest, TheWalkGoesOnAfterASwitchAndTheLastHoldingTransitionDecides) {
    build(config("run", {state("run", {to("long"), to("attack", {"never"}), to("tick")}, 1.f),
                         state("long", {to("attack")}, 2.f), state("tick", {}, 0.5f), state("attack", {})}));
    animator->states.at("long")->elapsedTime = 5.f;
    sprite->currentFrame = 1;
    frame(0.1f);
    EXPECT_EQ(current(), "tick");
    // "long" was entered on the way (its clock restarted); its own transition to "attack" was not walked.
    EXPECT_FLOAT_EQ(animator->states.at("long")->elapsedTime, 0.f);
    EXPECT_EQ(sprite->currentAnimation, "tick");
    EXPECT_EQ(sprite->currentFrame, 0);
    EXPECT_FLOAT_EQ(sprite->speed, 0.5f);

    // A later transition to the state already entered in the walk changes nothing.
    build(config("run", {state("run", {to("long"), to("long")}), state("long", {})}));
    frame(0.f);
    EXPECT_EQ(current(), "long");
}

TEST_F(AnimatorTest, ParametersNeverWrittenReadAsFalse) {
    build(config("run", {state("run", {to("long", {"isGrounded"}), to("tick", {"!isGrounded"})}),
                         state("long", {}), state("tick", {})}));
    frame(0.f);
    EXPECT_EQ(current(), "tick");
    // Testing does not insert the parameter.
    EXPECT_TRUE(animator->parameters.empty());
}

TEST_F(AnimatorTest, AllTestsOfATransitionMustHold) {
    build(config("run", {state("run", {to("long", {"isGoingUp", "!isGrounded"})}), state("long", {})}));
    animator->parameters["isGoingUp"] = true;
    animator->parameters["isGrounded"] = true;
    frame(0.1f);
    EXPECT_EQ(current(), "run");
    animator->parameters["isGrounded"] = false;
    frame(0.1f);
    EXPECT_EQ(current(), "long");
    // Parameters are not consumed.
    EXPECT_TRUE(animator->parameters.at("isGoingUp"));
}

TEST_F(AnimatorTest, PlayingTheCurrentStateRestartsNothing) {
    build(config("run", {state("run", {}), state("long", {})}));
    for (int i = 0; i < 3; ++i) {
        AnimationTestAssets::setDeltaTime(0.1f);
        sprite->update();
        animator->play("run");
        animator->update();
    }
    EXPECT_EQ(sprite->currentFrame, 3);
    EXPECT_NEAR(animator->currentState->elapsedTime, 0.3f, 1e-5f);
}

TEST_F(AnimatorTest, PlayOfAnUnknownStateKeepsTheCurrentOne) {
    build(config("run", {state("run", {}), state("long", {})}));
    try {
        animator->play("fly");
        ADD_FAILURE() << "no exception";
    } catch (const orn::AnimatorException& e) {
        EXPECT_STREQ(e.what(), "Animation state 'fly' not found!");
    }
    EXPECT_EQ(current(), "run");
    EXPECT_EQ(sprite->currentAnimation, "run");

    // A transition to a state that does not exist fails the same way.
    build(config("run", {state("run", {to("nowhere")})}));
    EXPECT_THROW(frame(0.f), orn::AnimatorException);
}

TEST_F(AnimatorTest, AStateWithoutAnAnimationInTheSheetIsOutOfRange) {
    build(config("run", {state("run", {}), state("ghost", {})}));
    EXPECT_THROW(animator->play("ghost"), std::out_of_range);
    // The state was entered before the sprite's lookup failed; the duration lookup fails from then on.
    EXPECT_EQ(current(), "ghost");
    EXPECT_THROW(frame(0.1f), std::out_of_range);
}

TEST_F(AnimatorTest, WithoutASpriteOnlyTheStatesChange) {
    build(config("run", {state("run", {to("long")}), state("long", {})}), false);
    frame(0.1f);
    EXPECT_EQ(current(), "run");
    animator->play("long");
    EXPECT_EQ(current(), "long");
}

}  // namespace
