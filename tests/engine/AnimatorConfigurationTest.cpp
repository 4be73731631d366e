#include <gtest/gtest.h>

#include "AssetTestDir.hpp"
#include "ExpectLoadError.hpp"
#include "engine/AnimatorConfiguration.hpp"

namespace {

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
