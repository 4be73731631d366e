#include "engine/AnimatorConfiguration.hpp"

#include <gtest/gtest.h>

#include "AssetTestDir.hpp"
#include "ExpectLoadError.hpp"

using orn::AnimatorConfiguration;

namespace {

const char* const kPlayerAnimator = R"({
    "initialState": "idle",
    "states": [
        {"name": "idle", "speed": 1.0, "fixedDuration": 0.0, "hasExitTime": false, "exitTime": 0.0,
         "conditions": [
            {"evaluated": ["isGoingUp", "!isGrounded"], "followState": "jump"},
            {"evaluated": [], "followState": "run"}
         ]},
        {"name": "slash", "speed": 2.5, "fixedDuration": 0.25, "hasExitTime": true, "exitTime": 1e0,
         "conditions": [{"evaluated": ["!"], "followState": "idle"}]},
        {"name": "hit", "speed": 1.0, "fixedDuration": 0.0, "hasExitTime": false, "exitTime": 0.0,
         "conditions": []}
    ]
})";

std::string state(const std::string& members) {
    return R"({"initialState": "idle", "states": [)" + members + "]}";
}

const std::string kValidState =
    R"({"name": "idle", "speed": 1.0, "fixedDuration": 0.0, "hasExitTime": false, "exitTime": 0.0, "conditions": []})";

class AnimatorConfigurationTest : public ::testing::Test {
protected:
    std::shared_ptr<AnimatorConfiguration> load(const std::string& text) {
        return AnimatorConfiguration::loadFromFile(dir.write("anim.json", text), "anim.json");
    }
    void expectRejected(const std::string& text, const std::string& message, const std::string& path = "") {
        expectLoadError([&] { load(text); }, message, path);
    }

    AssetTestDir dir;
};

TEST_F(AnimatorConfigurationTest, ReadsStatesTransitionsAndParameterTests) {
    const auto config = load(kPlayerAnimator);
    EXPECT_EQ(config->initialState, "idle");
    ASSERT_EQ(config->states.size(), 3u);

    const AnimatorConfiguration::State& idle = config->states[0];
    EXPECT_EQ(idle.name, "idle");
    ASSERT_EQ(idle.conditions.size(), 2u);
    EXPECT_EQ(idle.conditions[0].followState, "jump");
    ASSERT_EQ(idle.conditions[0].evaluated.size(), 2u);
    EXPECT_EQ(idle.conditions[0].evaluated[0].parameter, "isGoingUp");
    EXPECT_TRUE(idle.conditions[0].evaluated[0].expected);
    EXPECT_EQ(idle.conditions[0].evaluated[1].parameter, "isGrounded");
    EXPECT_FALSE(idle.conditions[0].evaluated[1].expected);
    EXPECT_TRUE(idle.conditions[1].evaluated.empty());

    const AnimatorConfiguration::State& slash = config->states[1];
    EXPECT_FLOAT_EQ(slash.speed, 2.5f);
    EXPECT_FLOAT_EQ(slash.fixedDuration, 0.25f);
    EXPECT_TRUE(slash.hasExitTime);
    EXPECT_FLOAT_EQ(slash.exitTime, 1.f);
    // "!" alone tests the parameter with the empty name for false.
    ASSERT_EQ(slash.conditions[0].evaluated.size(), 1u);
    EXPECT_EQ(slash.conditions[0].evaluated[0].parameter, "");
    EXPECT_FALSE(slash.conditions[0].evaluated[0].expected);

    EXPECT_TRUE(config->states[2].conditions.empty());
}

TEST_F(AnimatorConfigurationTest, DefaultStateRecord) {
    const AnimatorConfiguration::State state;
    EXPECT_EQ(state.name, "");
    EXPECT_FLOAT_EQ(state.speed, 1.f);
    EXPECT_FLOAT_EQ(state.fixedDuration, 0.f);
    EXPECT_FALSE(state.hasExitTime);
    EXPECT_FLOAT_EQ(state.exitTime, 0.f);
    EXPECT_TRUE(state.conditions.empty());
}

TEST_F(AnimatorConfigurationTest, NamesAreNotResolvedAndEmptyStatesAreAccepted) {
    const auto config = load(R"({"initialState": "nowhere", "states": []})");
    EXPECT_EQ(config->initialState, "nowhere");
    EXPECT_TRUE(config->states.empty());
}

TEST_F(AnimatorConfigurationTest, FirstMissingMemberInReadingOrderIsReported) {
    expectRejected(R"({"states": []})", "String 'initialState' does not exist!");
    expectRejected(R"({"initialState": "idle", "states": {}})", "Array 'states' does not exist!");
    expectRejected(state("{}"), "String 'name' does not exist!");
    expectRejected(state(R"({"name": 1})"), "String 'name' does not exist!");
    expectRejected(state(R"({"name": "a", "speed": 2})"), "Float 'speed' does not exist!");
    expectRejected(state(R"({"name": "a", "speed": 1.0, "fixedDuration": "0"})"),
                   "Float 'fixedDuration' does not exist!");
    expectRejected(state(R"({"name": "a", "speed": 1.0, "fixedDuration": 0.0, "hasExitTime": 0})"),
                   "Bool 'hasExitTime' does not exist!");
    expectRejected(state(R"({"name": "a", "speed": 1.0, "fixedDuration": 0.0, "hasExitTime": true})"),
                   "Float 'exitTime' does not exist!");
    expectRejected(
        state(R"({"name": "a", "speed": 1.0, "fixedDuration": 0.0, "hasExitTime": true, "exitTime": 1.0})"),
        "Array 'conditions' does not exist!");

    const std::string head = R"({"name": "a", "speed": 1.0, "fixedDuration": 0.0, "hasExitTime": false,
                                "exitTime": 0.0, "conditions": [)";
    expectRejected(state(head + R"({"followState": "b"}]})"), "Array 'evaluated' does not exist!");
    expectRejected(state(head + R"({"evaluated": []}]})"), "String 'followState' does not exist!");
    expectRejected(state(head + R"({"evaluated": ["isGrounded", ""], "followState": "b"}]})"),
                   "Value is an empty string!");
}

TEST_F(AnimatorConfigurationTest, MalformedOrEmptyDocumentsFailOnTheFirstMember) {
    expectRejected("", "String 'initialState' does not exist!");
    expectRejected("[\"idle\"]", "String 'initialState' does not exist!");
    const std::string full = dir.path("anim.json");
    expectRejected(
        "{\"initialState\": \"idle\",",
        "The JSON file '" + full + "' does not parse at offset 24: Missing a name for object member!", full);
    expectLoadError([&] { AnimatorConfiguration::loadFromFile(dir.path("x.json"), "x.json"); },
                    "Could not open file!", dir.path("x.json"));
}

TEST_F(AnimatorConfigurationTest, ElementsOfTheWrongTypeAreRejectedNamingTheFile) {
    expectRejected(state(kValidState + ", 7"), "State 1 in 'anim.json' is not an object!", "anim.json");
    const std::string head = R"({"name": "run", "speed": 1.0, "fixedDuration": 0.0, "hasExitTime": false,
                                "exitTime": 0.0, "conditions": [)";
    expectRejected(state(head + R"("jump"]})"),
                   "The condition 0 of the state 'run' in 'anim.json' is not an object!", "anim.json");
    expectRejected(state(head + R"({"evaluated": [], "followState": "a"}, {"evaluated": ["x", true],
                                   "followState": "b"}]})"),
                   "Parameter test 1 of the condition 1 of the state 'run' in 'anim.json' is not a string!",
                   "anim.json");
}

}  // namespace
