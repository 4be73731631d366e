#include "engine/AnimatedSprite.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "AnimationTestAssets.hpp"
#include "ExpectInvalidKey.hpp"
#include "ExpectLoadError.hpp"

using orn::AnimatedSprite;

namespace {

class AnimatedSpriteTest : public ::testing::Test {
protected:
    std::shared_ptr<AnimatedSprite> make(const std::string& animation) {
        return std::make_shared<AnimatedSprite>("hero", "hero", animation);
    }
    static void step(AnimatedSprite& sprite, float seconds) {
        AnimationTestAssets::setDeltaTime(seconds);
        sprite.update();
    }

    AnimationTestAssets fixture;
};

TEST_F(AnimatedSpriteTest, StartsAtFrameZeroWithItsOwnCopyOfTheSheet) {
    auto sprite = make("run");
    EXPECT_EQ(sprite->currentAnimation, "run");
    EXPECT_EQ(sprite->currentFrame, 0);
    EXPECT_FLOAT_EQ(sprite->elapsedTime, 0.f);
    EXPECT_FLOAT_EQ(sprite->speed, 1.f);
    EXPECT_TRUE(sprite->loop);
    EXPECT_EQ(sprite->spriteAnimation.getFrameCount("long"), 3);
    EXPECT_EQ(sprite->sprite.getTexture(), fixture.assets.getTexture("hero"));

    expectLoadError([] { AnimatedSprite("hero", "villain", "run"); },
                    "There is no asset with the key 'villain'!");
    expectLoadError([] { AnimatedSprite("villain", "hero", "run"); },
                    "There is no asset with the key 'villain'!");
}

TEST_F(AnimatedSpriteTest, SteppingTruncatesAndKeepsTheRemainder) {
    auto sprite = make("run");
    step(*sprite, 0.25f);
    EXPECT_EQ(sprite->currentFrame, 2);
    EXPECT_NEAR(sprite->elapsedTime, 0.05f, 1e-5f);
    // The rectangle set in that update is the frame current when it began.
    EXPECT_EQ(sprite->sprite.getTextureRect(), sf::IntRect(0, 0, 16, 16));

    step(*sprite, 0.06f);
    EXPECT_EQ(sprite->currentFrame, 3);
    EXPECT_NEAR(sprite->elapsedTime, 0.01f, 1e-5f);
    EXPECT_EQ(sprite->sprite.getTextureRect(), sf::IntRect(32, 0, 16, 16));
}

TEST_F(AnimatedSpriteTest, SpeedShortensTheFramesAndLoopDecidesTheEnd) {
    auto looping = make("run");
    looping->speed = 2.f;
    step(*looping, 0.25f);
    EXPECT_EQ(looping->currentFrame, 1);
    EXPECT_NEAR(looping->elapsedTime, 0.f, 1e-5f);

    auto holding = make("run");
    holding->speed = 2.f;
    holding->loop = false;
    step(*holding, 0.25f);
    EXPECT_EQ(holding->currentFrame, 3);

    // Held on its last frame, the clock keeps being counted down by whole steps.
    step(*holding, 0.07f);
    EXPECT_EQ(holding->currentFrame, 3);
    EXPECT_LT(holding->elapsedTime, 0.05f);
    EXPECT_EQ(holding->sprite.getTextureRect(), sf::IntRect(48, 0, 16, 16));
}

TEST_F(AnimatedSpriteTest, ElapsedEqualToTheFrameTimeStepsOnceAndLeavesNothing) {
    auto sprite = make("tick");
    step(*sprite, 0.125f);
    EXPECT_EQ(sprite->currentFrame, 1);
    EXPECT_FLOAT_EQ(sprite->elapsedTime, 0.f);
}

TEST_F(AnimatedSpriteTest, SkippedFramesAreTimedWithTheFrameCurrentAtTheStart) {
    auto sprite = make("long");
    // Frame 0 lasts 100 ms, so 0.25 s counts two steps although frame 1 lasts 300 ms.
    step(*sprite, 0.25f);
    EXPECT_EQ(sprite->currentFrame, 2);
    // From frame 2 (300 ms) the same time is not enough for a step.
    step(*sprite, 0.2f);
    EXPECT_EQ(sprite->currentFrame, 2);
    EXPECT_NEAR(sprite->elapsedTime, 0.25f, 1e-5f);
}

TEST_F(AnimatedSpriteTest, PausedTimeAndZeroSpeedNeverAdvance) {
    auto paused = make("run");
    for (int i = 0; i < 10; ++i) {
        step(*paused, 0.f);
    }
    EXPECT_EQ(paused->currentFrame, 0);

    auto stopped = make("run");
    stopped->speed = 0.f;
    step(*stopped, 5.f);
    EXPECT_EQ(stopped->currentFrame, 0);
}

TEST_F(AnimatedSpriteTest, FramesBeyondTheCountAreShownModuloTheCount) {
    auto sprite = make("run");
    sprite->currentFrame = 6;
    step(*sprite, 0.f);
    EXPECT_EQ(sprite->sprite.getTextureRect(), sf::IntRect(32, 0, 16, 16));

    sprite->currentFrame = -1;
    EXPECT_THROW(step(*sprite, 0.f), std::out_of_range);
}

TEST_F(AnimatedSpriteTest, UnknownAnimationFailsAtTheFirstUpdate) {
    auto sprite = make("slash");
    expectInvalidKey([&] { step(*sprite, 0.1f); });
}

// Plays animation over the four frames of 100 ms of the sheet "dirs" (frame i at x = 8 * i) with updates of
// 0.1 s, and returns the index of the frame shown by each update.
std::vector<int> playOrder(const std::string& animation, float speed, bool loop, int updates) {
    AnimatedSprite sprite("dirs", "dirs", animation);
    sprite.speed = speed;
    sprite.loop = loop;
    AnimationTestAssets::setDeltaTime(0.1f);
    std::vector<int> shown;
    for (int i = 0; i < updates; ++i) {
        sprite.update();
        shown.push_back(sprite.sprite.getTextureRect().left / 8);
    }
    return shown;
}

TEST_F(AnimatedSpriteTest, TagDirectionsAndRepeatCountsOrderTheFrames) {
    std::string frames;
    for (int i = 0; i < 4; ++i) {
        frames += (i > 0 ? "," : "") + std::string(R"({"frame": {"x": )") + std::to_string(8 * i) +
                  R"(, "y": 0, "w": 8, "h": 8}, "duration": 100})";
    }
    const auto tag = [](const std::string& name, const std::string& extra) {
        return R"({"name": ")" + name + R"(", "from": 0, "to": 3)" + extra + "}";
    };
    fixture.dir.writeImage("dirs.png", 32, 8);
    fixture.dir.write("dirs.json",
                      R"({"frames": [)" + frames + R"(], "meta": {"frameTags": [)" + tag("plain", "") + "," +
                          tag("forward", R"(, "direction": "forward")") + "," +
                          tag("reverse", R"(, "direction": "reverse")") + "," +
                          tag("pingpong", R"(, "direction": "pingpong")") + "," +
                          tag("pingpong_reverse", R"(, "direction": "pingpong_reverse")") + "," +
                          tag("forward2", R"(, "direction": "forward", "repeat": "2")") + "," +
                          tag("reverse1", R"(, "direction": "reverse", "repeat": 1)") + "," +
                          tag("pingpong2", R"(, "direction": "pingpong", "repeat": "2")") + "," +
                          tag("pingpong_reverse3", R"(, "direction": "pingpong_reverse", "repeat": "3")") +
                          "]}}");
    fixture.assets.loadTexture("dirs", "dirs.png");
    fixture.assets.loadSpriteAnimation("dirs", "dirs.json");

    using Order = std::vector<int>;
    // Looping, at speed 1 every step shows; at speed 2 every other one.
    EXPECT_EQ(playOrder("plain", 1.f, true, 10), (Order{0, 1, 2, 3, 0, 1, 2, 3, 0, 1}));
    EXPECT_EQ(playOrder("forward", 2.f, true, 6), (Order{0, 2, 0, 2, 0, 2}));
    EXPECT_EQ(playOrder("reverse", 1.f, true, 10), (Order{3, 2, 1, 0, 3, 2, 1, 0, 3, 2}));
    EXPECT_EQ(playOrder("reverse", 2.f, true, 6), (Order{3, 1, 3, 1, 3, 1}));
    EXPECT_EQ(playOrder("pingpong", 1.f, true, 14), (Order{0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 1}));
    EXPECT_EQ(playOrder("pingpong", 2.f, true, 7), (Order{0, 2, 2, 0, 2, 2, 0}));
    EXPECT_EQ(playOrder("pingpong_reverse", 1.f, true, 14),
              (Order{3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2}));
    EXPECT_EQ(playOrder("pingpong_reverse", 2.f, true, 7), (Order{3, 1, 1, 3, 1, 1, 3}));

    // Without loop, one pass (there and back for a ping-pong), then the last shown frame holds.
    EXPECT_EQ(playOrder("plain", 1.f, false, 6), (Order{0, 1, 2, 3, 3, 3}));
    EXPECT_EQ(playOrder("reverse", 2.f, false, 4), (Order{3, 1, 0, 0}));
    EXPECT_EQ(playOrder("pingpong", 1.f, false, 9), (Order{0, 1, 2, 3, 2, 1, 0, 0, 0}));
    EXPECT_EQ(playOrder("pingpong_reverse", 2.f, false, 6), (Order{3, 1, 1, 3, 3, 3}));

    // A repeat count ends the play even when the sprite loops; a ping-pong pass is one direction.
    EXPECT_EQ(playOrder("forward2", 1.f, true, 10), (Order{0, 1, 2, 3, 0, 1, 2, 3, 3, 3}));
    EXPECT_EQ(playOrder("forward2", 2.f, true, 6), (Order{0, 2, 0, 2, 3, 3}));
    EXPECT_EQ(playOrder("reverse1", 1.f, true, 6), (Order{3, 2, 1, 0, 0, 0}));
    EXPECT_EQ(playOrder("pingpong2", 1.f, true, 9), (Order{0, 1, 2, 3, 2, 1, 0, 0, 0}));
    EXPECT_EQ(playOrder("pingpong2", 2.f, false, 6), (Order{0, 2, 2, 0, 0, 0}));
    EXPECT_EQ(playOrder("pingpong_reverse3", 1.f, true, 12), (Order{3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 0, 0}));
}

TEST_F(AnimatedSpriteTest, AbsurdSpeedsDoNotOverflowTheFrameIndex) {
    auto sprite = make("run");
    sprite->speed = 1e30f;
    step(*sprite, 1.f);
    EXPECT_GE(sprite->currentFrame, 0);
    EXPECT_LT(sprite->currentFrame, 4);
}

}  // namespace
