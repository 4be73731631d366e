#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "FrontEndHarness.hpp"
#include "LevelTestSupport.hpp"
#include "engine/InputManager.hpp"
#include "engine/PadLayout.hpp"
#include "engine/Time.hpp"
#include "game/PauseToggle.hpp"
#include "game/scenes/MenuScene.hpp"
#include "gui/Label.hpp"

namespace {

using gametest::Level;
using orn::PadLayout;

/// The real level with a scripted pad (number 2) beside the scripted keyboard.
class LevelControls : public ::testing::Test {
protected:
    void SetUp() override {
        orn::InputManager::getInstance().setPadStateSource([this](unsigned pad) { return pads.at(pad); });
        pads[2].connected = true;
    }
    void TearDown() override {
        orn::InputManager::getInstance().setPadStateSource(nullptr);
        gametest::GameDriver& driver = gametest::GameDriver::instance();
        driver.held.clear();
        driver.enter(std::make_shared<gametest::ScriptedScene>());
    }

    void setButton(orn::PadInput button, bool held) {
        if (held) {
            pads[2].buttons |= 1u << button.index;
        } else {
            pads[2].buttons &= ~(1u << button.index);
        }
    }
    /// Holds the button for one frame, then releases it for one frame.
    void tap(Level& level, orn::PadInput button) {
        setButton(button, true);
        level.frames(1);
        setButton(button, false);
        level.frames(1);
    }

    static bool paused(const Level& level) {
        auto label = level.scene()->gui.get<gui::Label>(PauseToggle::labelName);
        EXPECT_NE(label, nullptr);
        const bool shown = label && label->isVisible();
        EXPECT_EQ(shown, orn::Time::getInstance().timeScale == 0.f) << "the label shows exactly while paused";
        return shown;
    }

    static std::vector<sf::Vector2f> enemyPositions(const Level& level) {
        std::vector<sf::Vector2f> positions;
        for (const auto& enemy : level.allTagged("Enemy")) {
            positions.push_back(enemy->getTransform().lock()->getPosition());
        }
        return positions;
    }

    std::array<orn::PadState, sf::Joystick::Count> pads{};
};

TEST_F(LevelControls, PStopsTheWorldAndEveryActionUntilItIsPressedAgain) {
    Level level;
    ASSERT_TRUE(level.land());
    EXPECT_FALSE(paused(level));
    const std::vector<sf::Vector2f> enemiesBefore = enemyPositions(level);
    ASSERT_FALSE(enemiesBefore.empty());

    level.press(sf::Keyboard::P);
    ASSERT_TRUE(paused(level));
    const sf::Vector2f stop = level.position();
    const std::vector<sf::Vector2f> enemiesAtPause = enemyPositions(level);

    for (sf::Keyboard::Key key :
         {sf::Keyboard::D, sf::Keyboard::Space, sf::Keyboard::Enter, sf::Keyboard::E}) {
        level.hold(key);
    }
    level.frames(60);
    EXPECT_EQ(level.position(), stop);
    EXPECT_EQ(enemyPositions(level), enemiesAtPause) << "the enemies stand still too";
    EXPECT_FALSE(level.player()->isAttacking);
    EXPECT_EQ(level.forms()->currentForm, Form::Human);
    EXPECT_TRUE(level.body()->impulses.empty()) << "no jump waits for the resume";
    for (sf::Keyboard::Key key :
         {sf::Keyboard::D, sf::Keyboard::Space, sf::Keyboard::Enter, sf::Keyboard::E}) {
        level.release(key);
    }
    EXPECT_TRUE(paused(level));

    level.press(sf::Keyboard::P);
    EXPECT_FALSE(paused(level));
    EXPECT_EQ(orn::Time::getInstance().timeScale, 1.f);
    level.frames(60);
    EXPECT_NEAR(level.position().y, stop.y, 0.5f) << "nothing pressed while paused acts afterwards";
    EXPECT_NE(enemyPositions(level), enemiesAtPause) << "the enemies move again";

    level.hold(sf::Keyboard::D);
    level.frames(30);
    level.release(sf::Keyboard::D);
    EXPECT_GT(level.position().x, stop.x + 20.f);
}

TEST_F(LevelControls, StartPausesAndEscapeStillLeavesForTheMenuWithTimeRunning) {
    Level level;
    ASSERT_TRUE(level.land());
    tap(level, PadLayout::Start);
    ASSERT_TRUE(paused(level));
    const sf::Vector2f stop = level.position();
    tap(level, PadLayout::A);
    tap(level, PadLayout::X);
    EXPECT_EQ(level.position(), stop);
    EXPECT_FALSE(level.player()->isAttacking);
    tap(level, PadLayout::Start);
    EXPECT_FALSE(paused(level));

    tap(level, PadLayout::Start);
    ASSERT_TRUE(paused(level));
    level.press(sf::Keyboard::Escape);
    EXPECT_TRUE(frontend::currentIs<MenuScene>());
    EXPECT_EQ(orn::Time::getInstance().timeScale, 1.f);
    EXPECT_TRUE(orn::InputManager::getInstance().exclusiveActions.empty());
    EXPECT_TRUE(orn::InputManager::getInstance().padActions.count("jump") == 0)
        << "the level's pad bindings go";
}

TEST_F(LevelControls, ThePadWalksJumpsSlashesAndLeaves) {
    Level level;
    ASSERT_TRUE(level.land());
    const sf::Vector2f start = level.position();

    pads[2].axes[sf::Joystick::X] = 90.f;
    level.frames(30);
    pads[2].axes[sf::Joystick::X] = 0.f;
    ASSERT_TRUE(level.land());
    const float afterStick = level.position().x;
    EXPECT_GT(afterStick, start.x + 20.f);

    pads[2].axes[sf::Joystick::PovX] = -100.f;
    level.frames(30);
    pads[2].axes[sf::Joystick::PovX] = 0.f;
    ASSERT_TRUE(level.land());
    EXPECT_LT(level.position().x, afterStick - 20.f);

    const float groundY = level.position().y;
    tap(level, PadLayout::A);
    level.frames(10);
    EXPECT_LT(level.position().y, groundY - 10.f);
    ASSERT_TRUE(level.land());

    setButton(PadLayout::X, true);
    level.frames(1);
    EXPECT_TRUE(level.player()->isAttacking);
    setButton(PadLayout::X, false);

    tap(level, PadLayout::Back);
    EXPECT_TRUE(frontend::currentIs<MenuScene>());
}

}  // namespace
