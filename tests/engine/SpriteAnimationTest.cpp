#include "engine/SpriteAnimation.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

#include "AssetTestDir.hpp"
#include "ExpectLoadError.hpp"

using orn::SpriteAnimation;

namespace {

std::string frame(int x, int y, int w, int h, const std::string& duration) {
    return R"({"filename": "f.aseprite", "frame": {"x": )" + std::to_string(x) + R"(, "y": )" +
           std::to_string(y) + R"(, "w": )" + std::to_string(w) + R"(, "h": )" + std::to_string(h) +
           R"(}, "rotated": false, "trimmed": false, "duration": )" + duration + "}";
}

std::string tag(const std::string& name, int from, int to) {
    return R"({"name": ")" + name + R"(", "from": )" + std::to_string(from) + R"(, "to": )" +
           std::to_string(to) + R"(, "direction": "pingpong"})";
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
    void expectRejected(const std::string& text, const std::string& message) {
        expectLoadError([&] { load(text); }, message, "sheet.json");
    }

    AssetTestDir dir;
};

TEST_F(SpriteAnimationTest, ReadsTagsIntoAnimationsOfSharedFrames) {
    const std::string frames = frame(0, 0, 32, 48, "100") + "," + frame(32, 0, 32, 48, "100") + "," +
                               frame(64, 0, 32, 48, "150") + "," + frame(96, 0, 32, 48, "50");
    const auto animation =
        load(sheet(frames, tag("walk", 0, 3) + "," + tag("tail", 2, 3) + "," + tag("one", 1, 1)));

    ASSERT_EQ(animation->animations.size(), 3u);
    EXPECT_EQ(animation->getFrameCount("walk"), 4);
    EXPECT_EQ(animation->getFrameCount("tail"), 2);
    EXPECT_EQ(animation->getFrameCount("one"), 1);
    EXPECT_EQ(animation->animations.at("walk").duration, 400);
    EXPECT_EQ(animation->animations.at("tail").duration, 200);
    EXPECT_FLOAT_EQ(animation->getDuration("walk"), 0.4f);
    EXPECT_EQ(animation->getFrame("tail", 0).rect, sf::IntRect(64, 0, 32, 48));
    EXPECT_EQ(animation->getFrame("tail", 0).duration, 150);
    EXPECT_EQ(animation->getFrame("one", 0).rect, sf::IntRect(32, 0, 32, 48));
}

TEST_F(SpriteAnimationTest, FrameIndexWrapsAndUnknownNamesAreOutOfRange) {
    const auto animation = load(
        sheet(frame(0, 0, 8, 8, "100") + "," + frame(8, 0, 8, 8, "100") + "," + frame(16, 0, 8, 8, "100"),
              tag("run", 0, 2)));
    EXPECT_EQ(animation->getFrame("run", 4).rect.left, 8);
    EXPECT_EQ(animation->getFrame("run", 3).rect.left, 0);
    EXPECT_THROW(animation->getFrame("run", -1), std::out_of_range);
    EXPECT_THROW(animation->getFrame("Run", 0), std::out_of_range);
    EXPECT_THROW(animation->getFrameCount("jump"), std::out_of_range);
    EXPECT_THROW(animation->getDuration("jump"), std::out_of_range);
}

TEST_F(SpriteAnimationTest, FirstTagOfANameWinsAndUncoveredFramesAreNotRead) {
    const std::string frames =
        frame(0, 0, 8, 8, "100") + "," + frame(8, 0, 8, 8, "200") + R"(, {"frame": 7})";
    const auto animation = load(sheet(frames, tag("idle", 0, 0) + "," + tag("idle", 1, 1)));
    ASSERT_EQ(animation->getFrameCount("idle"), 1);
    EXPECT_EQ(animation->getFrame("idle", 0).duration, 100);
}

TEST_F(SpriteAnimationTest, StructureChecksComeInOrder) {
    const std::string oneFrame = frame(0, 0, 8, 8, "100");
    expectRejected(R"({"frames": []})", "Object 'meta' is missing!");
    expectRejected(R"({"meta": [], "frames": []})", "Object 'meta' is missing!");
    expectRejected(R"({"meta": {"frameTags": {}}, "frames": []})",
                   "Object 'meta' does not have an array 'frameTags'!");
    // The empty tag list is reported before the missing frames.
    expectRejected(R"({"meta": {"frameTags": []}})", "Frame tags are missing!");
    expectRejected(R"({"meta": {"frameTags": [)" + tag("a", 0, 0) + "]}}", "Array 'frames' is missing!");
    // The editor's hash layout keys the frames by file name.
    expectRejected(R"({"frames": {"a 0.aseprite": )" + oneFrame + R"(}, "meta": {"frameTags": [)" +
                       tag("a", 0, 0) + "]}}",
                   "Array 'frames' is missing!");
    // A document that does not parse, or is empty, never reads as a sheet.
    expectRejected("", "Object 'meta' is missing!");
    EXPECT_THROW(load(R"({"meta": {"frameTags": [)"), orn::AssetLoadException);
}

TEST_F(SpriteAnimationTest, CoveredFramesAreCheckedMemberByMember) {
    const std::string tags = tag("a", 0, 0);
    expectRejected(sheet("5", tags), "Object 'frame' does not exist!");
    expectRejected(sheet(R"({"duration": 100})", tags), "Object 'frame' does not exist!");
    expectRejected(sheet(R"({"frame": [0, 0, 8, 8], "duration": 100})", tags),
                   "Object 'frame' does not exist!");
    expectRejected(sheet(R"({"frame": {"y": 0, "w": 8, "h": 8}, "duration": 100})", tags),
                   "Object 'frame' does not have an integer 'x'!");
    expectRejected(sheet(R"({"frame": {"x": 0, "y": 0.0, "w": 8, "h": 8}, "duration": 100})", tags),
                   "Object 'frame' does not have an integer 'y'!");
    expectRejected(sheet(R"({"frame": {"x": 0, "y": 0, "w": 4294967296, "h": 8}, "duration": 100})", tags),
                   "Object 'frame' does not have an integer 'w'!");
    expectRejected(sheet(R"({"frame": {"x": 0, "y": 0, "w": 8, "h": "8"}, "duration": 100})", tags),
                   "Object 'frame' does not have an integer 'h'!");
    expectRejected(sheet(frame(0, 0, 8, 8, "100.0"), tags), "Object does not have an integer 'duration'!");
    expectRejected(sheet(R"({"frame": {"x": 0, "y": 0, "w": 8, "h": 8}})", tags),
                   "Object does not have an integer 'duration'!");
}

TEST_F(SpriteAnimationTest, MalformedTagsAreRejectedNamingTheFile) {
    const std::string frames = frame(0, 0, 8, 8, "100") + "," + frame(8, 0, 8, 8, "100");
    expectRejected(sheet(frames, "3"), "Frame tag 0 in 'sheet.json' is not an object!");
    expectRejected(sheet(frames, tag("a", 0, 1) + R"(, {"name": 4, "from": 0, "to": 1})"),
                   "Frame tag 1 in 'sheet.json' does not have a string 'name'!");
    expectRejected(sheet(frames, R"({"name": "a", "from": "0", "to": 1})"),
                   "Frame tag 0 in 'sheet.json' does not have an integer 'from'!");
    expectRejected(sheet(frames, R"({"name": "a", "from": 0})"),
                   "Frame tag 0 in 'sheet.json' does not have an integer 'to'!");
    expectRejected(sheet(frames, tag("a", 0, 2)),
                   "The frame tag 'a' in 'sheet.json' covers frames outside the array 'frames'!");
    expectRejected(sheet(frames, tag("a", -1, 1)),
                   "The frame tag 'a' in 'sheet.json' covers frames outside the array 'frames'!");
    expectRejected(sheet(frames, tag("a", 1, 0)),
                   "The frame tag 'a' in 'sheet.json' has no frames: 'from' is greater than 'to'!");
}

TEST_F(SpriteAnimationTest, DurationsThatCannotBePlayedAreRejected) {
    expectRejected(sheet(frame(0, 0, 8, 8, "0"), tag("a", 0, 0)),
                   "Frame 0 of the frame tag 'a' in 'sheet.json' does not have a positive 'duration'!");
    expectRejected(sheet(frame(0, 0, 8, 8, "2147483647") + "," + frame(0, 0, 8, 8, "1"), tag("a", 0, 1)),
                   "The frame tag 'a' in 'sheet.json' lasts longer than 2147483647 milliseconds!");
}

TEST_F(SpriteAnimationTest, MissingSheetReportsTheFullPath) {
    expectLoadError([&] { SpriteAnimation::loadFromFile(dir.path("none.json"), "none.json"); },
                    "Could not open file!", dir.path("none.json"));
}

}  // namespace
