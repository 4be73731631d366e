#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "LevelTestSupport.hpp"
#include "engine/BoxCollider.hpp"
#include "engine/Camera.hpp"
#include "engine/TileLayer.hpp"
#include "game/Enemy.hpp"
#include "gui/Picture.hpp"
#include "gui/ProgressBar.hpp"

using gametest::Level;

TEST(Level, ThePlayerStartsAtTheMapsStartAndLands) {
    Level level;
    const sf::Vector2f start = level.position();
    ASSERT_NE(orn::Camera::main, nullptr);
    EXPECT_FLOAT_EQ(orn::Camera::main->zoom, 2.f);
    EXPECT_NEAR(orn::Camera::main->view.getSize().x, 400.f, 0.01f);
    ASSERT_TRUE(level.land());
    EXPECT_NEAR(level.position().x, start.x, 1.f);
    EXPECT_FLOAT_EQ(level.health()->health, 100.f);
    auto bar = level.scene()->gui.get<gui::ProgressBar>("healthBar");
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->getValue(), 100u);
}

TEST(Level, WalkingAndJumpingReachTheSpeedAndHeightTheLevelIsBuiltFor) {
    Level level;
    ASSERT_TRUE(level.land());
    const float groundY = level.position().y;
    level.press(sf::Keyboard::Space);
    float top = groundY;
    for (int frame = 0; frame < 90; ++frame) {
        level.frames(1);
        top = std::min(top, level.position().y);
    }
    const float jumpHeight = groundY - top;
    EXPECT_GT(jumpHeight, 40.f);
    EXPECT_LT(jumpHeight, 58.f);
    ASSERT_TRUE(level.land());

    const float startX = level.position().x;
    level.hold(sf::Keyboard::D);
    level.frames(60);
    const float speed = level.body()->velocity.x;
    level.frames(30);
    level.release(sf::Keyboard::D);
    EXPECT_GT(speed, 100.f);
    EXPECT_LT(speed, 130.f);
    EXPECT_GT(level.position().x - startX, 90.f);
}

TEST(Level, AFormRegionChangesTheFormsAndTheHudShowsIt) {
    Level level;
    ASSERT_TRUE(level.land());
    std::vector<std::shared_ptr<gui::Picture>> pictures;
    for (const auto& widget : level.scene()->gui.getWidgets()) {
        if (auto picture = std::dynamic_pointer_cast<gui::Picture>(widget)) {
            pictures.push_back(picture);
        }
    }
    ASSERT_EQ(pictures.size(), 6u);
    // Added as three frames, then the human, rat and minotaur icons.
    auto ratIcon = pictures[4];
    EXPECT_FALSE(ratIcon->isVisible());

    level.hold(sf::Keyboard::D);
    for (int frame = 0; frame < 60 * 30 && !level.forms()->ratAvailable; ++frame) {
        level.frames(1);
        if (level.player()->isGrounded() && !level.player()->isRunning) {
            level.press(sf::Keyboard::Space);  // up a step
        }
    }
    level.release(sf::Keyboard::D);
    ASSERT_TRUE(level.forms()->ratAvailable)
        << "never reached the rat's region; stopped at x " << level.position().x;
    EXPECT_TRUE(ratIcon->isVisible());
    EXPECT_TRUE(pictures[3]->isVisible());
    EXPECT_FALSE(pictures[5]->isVisible());
}

TEST(Level, DeathRestartsTheLevelWithFullHealth) {
    Level level;
    ASSERT_TRUE(level.land());
    std::weak_ptr<orn::Scene> first = level.scene();
    std::ostringstream captured;
    std::streambuf* saved = std::cout.rdbuf(captured.rdbuf());
    level.health()->damage(1000.f, {}, {0.f, 0.f});
    std::cout.rdbuf(saved);
    EXPECT_EQ(captured.str(), "Player died!\n");
    level.frames(1);
    EXPECT_TRUE(first.expired());
    ASSERT_TRUE(level.playerObject());
    EXPECT_FLOAT_EQ(level.health()->health, 100.f);
    EXPECT_EQ(level.forms()->currentForm, Form::Human);
    EXPECT_FALSE(level.forms()->ratAvailable);
}
