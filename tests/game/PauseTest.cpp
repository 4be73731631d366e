#include <gtest/gtest.h>

#include <vector>

#include "FrontEndHarness.hpp"
#include "LevelTestSupport.hpp"
#include "engine/InputManager.hpp"
#include "engine/Time.hpp"
#include "game/PauseToggle.hpp"
#include "game/scenes/MenuScene.hpp"
#include "gui/Label.hpp"

// Pausing the level: the world and every action stop until P is pressed again; Escape still leaves.
namespace {

using gametest::Level;

class Pause : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(level.land()); }
    void TearDown() override {
        gametest::GameDriver::instance().held.clear();
        gametest::GameDriver::instance().enter(std::make_shared<gametest::ScriptedScene>());
    }
    bool paused() {
        auto label = level.scene()->gui.get<gui::Label>(PauseToggle::labelName);
        EXPECT_NE(label, nullptr);
        const bool shown = label && label->isVisible();
        EXPECT_EQ(shown, orn::Time::getInstance().timeScale == 0.f) << "the label shows exactly while paused";
        return shown;
    }
    std::vector<sf::Vector2f> enemyPositions() {
        std::vector<sf::Vector2f> positions;
        for (const auto& enemy : level.allTagged("Enemy")) {
            positions.push_back(enemy->getTransform().lock()->getPosition());
        }
        return positions;
    }

    Level level;
};

TEST_F(Pause, PStopsTheWorldAndEveryActionUntilItIsPressedAgain) {
    EXPECT_FALSE(paused());
    level.press(sf::Keyboard::P);
    ASSERT_TRUE(paused());
    const sf::Vector2f stop = level.position();
    const std::vector<sf::Vector2f> enemies = enemyPositions();
    ASSERT_FALSE(enemies.empty());
    const sf::Keyboard::Key actions[] = {sf::Keyboard::D, sf::Keyboard::Space, sf::Keyboard::Enter,
                                         sf::Keyboard::E};
    for (sf::Keyboard::Key key : actions) {
        level.hold(key);
    }
    level.frames(60);
    EXPECT_EQ(level.position(), stop);
    EXPECT_EQ(enemyPositions(), enemies) << "the enemies stand still too";
    EXPECT_FALSE(level.player()->isAttacking);
    EXPECT_EQ(level.forms()->currentForm, Form::Human);
    EXPECT_TRUE(level.body()->impulses.empty()) << "no jump waits for the resume";
    for (sf::Keyboard::Key key : actions) {
        level.release(key);
    }
    level.press(sf::Keyboard::P);
    EXPECT_FALSE(paused());
    level.frames(60);
    EXPECT_NEAR(level.position().y, stop.y, 0.5f) << "nothing pressed while paused acts afterwards";
    EXPECT_NE(enemyPositions(), enemies) << "the enemies move again";

    level.press(sf::Keyboard::P);
    level.press(sf::Keyboard::Escape);
    EXPECT_TRUE(frontend::currentIs<MenuScene>()) << "leaving works while paused";
    EXPECT_EQ(orn::Time::getInstance().timeScale, 1.f);
    EXPECT_TRUE(orn::InputManager::getInstance().exclusiveActions.empty());
}

}  // namespace
