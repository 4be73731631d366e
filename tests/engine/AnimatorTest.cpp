#include "TestScenes.hpp"
#include "engine/Animator.hpp"

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <tuple>
#include <vector>

#include "AnimationTestAssets.hpp"
#include "ExpectLoadError.hpp"
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

TEST(AnimatedSpriteTest, TagDirectionsAndRepeatCountsOrderTheFrames) {
    AnimationTestAssets fixture;
    AnimationTestAssets::setDeltaTime(0.1f);
    // Four frames of 100 ms along the sheet's top row, under one tag per direction and repeat count.
    std::string frames, tags;
    const std::pair<const char*, const char*> tagged[] = {
        {"plain", ""},
        {"forward", R"(, "direction": "forward")"},
        {"reverse", R"(, "direction": "reverse")"},
        {"pingpong", R"(, "direction": "pingpong")"},
        {"pingpong_reverse", R"(, "direction": "pingpong_reverse")"},
        {"forward2", R"(, "direction": "forward", "repeat": "2")"},
        {"reverse1", R"(, "direction": "reverse", "repeat": 1)"},
        {"pingpong2", R"(, "direction": "pingpong", "repeat": "2")"},
        {"pingpong_reverse3", R"(, "direction": "pingpong_reverse", "repeat": "3")"}};
    for (int i = 0; i < 4; ++i) {
        frames += (i > 0 ? "," : "") + std::string(R"({"frame": {"x": )") + std::to_string(16 * i) +
                  R"(, "y": 0, "w": 16, "h": 16}, "duration": 100})";
    }
    for (const auto& [name, extra] : tagged) {
        tags += std::string(tags.empty() ? "" : ",") + R"({"name": ")" + name + R"(", "from": 0, "to": 3)" +
                extra + "}";
    }
    fixture.dir.write("dirs.json",
                      R"({"frames": [)" + frames + R"(], "meta": {"frameTags": [)" + tags + "]}}");
    fixture.assets.loadSpriteAnimation("dirs", "dirs.json");

    using Order = std::vector<int>;
    const struct {
        const char* tag;
        float speed;
        bool loop;
        Order shown;
    } cases[] = {
        // Looping, at speed 1 every update shows the next frame; at speed 2 every other one.
        {"plain", 1.f, true, {0, 1, 2, 3, 0, 1, 2, 3, 0, 1}},
        {"forward", 2.f, true, {0, 2, 0, 2, 0, 2}},
        {"reverse", 1.f, true, {3, 2, 1, 0, 3, 2, 1, 0, 3, 2}},
        {"reverse", 2.f, true, {3, 1, 3, 1, 3, 1}},
        {"pingpong", 1.f, true, {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 1}},
        {"pingpong", 2.f, true, {0, 2, 2, 0, 2, 2, 0}},
        {"pingpong_reverse", 1.f, true, {3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2}},
        {"pingpong_reverse", 2.f, true, {3, 1, 1, 3, 1, 1, 3}},
        // Without loop, one pass (there and back for a ping-pong), then the last shown frame holds.
        {"plain", 1.f, false, {0, 1, 2, 3, 3, 3}},
        {"reverse", 2.f, false, {3, 1, 0, 0}},
        {"pingpong", 1.f, false, {0, 1, 2, 3, 2, 1, 0, 0, 0}},
        {"pingpong_reverse", 2.f, false, {3, 1, 1, 3, 3, 3}},
        // A repeat count ends the play even when the sprite loops; a ping-pong pass is one direction.
        {"forward2", 1.f, true, {0, 1, 2, 3, 0, 1, 2, 3, 3, 3}},
        {"forward2", 2.f, true, {0, 2, 0, 2, 3, 3}},
        {"reverse1", 1.f, true, {3, 2, 1, 0, 0, 0}},
        {"pingpong2", 1.f, true, {0, 1, 2, 3, 2, 1, 0, 0, 0}},
        {"pingpong2", 2.f, false, {0, 2, 2, 0, 0, 0}},
        {"pingpong_reverse3", 1.f, true, {3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 0, 0}}};
    for (const auto& c : cases) {
        AnimatedSprite sprite("hero", "dirs", c.tag);
        sprite.speed = c.speed;
        sprite.loop = c.loop;
        // The frames shown by successive updates, as their index in the sheet's top row (x / 16).
        Order shown;
        while (shown.size() < c.shown.size()) {
            sprite.update();
            shown.push_back(sprite.sprite.getTextureRect().left / 16);
        }
        EXPECT_EQ(shown, c.shown) << c.tag << " at speed " << c.speed << (c.loop ? ", looping" : "");
    }
}

class AnimatorConfigurationTest : public ::testing::Test {
protected:
    std::shared_ptr<orn::AnimatorConfiguration> animator(const std::string& text) {
        return orn::AnimatorConfiguration::loadFromFile(dir.write("anim.json", text), "anim.json");
    }

    AssetTestDir dir;
};

TEST_F(AnimatorConfigurationTest,
       ListsStatesWithTheirTransitionsAndParameterTestsAndRejectsTheFirstWrongMember) {
    const auto config = animator(R"({"initialState": "nowhere", "states": [
        {"name": "idle", "speed": 1.0, "fixedDuration": 0.0, "hasExitTime": false, "exitTime": 0.0,
         "conditions": [{"evaluated": ["isGoingUp", "!isGrounded"], "followState": "jump"},
                        {"evaluated": [], "followState": "run"}]},
        {"name": "slash", "speed": 2.5, "fixedDuration": 0.25, "hasExitTime": true, "exitTime": 1e0,
         "conditions": [{"evaluated": ["!"], "followState": "idle"}]}]})");
    EXPECT_EQ(config->initialState, "nowhere") << "names are not resolved";
    ASSERT_EQ(config->states.size(), 2u);
    const auto& idle = config->states[0];
    ASSERT_EQ(idle.conditions.size(), 2u);
    EXPECT_EQ(idle.conditions[0].followState, "jump");
    ASSERT_EQ(idle.conditions[0].evaluated.size(), 2u);
    EXPECT_EQ(idle.conditions[0].evaluated[0].parameter, "isGoingUp");
    EXPECT_TRUE(idle.conditions[0].evaluated[0].expected);
    EXPECT_EQ(idle.conditions[0].evaluated[1].parameter, "isGrounded");
    EXPECT_FALSE(idle.conditions[0].evaluated[1].expected);
    EXPECT_TRUE(idle.conditions[1].evaluated.empty());
    const auto& slash = config->states[1];
    EXPECT_EQ(
        std::make_tuple(slash.name, slash.speed, slash.fixedDuration, slash.hasExitTime, slash.exitTime),
        std::make_tuple(std::string("slash"), 2.5f, 0.25f, true, 1.f));
    EXPECT_EQ(slash.conditions[0].evaluated[0].parameter, "") << "\"!\" alone tests the empty name for false";
    EXPECT_FALSE(slash.conditions[0].evaluated[0].expected);

    // The first member missing in reading order is reported; elements of the wrong type name the file.
    const std::string state = R"({"initialState": "idle", "states": [)";
    const std::string head =
        state + R"({"name": "run", "speed": 1.0, "fixedDuration": 0.0, "hasExitTime": false,
                                      "exitTime": 0.0, "conditions": [)";
    const std::pair<std::string, std::string> rejected[] = {
        {"", "String 'initialState' does not exist!"},
        {"[\"idle\"]", "String 'initialState' does not exist!"},
        {R"({"initialState": "idle", "states": {}})", "Array 'states' does not exist!"},
        {state + "{}]}", "String 'name' does not exist!"},
        {state + R"({"name": "a", "speed": 2}]})", "Float 'speed' does not exist!"},
        {state + R"({"name": "a", "speed": 1.0, "fixedDuration": "0"}]})",
         "Float 'fixedDuration' does not exist!"},
        {state + R"({"name": "a", "speed": 1.0, "fixedDuration": 0.0, "hasExitTime": 0}]})",
         "Bool 'hasExitTime' does not exist!"},
        {state + R"({"name": "a", "speed": 1.0, "fixedDuration": 0.0, "hasExitTime": true}]})",
         "Float 'exitTime' does not exist!"},
        {state +
             R"({"name": "a", "speed": 1.0, "fixedDuration": 0.0, "hasExitTime": true, "exitTime": 1.0}]})",
         "Array 'conditions' does not exist!"},
        {head + R"({"followState": "b"}]}]})", "Array 'evaluated' does not exist!"},
        {head + R"({"evaluated": []}]}]})", "String 'followState' does not exist!"},
        {head + R"({"evaluated": ["isGrounded", ""], "followState": "b"}]}]})", "Value is an empty string!"},
        {state + "7]}", "State 0 in 'anim.json' is not an object!"},
        {head + R"("jump"]}]})", "The condition 0 of the state 'run' in 'anim.json' is not an object!"},
        {head +
             R"({"evaluated": [], "followState": "a"}, {"evaluated": ["x", true], "followState": "b"}]}]})",
         "Parameter test 1 of the condition 1 of the state 'run' in 'anim.json' is not a string!"}};
    for (const auto& c : rejected) {
        expectLoadError([&] { animator(c.first); }, c.second,
                        c.second.find("'anim.json'") != std::string::npos ? "anim.json" : "");
    }
    expectLoadError([&] { orn::AnimatorConfiguration::loadFromFile(dir.path("x.json"), "x.json"); },
                    "Could not open file!", dir.path("x.json"));
}

}  // namespace
