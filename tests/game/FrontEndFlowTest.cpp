#include <gtest/gtest.h>

#include "GameTestSupport.hpp"
#include "game/scenes/LogoScene.hpp"
#include "game/scenes/MenuScene.hpp"
#include "gui/Button.hpp"

namespace {

using gametest::click;
using gametest::currentIs;
using gametest::widgetWithText;

using FrontEndFlow = gametest::GameHarness;

// Frames of 1/64 s add up exactly, so the countdown of 1.85 s runs out during the 119th update
// (118 / 64 = 1.84375, 119 / 64 = 1.859375): the 120th update requests the menu, the 121st switches.
TEST_F(FrontEndFlow, LogoGivesWayToTheMenuOneFrameAfterItsTimeRanOut) {
    start<LogoScene>();
    frame(1.f / 64.f);
    EXPECT_TRUE(currentIs<LogoScene>());
    frames(119, 1.f / 64.f);
    EXPECT_TRUE(currentIs<LogoScene>()) << "the request must not come before the time has run out";
    frame(1.f / 64.f);
    EXPECT_TRUE(currentIs<MenuScene>());
}

TEST_F(FrontEndFlow, EscapeInTheFirstLogoFrameOpensTheMenuInTheNext) {
    start<LogoScene>();
    held.insert(sf::Keyboard::Escape);
    frame();
    EXPECT_TRUE(currentIs<LogoScene>());
    frame();
    EXPECT_TRUE(currentIs<MenuScene>());
    EXPECT_EQ(orn::InputManager::getInstance().actions.count("escape"), 0u) << "the logo's binding is gone";
    EXPECT_EQ(orn::InputManager::getInstance().actions.count("start"), 1u);
}

TEST_F(FrontEndFlow, QuitClosesTheWindowAndTheFrameStillCompletes) {
    start<MenuScene>();
    frame();
    auto quit = widgetWithText<gui::Button>("Quit");
    ASSERT_NE(quit, nullptr);
    ASSERT_TRUE(window().isOpen());
    click(*quit);
    EXPECT_FALSE(window().isOpen());
    frame();
    EXPECT_TRUE(currentIs<MenuScene>());
}

}  // namespace
