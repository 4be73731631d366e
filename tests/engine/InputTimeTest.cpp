#include <gtest/gtest.h>

#include <set>

#include "engine/InputManager.hpp"
#include "engine/Time.hpp"

namespace {

/// Drives InputManager with a scripted keyboard, one frame at a time.
class InputTest : public ::testing::Test {
protected:
    orn::InputManager& input = orn::InputManager::getInstance();
    std::set<sf::Keyboard::Key> held;

    void SetUp() override {
        input.setKeyStateSource([this](sf::Keyboard::Key key) { return held.count(key) > 0; });
        input.actions.clear();
        input.keysDownLastFrame.clear();
        input.keysDownThisFrame.clear();
        input.hasFocus = true;
    }
    void TearDown() override {
        input.setKeyStateSource(nullptr);
        input.actions.clear();
        input.hasFocus = true;
    }

    template <class Query>
    bool frame(Query query, bool focus = true) {
        input.beginFrame();
        input.hasFocus = focus;
        const bool result = query();
        input.endFrame();
        return result;
    }
};

}  // namespace

TEST_F(InputTest, HeldKeyReportsOnePressWhileAskedEveryFrame) {
    input.actions["jump"] = sf::Keyboard::Space;
    held.insert(sf::Keyboard::Space);
    auto jump = [&] { return input.isActionDown("jump"); };
    EXPECT_TRUE(frame(jump));
    EXPECT_FALSE(frame(jump));
    EXPECT_FALSE(frame(jump));
    EXPECT_TRUE(input.isActionPressed("jump"));

    held.clear();
    EXPECT_FALSE(frame(jump));
    held.insert(sf::Keyboard::Space);
    EXPECT_TRUE(frame(jump));
}

TEST_F(InputTest, SeveralCallersInOneFrameGetTheSameAnswer) {
    held.insert(sf::Keyboard::Enter);
    EXPECT_TRUE(
        frame([&] { return input.isKeyDown(sf::Keyboard::Enter) && input.isKeyDown(sf::Keyboard::Enter); }));
}

TEST_F(InputTest, KeysNobodyAskedAboutAreNotRecorded) {
    held.insert(sf::Keyboard::D);
    EXPECT_TRUE(frame([&] { return input.isKeyDown(sf::Keyboard::D); }));
    EXPECT_FALSE(frame([&] { return false; }));
    // Not asked in the frame before, so a held key reports a new press.
    EXPECT_TRUE(frame([&] { return input.isKeyDown(sf::Keyboard::D); }));

    EXPECT_FALSE(frame([&] { return input.isActionDown("unbound"); }));
    EXPECT_FALSE(input.isActionPressed("unbound"));
    EXPECT_TRUE(input.keysDownThisFrame.empty());

    input.actions["right"] = sf::Keyboard::D;
    frame([&] { return input.isActionPressed("right"); });
    EXPECT_TRUE(input.keysDownLastFrame.empty());
}

TEST_F(InputTest, WithoutFocusEveryAnswerIsFalseAndAPressIsReportedWhenFocusReturns) {
    input.actions["attack"] = sf::Keyboard::Enter;
    held.insert(sf::Keyboard::Enter);
    EXPECT_TRUE(frame([&] { return input.isActionDown("attack"); }));
    EXPECT_FALSE(
        frame([&] { return input.isActionDown("attack") || input.isActionPressed("attack"); }, false));
    EXPECT_TRUE(frame([&] { return input.isActionDown("attack"); }));
}

TEST(Time, FrameDurationsAreScaledAndSummed) {
    orn::Time& time = orn::Time::getInstance();
    const float before = time.time;
    time.update(sf::milliseconds(16));
    EXPECT_FLOAT_EQ(time.deltaTime, 0.016f);
    EXPECT_NEAR(time.time - before, 0.016f, 1e-6f);

    time.timeScale = 0.5f;
    time.update(sf::milliseconds(100));
    EXPECT_FLOAT_EQ(time.deltaTime, 0.05f);
    EXPECT_NEAR(time.time - before, 0.116f, 1e-5f);
    time.timeScale = 1.f;
}
