#include "engine/SpriteAnimation.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "AssetTestDir.hpp"
#include "ExpectInvalidKey.hpp"
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
    // A ping-pong cycle shows the middle frames twice; a single frame once.
    EXPECT_FLOAT_EQ(animation->getDuration("walk"), 0.65f);
    EXPECT_FLOAT_EQ(animation->getDuration("one"), 0.1f);
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
    expectInvalidKey([&] { animation->getFrame("Run", 0); });
    expectInvalidKey([&] { animation->getFrameCount("jump"); });
    expectInvalidKey([&] { animation->getDuration("slash"); });
    expectInvalidKey([&] { animation->getDuration("die"); });
    expectInvalidKey([&] { animation->getPlayedFrame("die", 0); });
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
    expectRejected(R"({"frames": "a 0.aseprite", "meta": {"frameTags": [)" + tag("a", 0, 0) + "]}}",
                   "Array 'frames' is missing!");
    // The hash layout is checked frame by frame as the array layout is.
    expectRejected(R"({"frames": {"a 0.aseprite": )" + oneFrame +
                       R"(, "a 1.aseprite": 5}, "meta": {"frameTags": [)" + tag("a", 0, 1) + "]}}",
                   "Object 'frame' does not exist!");
    expectRejected(R"({"frames": {"a 0.aseprite": )" + oneFrame + R"(}, "meta": {"frameTags": [)" +
                       tag("a", 0, 1) + "]}}",
                   "The frame tag 'a' in 'sheet.json' covers frames outside the array 'frames'!");
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

// The frames of one sheet as the editor writes them in its array layout or in its hash layout, where each
// frame is a member named after its file, in frame order.
std::string bothLayouts(const std::vector<std::string>& frames, const std::string& tags, bool hash) {
    std::string list;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        list += (i > 0 ? "," : "") +
                (hash ? "\"hero " + std::to_string(frames.size() - i) + ".aseprite\": " : "") + frames[i];
    }
    return std::string(R"({"frames": )") + (hash ? "{" : "[") + list + (hash ? "}" : "]") +
           R"(, "meta": {"app": "test", "frameTags": [)" + tags + "]}}";
}

std::string trimmedFrame(int x, int y, int w, int h, int offsetX, int offsetY, int sourceW, int sourceH) {
    return R"({"frame": {"x": )" + std::to_string(x) + R"(, "y": )" + std::to_string(y) + R"(, "w": )" +
           std::to_string(w) + R"(, "h": )" + std::to_string(h) +
           R"(}, "rotated": false, "trimmed": true, "spriteSourceSize": {"x": )" + std::to_string(offsetX) +
           R"(, "y": )" + std::to_string(offsetY) + R"(, "w": )" + std::to_string(w) + R"(, "h": )" +
           std::to_string(h) + R"(}, "sourceSize": {"w": )" + std::to_string(sourceW) + R"(, "h": )" +
           std::to_string(sourceH) + R"(}, "duration": 80})";
}

TEST_F(SpriteAnimationTest, HashAndArrayLayoutsGiveTheSameAnimations) {
    // Member names that sort differently from the frame order: the file's order is what counts.
    const std::vector<std::string> frames = {frame(0, 0, 8, 8, "100"), frame(8, 0, 8, 8, "120"),
                                             trimmedFrame(16, 0, 3, 5, 2, 1, 8, 8), frame(24, 0, 8, 8, "90")};
    const std::string tags = R"({"name": "walk", "from": 0, "to": 3, "direction": "pingpong", "repeat": "2"},
                                {"name": "turn", "from": 1, "to": 2, "direction": "reverse"},
                                {"name": "idle", "from": 3, "to": 3})";
    const auto array = load(bothLayouts(frames, tags, false));
    const auto hash = load(bothLayouts(frames, tags, true));
    ASSERT_EQ(array->animations.size(), 3u);
    ASSERT_EQ(hash->animations.size(), 3u);
    for (const auto& [name, expected] : array->animations) {
        const SpriteAnimation::Animation& actual = hash->getAnimation(name);
        EXPECT_EQ(actual.duration, expected.duration) << name;
        EXPECT_EQ(actual.direction, expected.direction) << name;
        EXPECT_EQ(actual.repeat, expected.repeat) << name;
        ASSERT_EQ(actual.frames.size(), expected.frames.size()) << name;
        for (std::size_t i = 0; i < expected.frames.size(); ++i) {
            EXPECT_EQ(actual.frames[i].rect, expected.frames[i].rect) << name << " " << i;
            EXPECT_EQ(actual.frames[i].duration, expected.frames[i].duration) << name << " " << i;
            EXPECT_EQ(actual.frames[i].trimmed, expected.frames[i].trimmed) << name << " " << i;
            EXPECT_EQ(actual.frames[i].offset, expected.frames[i].offset) << name << " " << i;
            EXPECT_EQ(actual.frames[i].sourceSize, expected.frames[i].sourceSize) << name << " " << i;
        }
    }
    EXPECT_EQ(hash->getFrame("turn", 1).rect, sf::IntRect(16, 0, 3, 5));
    EXPECT_EQ(hash->getFrame("idle", 0).rect, sf::IntRect(24, 0, 8, 8));
    EXPECT_EQ(hash->animations.at("walk").duration, 390);
}

TEST_F(SpriteAnimationTest, TagDirectionsAndRepeatCountsAreReadAndTimeThePlay) {
    const std::string frames =
        frame(0, 0, 8, 8, "100") + "," + frame(8, 0, 8, 8, "200") + "," + frame(16, 0, 8, 8, "400");
    const auto tagWith = [](const std::string& name, const std::string& extra) {
        return R"({"name": ")" + name + R"(", "from": 0, "to": 2)" + extra + "}";
    };
    const auto animation = load(
        sheet(frames, tagWith("plain", "") + "," + tagWith("f", R"(, "direction": "forward", "repeat": 0)") +
                          "," + tagWith("r", R"(, "direction": "reverse", "repeat": "3")") + "," +
                          tagWith("p", R"(, "direction": "pingpong", "repeat": 2147483647)") + "," +
                          tagWith("pr", R"(, "direction": "pingpong_reverse")") + "," +
                          tagWith("p3", R"(, "direction": "pingpong", "repeat": 3)") + "," +
                          tagWith("pr2", R"(, "direction": "pingpong_reverse", "repeat": 2)")));
    // Frames played: 0 1 2; 2 1 0 three times; 2 1 0 1 per cycle; 0 1 2 1 0 1 2; 2 1 0 1 2.
    const std::vector<std::pair<const char*, float>> durations = {
        {"plain", 0.7f}, {"r", 2.1f}, {"pr", 0.9f}, {"p3", 1.6f}, {"pr2", 1.3f}, {"p", 966367641.4f}};
    for (const auto& [name, seconds] : durations) {
        EXPECT_FLOAT_EQ(animation->getDuration(name), seconds) << name;
    }
    using Direction = SpriteAnimation::Direction;
    EXPECT_EQ(animation->getAnimation("plain").direction, Direction::Forward);
    EXPECT_EQ(animation->getAnimation("plain").repeat, 0);
    EXPECT_EQ(animation->getAnimation("f").direction, Direction::Forward);
    EXPECT_EQ(animation->getAnimation("r").direction, Direction::Reverse);
    EXPECT_EQ(animation->getAnimation("r").repeat, 3);
    EXPECT_EQ(animation->getAnimation("p").direction, Direction::PingPong);
    EXPECT_EQ(animation->getAnimation("p").repeat, 2147483647);
    EXPECT_EQ(animation->getAnimation("pr").direction, Direction::PingPongReverse);

    for (const char* direction : {R"("backwards")", R"("Forward")", "1", "null"}) {
        expectRejected(sheet(frames, tagWith("a", std::string(R"(, "direction": )") + direction)),
                       "The frame tag 'a' in 'sheet.json' does not have a known 'direction'!");
    }
    for (const char* repeat : {"-1", "1.0", R"("-1")", R"("")", R"("2x")", R"("2147483648")",
                               R"("99999999999")", "4294967296", "true"}) {
        expectRejected(
            sheet(frames, tagWith("a", std::string(R"(, "repeat": )") + repeat)),
            "The frame tag 'a' in 'sheet.json' does not have a 'repeat' count from 0 to 2147483647!");
    }
}

TEST_F(SpriteAnimationTest, TrimmedFramesKeepTheirPlaceInTheUntrimmedPicture) {
    const auto animation =
        load(sheet(trimmedFrame(4, 6, 3, 5, 2, 9, 16, 20) + "," + frame(0, 0, 8, 8, "100"), tag("a", 0, 1)));
    const SpriteAnimation::Frame trimmed = animation->getFrame("a", 0);
    EXPECT_TRUE(trimmed.trimmed);
    EXPECT_EQ(trimmed.rect, sf::IntRect(4, 6, 3, 5));
    EXPECT_EQ(trimmed.offset, sf::Vector2i(2, 9));
    EXPECT_EQ(trimmed.sourceSize, sf::Vector2i(16, 20));
    EXPECT_EQ(trimmed.duration, 80);
    const SpriteAnimation::Frame whole = animation->getFrame("a", 1);
    EXPECT_FALSE(whole.trimmed);
    EXPECT_EQ(whole.offset, sf::Vector2i(0, 0));
    EXPECT_EQ(whole.sourceSize, sf::Vector2i(8, 8));

    // Only a frame that says it is trimmed needs its source rectangles.
    const std::string frameRect = R"("frame": {"x": 0, "y": 0, "w": 8, "h": 8}, "duration": 100)";
    load(sheet("{" + frameRect + R"(, "trimmed": false, "spriteSourceSize": 3})", tag("a", 0, 0)));
    expectRejected(
        sheet("{" + frameRect + R"(, "trimmed": true, "sourceSize": {"w": 8, "h": 8}})", tag("a", 0, 0)),
        "Object 'spriteSourceSize' does not exist!");
    expectRejected(
        sheet("{" + frameRect +
                  R"(, "trimmed": true, "spriteSourceSize": {"x": 1}, "sourceSize": {"w": 8, "h": 8}})",
              tag("a", 0, 0)),
        "Object 'spriteSourceSize' does not have an integer 'y'!");
    expectRejected(sheet("{" + frameRect + R"(, "trimmed": true, "spriteSourceSize": {"x": 1, "y": 2}})",
                         tag("a", 0, 0)),
                   "Object 'sourceSize' does not exist!");
    expectRejected(
        sheet(
            "{" + frameRect +
                R"(, "trimmed": true, "spriteSourceSize": {"x": 1, "y": 2}, "sourceSize": {"w": 8.5, "h": 8}})",
            tag("a", 0, 0)),
        "Object 'sourceSize' does not have an integer 'w'!");
}

TEST_F(SpriteAnimationTest, MissingSheetReportsTheFullPath) {
    expectLoadError([&] { SpriteAnimation::loadFromFile(dir.path("none.json"), "none.json"); },
                    "Could not open file!", dir.path("none.json"));
}

}  // namespace
