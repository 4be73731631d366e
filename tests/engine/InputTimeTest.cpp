#include <gtest/gtest.h>

#include <SFML/Window/Event.hpp>
#include <array>
#include <set>
#include <string>

#include "engine/InputManager.hpp"
#include "engine/PadLayout.hpp"
#include "engine/Time.hpp"

namespace {

using orn::PadLayout;

/// Drives InputManager with a scripted keyboard and scripted pads, one frame at a time.
class InputTest : public ::testing::Test {
protected:
    orn::InputManager& input = orn::InputManager::getInstance();
    std::set<sf::Keyboard::Key> held;
    std::array<orn::PadState, sf::Joystick::Count> pads{};

    void SetUp() override {
        input.setKeyStateSource([this](sf::Keyboard::Key key) { return held.count(key) > 0; });
        input.setPadStateSource([this](unsigned pad) { return pads.at(pad); });
        input.clearBindings();
        input.keysDownLastFrame.clear();
        input.keysDownThisFrame.clear();
        input.hasFocus = true;
        space(sf::Event::LostFocus);
        // One frame with nothing held leaves no pad input or key event recorded from an earlier test.
        frame([] { return false; });
    }
    void TearDown() override {
        input.setKeyStateSource(nullptr);
        input.setPadStateSource(nullptr);
        input.clearBindings();
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

    /// A window event of the type for Space.
    void space(sf::Event::EventType type) {
        sf::Event event;
        event.type = type;
        event.key.code = sf::Keyboard::Space;
        input.handleEvent(event);
    }
    void press(unsigned pad, orn::PadInput button) { pads[pad].buttons |= 1u << button.index; }
    void release(unsigned pad, orn::PadInput button) { pads[pad].buttons &= ~(1u << button.index); }
    void tilt(unsigned pad, sf::Joystick::Axis axis, float position) { pads[pad].axes[axis] = position; }
};

}  // namespace

TEST_F(InputTest, HeldKeyReportsOnePressWhileAskedEveryFrameAndKeyEventsAddThePressesBetweenFrames) {
    input.actions["jump"] = sf::Keyboard::Space;
    held.insert(sf::Keyboard::Space);
    space(sf::Event::KeyPressed);
    // Asked twice: several callers in one frame get the same answer.
    auto jump = [&] { return input.isActionDown("jump") && input.isActionDown("jump"); };
    EXPECT_TRUE(frame(jump));
    EXPECT_FALSE(frame(jump));
    space(sf::Event::KeyPressed);
    EXPECT_FALSE(frame(jump)) << "a key repeat";
    EXPECT_TRUE(input.isActionPressed("jump"));
    space(sf::Event::KeyReleased);
    space(sf::Event::KeyPressed);
    EXPECT_TRUE(frame(jump)) << "let go and pressed again between two frames";

    held.clear();
    space(sf::Event::KeyReleased);
    EXPECT_FALSE(frame(jump));
    held.insert(sf::Keyboard::Space);
    EXPECT_TRUE(frame(jump));
    held.clear();
    space(sf::Event::KeyPressed);
    space(sf::Event::KeyReleased);
    EXPECT_TRUE(frame(jump)) << "a tap shorter than a frame";
    EXPECT_FALSE(frame(jump));
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

TEST_F(InputTest, AHeldButtonReportsOnePressAndCountsAsHeldUntilReleased) {
    pads[0].connected = true;
    input.bindPad("jump", {PadLayout::A});
    auto jump = [&] { return input.isActionDown("jump"); };

    EXPECT_FALSE(frame(jump));
    press(0, PadLayout::A);
    EXPECT_TRUE(frame(jump));
    EXPECT_FALSE(frame(jump));
    EXPECT_TRUE(frame([&] { return input.isActionPressed("jump"); }));
    EXPECT_FALSE(frame([&] { return input.isActionPressed("attack"); })) << "another action";

    release(0, PadLayout::A);
    EXPECT_FALSE(frame(jump));
    EXPECT_FALSE(frame([&] { return input.isActionPressed("jump"); }));
    press(0, PadLayout::A);
    EXPECT_TRUE(frame(jump));

    press(0, PadLayout::B);
    EXPECT_FALSE(frame([&] { return input.isActionDown("jump"); })) << "B is not bound; A is still held";
}

TEST_F(InputTest, AxisDirectionsCountOnlyBeyondTheDeadZone) {
    pads[0].connected = true;
    input.bindPad("left", {PadLayout::StickLeft});
    input.bindPad("left", {PadLayout::DPadLeft});
    input.bindPad("right", {PadLayout::StickRight});
    auto left = [&] { return input.isActionPressed("left"); };
    auto right = [&] { return input.isActionPressed("right"); };

    tilt(0, sf::Joystick::X, -20.f);
    EXPECT_FALSE(frame(left)) << "a resting stick drifts inside the dead zone";
    tilt(0, sf::Joystick::X, -input.padDeadZone);
    EXPECT_FALSE(frame(left));
    tilt(0, sf::Joystick::X, -60.f);
    EXPECT_TRUE(frame(left));
    EXPECT_FALSE(frame(right)) << "the opposite direction";

    tilt(0, sf::Joystick::X, 100.f);
    EXPECT_FALSE(frame(left));
    EXPECT_TRUE(frame(right));

    tilt(0, sf::Joystick::X, 0.f);
    tilt(0, sf::Joystick::PovX, -100.f);
    EXPECT_TRUE(frame(left)) << "the D-pad is bound too";
    tilt(0, sf::Joystick::Y, -100.f);
    tilt(0, sf::Joystick::PovX, 0.f);
    EXPECT_FALSE(frame(left)) << "another axis";

    tilt(0, sf::Joystick::X, -80.f);
    EXPECT_TRUE(frame([&] { return input.isActionDown("left"); }));
    EXPECT_FALSE(frame([&] { return input.isActionDown("left"); })) << "a held direction is one press";
}

// What a pad on Linux reports: up is negative on the stick's Y axis and on the D-pad's PovY alike.
TEST_F(InputTest, ThePadLayoutReadsUpAndDownAsAPadOnLinuxReportsThem) {
    pads[0].connected = true;
    input.bindPad("up", {PadLayout::StickUp, PadLayout::DPadUp});
    input.bindPad("down", {PadLayout::StickDown, PadLayout::DPadDown});
    // The directions held in one frame, "up", "down" or both.
    auto directions = [&] {
        std::string seen;
        frame([&] {
            seen = std::string(input.isActionPressed("up") ? "up" : "") +
                   (input.isActionPressed("down") ? "down" : "");
            return true;
        });
        return seen;
    };
    tilt(0, sf::Joystick::PovY, -100.f);
    EXPECT_EQ(directions(), "up");
    tilt(0, sf::Joystick::PovY, 100.f);
    EXPECT_EQ(directions(), "down");
    tilt(0, sf::Joystick::PovY, 0.f);
    tilt(0, sf::Joystick::Y, -100.f);
    EXPECT_EQ(directions(), "up");
    tilt(0, sf::Joystick::Y, 100.f);
    EXPECT_EQ(directions(), "down");
}

TEST_F(InputTest, KeysAndPadInputsOfOneActionWorkSideBySide) {
    pads[0].connected = true;
    input.actions["jump"] = sf::Keyboard::Space;
    input.bindPad("jump", {PadLayout::A});
    auto jump = [&] { return input.isActionDown("jump"); };

    held.insert(sf::Keyboard::Space);
    EXPECT_TRUE(frame(jump));
    EXPECT_FALSE(frame(jump));
    press(0, PadLayout::A);
    EXPECT_TRUE(frame(jump)) << "a new press of the pad while the key is held";
    held.clear();
    EXPECT_FALSE(frame(jump));
    EXPECT_TRUE(frame([&] { return input.isActionPressed("jump"); }));

    release(0, PadLayout::A);
    EXPECT_FALSE(frame([&] { return input.isActionDown("jump") || input.isActionPressed("jump"); }));
    EXPECT_FALSE(frame([&] { return input.isActionDown("pause"); })) << "unbound";
}

TEST_F(InputTest, PadsConnectedOrDisconnectedWhilePlayingAreFollowed) {
    input.bindPad("jump", {PadLayout::A});
    auto jump = [&] { return input.isActionDown("jump"); };

    press(0, PadLayout::A);
    EXPECT_FALSE(frame(jump)) << "a pad that is not connected reports nothing";

    pads[3].connected = true;
    press(3, PadLayout::A);
    EXPECT_TRUE(frame(jump)) << "any connected pad counts";
    EXPECT_FALSE(frame(jump));

    pads[3].connected = false;
    EXPECT_FALSE(frame(jump));
    EXPECT_FALSE(frame([&] { return input.isActionPressed("jump"); }));
    pads[3].connected = true;
    EXPECT_TRUE(frame(jump)) << "reconnected with the button held: a new press";

    EXPECT_FALSE(frame([&] { return input.isActionDown("jump") || input.isActionPressed("jump"); }, false))
        << "without focus";
    EXPECT_TRUE(frame(jump)) << "nothing was recorded without focus";
}

TEST_F(InputTest, ExclusiveActionsSilenceEveryOtherActionUntilLifted) {
    pads[0].connected = true;
    input.actions["pause"] = sf::Keyboard::P;
    input.actions["jump"] = sf::Keyboard::Space;
    input.bindPad("attack", {PadLayout::X});
    input.exclusiveActions = {"pause"};

    held = {sf::Keyboard::P, sf::Keyboard::Space};
    press(0, PadLayout::X);
    EXPECT_TRUE(frame([&] { return input.isActionDown("pause"); }));
    EXPECT_FALSE(frame([&] {
        return input.isActionDown("jump") || input.isActionPressed("jump") || input.isActionDown("attack") ||
               input.isActionPressed("attack");
    }));
    EXPECT_TRUE(input.isKeyHeld(sf::Keyboard::Space)) << "plain key queries are not actions";

    input.exclusiveActions.clear();
    EXPECT_TRUE(frame([&] { return input.isActionDown("jump") && input.isActionDown("attack"); }))
        << "held through the restriction and never recorded, so a new press";

    input.exclusiveActions = {"pause"};
    input.clearBindings();
    EXPECT_TRUE(input.exclusiveActions.empty());
    EXPECT_FALSE(frame([&] { return input.isActionPressed("attack") || input.isActionPressed("jump"); }))
        << "keys and pad inputs are unbound";
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
