#include <gtest/gtest.h>

#include "FrontEndHarness.hpp"
#include "engine/GameObject.hpp"
#include "game/MainScene.hpp"
#include "game/scenes/CreditScene.hpp"
#include "game/scenes/LogoScene.hpp"
#include "game/scenes/MenuScene.hpp"
#include "gui/Button.hpp"

namespace {

using frontend::click;
using frontend::current;
using frontend::currentIs;
using frontend::widgetWithText;

using FrontEndFlow = frontend::GameHarness;

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

TEST_F(FrontEndFlow, CreditsOpenFromTheMenuIgnoreEscapeAndGoBackWithBack) {
    start<LogoScene>();
    held.insert(sf::Keyboard::Escape);
    frames(2);
    held.clear();
    ASSERT_TRUE(currentIs<MenuScene>());

    auto credits = widgetWithText<gui::Button>("Credits");
    ASSERT_NE(credits, nullptr);
    click(*credits);
    frame();
    ASSERT_TRUE(currentIs<CreditScene>()) << "a press switches at the start of the same frame's update";

    held.insert(sf::Keyboard::Escape);
    frames(3);
    held.clear();
    EXPECT_TRUE(currentIs<CreditScene>());

    auto back = widgetWithText<gui::Button>("Back");
    ASSERT_NE(back, nullptr);
    click(*back);
    frame();
    EXPECT_TRUE(currentIs<MenuScene>());
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

TEST_F(FrontEndFlow, PlayEntersTheLevelWithItsHudAndEscapeReturnsToTheMenu) {
    start<MenuScene>();
    frame();
    auto play = widgetWithText<gui::Button>("Play");
    ASSERT_NE(play, nullptr);
    click(*play);
    frame();
    ASSERT_TRUE(currentIs<MainScene>());
    frames(2);
    EXPECT_NE(current()->gui.get("healthBar"), nullptr);

    held.insert(sf::Keyboard::Escape);
    frame();
    EXPECT_TRUE(currentIs<MainScene>());
    frame();
    EXPECT_TRUE(currentIs<MenuScene>());
}

}  // namespace
