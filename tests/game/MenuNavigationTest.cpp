#include <gtest/gtest.h>

#include <array>

#include "GameTestSupport.hpp"
#include "engine/InputManager.hpp"
#include "engine/PadLayout.hpp"
#include "game/MainScene.hpp"
#include "game/scenes/CreditScene.hpp"
#include "game/scenes/LogoScene.hpp"
#include "game/scenes/MenuScene.hpp"
#include "gui/Button.hpp"

namespace {

using gametest::click;
using gametest::current;
using gametest::currentIs;
using gametest::hover;
using gametest::widgetWithText;
using orn::PadLayout;

/// The menu and the credits driven by the scripted keyboard and a scripted pad, frame by frame.
class MenuNavigation : public gametest::GameHarness {
protected:
    void SetUp() override {
        GameHarness::SetUp();
        orn::InputManager::getInstance().setPadStateSource([this](unsigned pad) { return pads.at(pad); });
        pads[1].connected = true;
    }
    void TearDown() override {
        pads = {};
        orn::InputManager::getInstance().setPadStateSource(nullptr);
        GameHarness::TearDown();
    }

    /// Holds the key for one frame, then releases it for one frame.
    void tap(sf::Keyboard::Key key) {
        held.insert(key);
        frame();
        held.erase(key);
        frame();
    }
    void tap(orn::PadInput input) {
        set(input, true);
        frame();
        set(input, false);
        frame();
    }
    void set(orn::PadInput input, bool on) {
        if (input.kind == orn::PadInput::Kind::Button) {
            pads[1].buttons = on ? 1u << input.index : 0u;
        } else {
            const float sign = input.kind == orn::PadInput::Kind::AxisPositive ? 1.f : -1.f;
            pads[1].axes[input.index] = on ? 100.f * sign : 0.f;
        }
    }

    gui::Widget::Ptr focused() { return current()->gui.getFocusedWidget(); }

    void enterMenu() {
        start<MenuScene>();
        frames(2);
        ASSERT_TRUE(currentIs<MenuScene>());
    }

    std::array<orn::PadState, sf::Joystick::Count> pads{};
};

TEST_F(MenuNavigation, ArrowsMoveTheHighlightFromPlayOncePerPressAndEnterPressesIt) {
    enterMenu();
    auto play = widgetWithText<gui::Button>("Play");
    auto credits = widgetWithText<gui::Button>("Credits");
    auto quit = widgetWithText<gui::Button>("Quit");
    ASSERT_TRUE(play && credits && quit);
    EXPECT_EQ(focused(), play) << "Play is highlighted when the menu opens";

    held.insert(sf::Keyboard::Down);
    frames(10);
    held.clear();
    frame();
    EXPECT_EQ(focused(), credits) << "a held arrow moves once";
    tap(sf::Keyboard::Down);
    EXPECT_EQ(focused(), quit);
    tap(sf::Keyboard::Down);
    EXPECT_EQ(focused(), play) << "wraps around";
    tap(sf::Keyboard::Up);
    EXPECT_EQ(focused(), quit);
    tap(sf::Keyboard::Up);
    EXPECT_EQ(focused(), credits);

    held = {sf::Keyboard::LAlt, sf::Keyboard::Enter};
    frame();
    held.clear();
    frame();
    EXPECT_TRUE(currentIs<MenuScene>()) << "Alt+Enter switches fullscreen and presses nothing";
    if (driver.game().isFullscreen()) {
        driver.game().createWindow(false);
    }

    tap(sf::Keyboard::Enter);
    ASSERT_TRUE(currentIs<CreditScene>());
    EXPECT_EQ(focused(), widgetWithText<gui::Button>("Back")) << "highlighted when the credits open";
    tap(sf::Keyboard::Escape);
    EXPECT_TRUE(currentIs<CreditScene>()) << "Escape does nothing in the credits";
    tap(sf::Keyboard::Enter);
    ASSERT_TRUE(currentIs<MenuScene>());
    tap(sf::Keyboard::Enter);
    ASSERT_TRUE(currentIs<MainScene>());
    EXPECT_NE(current()->gui.get("healthBar"), nullptr);
    held.insert(sf::Keyboard::Escape);
    frame();
    EXPECT_TRUE(currentIs<MainScene>());
    frame();
    EXPECT_TRUE(currentIs<MenuScene>()) << "Escape leaves the level at the next frame";
}

TEST_F(MenuNavigation, ThePointerMovesTheSameHighlightAsTheKeys) {
    enterMenu();
    auto credits = widgetWithText<gui::Button>("Credits");
    ASSERT_NE(credits, nullptr);
    hover(*credits);
    EXPECT_EQ(focused(), credits) << "one highlight: Play's went with the pointer";
    tap(sf::Keyboard::Down);
    EXPECT_EQ(focused(), widgetWithText<gui::Button>("Quit")) << "the keys go on from where the pointer is";
    click(*credits);
    frame();
    EXPECT_TRUE(currentIs<CreditScene>()) << "a click goes to the button under the pointer";
}

TEST_F(MenuNavigation, APadSkipsTheLogoPlaysFromTheMenuAndLeavesTheCreditsWithItsDPadStickAndA) {
    start<LogoScene>();
    frame();
    tap(PadLayout::Start);
    ASSERT_TRUE(currentIs<MenuScene>()) << "Start skips the logo";
    tap(PadLayout::DPadDown);
    tap(PadLayout::StickDown);
    tap(PadLayout::StickUp);
    EXPECT_EQ(focused(), widgetWithText<gui::Button>("Credits"));
    tap(PadLayout::A);
    ASSERT_TRUE(currentIs<CreditScene>());

    tap(PadLayout::B);
    tap(PadLayout::Start);
    EXPECT_TRUE(currentIs<CreditScene>()) << "only A presses";
    tap(PadLayout::A);
    ASSERT_TRUE(currentIs<MenuScene>());

    tap(PadLayout::DPadUp);
    tap(PadLayout::DPadDown);
    tap(PadLayout::A);
    EXPECT_TRUE(currentIs<MainScene>());
}

}  // namespace
