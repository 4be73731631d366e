#include "engine/SpriteAnimation.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "AssetTestDir.hpp"
#include "ExpectLoadError.hpp"

using orn::SpriteAnimation;

namespace {

/// An untrimmed 8 x 8 frame of the editor's export at (x, 0) lasting `duration` (as written in the file).
std::string frame(int x, const std::string& duration = "100") {
    return R"({"frame": {"x": )" + std::to_string(x) + R"(, "y": 0, "w": 8, "h": 8}, "rotated": false, )" +
           R"("trimmed": false, "duration": )" + duration + "}";
}

/// A tag over the frames from..to, with the members in `more` (", \"direction\": ...").
std::string tag(const std::string& name, int from, int to, const std::string& more = "") {
    return R"({"name": ")" + name + R"(", "from": )" + std::to_string(from) + R"(, "to": )" +
           std::to_string(to) + more + "}";
}

std::string sheet(const std::string& frames, const std::string& tags) {
    return R"({"frames": [)" + frames + R"(], "meta": {"app": "test", "image": "sheet.png", "frameTags": [)" +
           tags + "]}}";
}

class SpriteAnimationTest : public ::testing::Test {
protected:
    std::shared_ptr<SpriteAnimation> load(const std::string& text) {
        return SpriteAnimation::loadFromFile(dir.write("sheet.json", text), "sheet.json");
    }

    AssetTestDir dir;
};

/// The frames written as an array or, in the editor's hash layout, as members named after their files (here
/// in an order that sorts differently from the frames'): the file's order is what counts. Tags share frames;
/// the first tag of a name wins; frames no tag covers are not read.
TEST_F(SpriteAnimationTest, BothLayoutsReadTheSameAnimations) {
    const std::vector<std::string> frames = {
        frame(0), frame(8, "120"),
        R"({"frame": {"x": 16, "y": 0, "w": 3, "h": 5}, "trimmed": true, "spriteSourceSize": {"x": 2, "y": 1,
            "w": 3, "h": 5}, "sourceSize": {"w": 8, "h": 8}, "duration": 80})",
        R"({"frame": {"x": 24, "y": 0, "w": 8, "h": 8}, "trimmed": false, "spriteSourceSize": 3, "duration": 90})",
        R"({"frame": 7})"};
    const std::string tags = tag("walk", 0, 3, R"(, "direction": "pingpong", "repeat": "2")") + "," +
                             tag("turn", 1, 2, R"(, "direction": "reverse")") + "," + tag("idle", 3, 3) +
                             "," + tag("idle", 0, 0);
    std::string array, hash;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        array += (i > 0 ? "," : "") + frames[i];
        hash += (i > 0 ? ", \"hero " : "\"hero ") + std::to_string(frames.size() - i) +
                ".aseprite\": " + frames[i];
    }
    const auto fromArray = load(sheet(array, tags));
    const auto fromHash = load(R"({"frames": {)" + hash + R"(}, "meta": {"frameTags": [)" + tags + "]}}");
    for (const auto& read : {fromArray, fromHash}) {
        ASSERT_EQ(read->animations.size(), 3u);
        EXPECT_EQ(read->getFrameCount("walk"), 4);
        EXPECT_EQ(read->animations.at("walk").duration, 390);
        EXPECT_EQ(read->getAnimation("walk").repeat, 2);
        EXPECT_EQ(read->getFrame("turn", 1).rect, sf::IntRect(16, 0, 3, 5));
        EXPECT_EQ(read->getFrame("turn", 1).offset, sf::Vector2i(2, 1));
        EXPECT_EQ(read->getFrame("turn", 0).duration, 120);
        EXPECT_EQ(read->getFrame("idle", 0).rect.left, 24);
        EXPECT_EQ(read->getFrameCount("idle"), 1);
    }
    // Lookups: indices wrap, negative ones and unknown names raise.
    EXPECT_EQ(fromHash->getFrame("walk", 6).rect.left, 16);
    EXPECT_THROW(fromHash->getFrame("walk", -1), std::out_of_range);
    EXPECT_THROW(fromHash->getDuration("Walk"), std::out_of_range);
}

/// How long a tag plays: frames of 100, 200 and 400 ms, played 0 1 2; 2 1 0 three times; 2 1 0 1 per cycle;
/// 0 1 2 1 0 1 2; 2 1 0 1 2; a ping-pong of one frame shows it once.
TEST_F(SpriteAnimationTest, DurationsCountEveryPassOfTheTagsDirection) {
    const auto animation =
        load(sheet(frame(0) + "," + frame(8, "200") + "," + frame(16, "400"),
                   tag("plain", 0, 2) + "," + tag("r", 0, 2, R"(, "direction": "reverse", "repeat": "3")") +
                       "," + tag("pr", 0, 2, R"(, "direction": "pingpong_reverse")") + "," +
                       tag("p3", 0, 2, R"(, "direction": "pingpong", "repeat": 3)") + "," +
                       tag("pr2", 0, 2, R"(, "direction": "pingpong_reverse", "repeat": 2)") + "," +
                       tag("p", 0, 2, R"(, "direction": "pingpong", "repeat": 2147483647)") + "," +
                       tag("one", 1, 1, R"(, "direction": "pingpong", "repeat": 5)")));
    const std::vector<std::pair<const char*, float>> durations = {
        {"plain", 0.7f}, {"r", 2.1f},         {"pr", 0.9f}, {"p3", 1.6f},
        {"pr2", 1.3f},   {"p", 966367641.4f}, {"one", 0.2f}};
    for (const auto& [name, seconds] : durations) {
        EXPECT_FLOAT_EQ(animation->getDuration(name), seconds) << name;
    }
}

/// Each fault is reported in reading order, naming the file.
TEST_F(SpriteAnimationTest, RefusalsNameTheFirstFault) {
    const std::string one = tag("a", 0, 0);
    const std::string two = frame(0) + "," + frame(8);
    const std::string rect = R"("frame": {"x": 0, "y": 0, "w": 8, "h": 8}, "duration": 100, "trimmed": true)";
    const std::string where = "The frame tag 'a' in 'sheet.json' ";
    const std::pair<std::string, std::string> refused[] = {
        {R"({"frames": []})", "Object 'meta' is missing!"},
        {R"({"meta": [], "frames": []})", "Object 'meta' is missing!"},
        {R"({"meta": {"frameTags": {}}, "frames": []})", "Object 'meta' does not have an array 'frameTags'!"},
        {R"({"meta": {"frameTags": []}})", "Frame tags are missing!"},
        {R"({"frames": "a.aseprite", "meta": {"frameTags": [)" + one + "]}}", "Array 'frames' is missing!"},
        {R"({"frames": {"a 0": )" + frame(0) + R"(, "a 1": 5}, "meta": {"frameTags": [)" + tag("a", 0, 1) +
             "]}}",
         "Object 'frame' does not exist!"},
        {sheet(R"({"frame": [0, 0, 8, 8], "duration": 100})", one), "Object 'frame' does not exist!"},
        {sheet(R"({"frame": {"y": 0, "w": 8, "h": 8}, "duration": 100})", one),
         "Object 'frame' does not have an integer 'x'!"},
        {sheet(R"({"frame": {"x": 0, "y": 0, "w": 4294967296, "h": 8}, "duration": 100})", one),
         "Object 'frame' does not have an integer 'w'!"},
        {sheet(frame(0, "100.0"), one), "Object does not have an integer 'duration'!"},
        {sheet(frame(0, "0"), one),
         "Frame 0 of the frame tag 'a' in 'sheet.json' does not have a positive 'duration'!"},
        {sheet(frame(0, "2147483647") + "," + frame(0, "1"), tag("a", 0, 1)),
         where + "lasts longer than 2147483647 milliseconds!"},
        {sheet("{" + rect + R"(, "sourceSize": {"w": 8, "h": 8}})", one),
         "Object 'spriteSourceSize' does not exist!"},
        {sheet("{" + rect + R"(, "spriteSourceSize": {"x": 1, "y": 2}, "sourceSize": {"w": 8.5, "h": 8}})",
               one),
         "Object 'sourceSize' does not have an integer 'w'!"},
        {sheet(two, "3"), "Frame tag 0 in 'sheet.json' is not an object!"},
        {sheet(two, one + R"(, {"name": 4, "from": 0, "to": 1})"),
         "Frame tag 1 in 'sheet.json' does not have a string 'name'!"},
        {sheet(two, R"({"name": "a", "from": "0", "to": 1})"),
         "Frame tag 0 in 'sheet.json' does not have an integer 'from'!"},
        {sheet(two, R"({"name": "a", "from": 0})"),
         "Frame tag 0 in 'sheet.json' does not have an integer 'to'!"},
        {sheet(two, tag("a", 0, 2)), where + "covers frames outside the array 'frames'!"},
        {sheet(two, tag("a", -1, 1)), where + "covers frames outside the array 'frames'!"},
        {sheet(two, tag("a", 1, 0)), where + "has no frames: 'from' is greater than 'to'!"}};
    for (const auto& refusal : refused) {
        expectLoadError([&] { load(refusal.first); }, refusal.second, "sheet.json");
    }
    for (const char* direction : {R"("Forward")", "1"}) {
        expectLoadError(
            [&] { load(sheet(two, tag("a", 0, 1, std::string(R"(, "direction": )") + direction))); },
            where + "does not have a known 'direction'!", "sheet.json");
    }
    for (const char* repeat : {"-1", "1.0", R"("")", R"("2x")", R"("2147483648")", R"("99999999999")"}) {
        expectLoadError([&] { load(sheet(two, tag("a", 0, 1, std::string(R"(, "repeat": )") + repeat))); },
                        where + "does not have a 'repeat' count from 0 to 2147483647!", "sheet.json");
    }
    expectLoadError([&] { SpriteAnimation::loadFromFile(dir.path("none.json"), "none.json"); },
                    "Could not open file!", dir.path("none.json"));
}

}  // namespace
