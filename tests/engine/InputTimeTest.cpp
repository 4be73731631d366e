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
    void press(unsigned pad, orn::PadInput button, bool down = true) {
        pads[pad].buttons =
            down ? pads[pad].buttons | 1u << button.index : pads[pad].buttons & ~(1u << button.index);
    }
    void tilt(unsigned pad, sf::Joystick::Axis axis, float position) { pads[pad].axes[axis] = position; }
};

}  // namespace

TEST_F(InputTest, AKeyReportsOnePressPerPressAndKeyEventsAddThePressesBetweenFrames) {
    input.actions["jump"] = sf::Keyboard::Space;
    // Asked twice: several callers in one frame get the same answer.
    auto jump = [&] { return input.isActionDown("jump") && input.isActionDown("jump"); };
    held.insert(sf::Keyboard::Space);
    space(sf::Event::KeyPressed);
    EXPECT_TRUE(frame(jump));
    EXPECT_FALSE(frame(jump));
    space(sf::Event::KeyPressed);
    EXPECT_FALSE(frame(jump)) << "a key repeat";
    space(sf::Event::KeyReleased);
    space(sf::Event::KeyPressed);
    EXPECT_TRUE(frame(jump)) << "let go and pressed again between two frames";

    held.clear();
    space(sf::Event::KeyReleased);
    space(sf::Event::KeyPressed);
    space(sf::Event::KeyReleased);
    EXPECT_TRUE(frame(jump)) << "a tap shorter than a frame";
    EXPECT_FALSE(frame(jump));

    held.insert(sf::Keyboard::Space);
    EXPECT_FALSE(frame([&] { return input.isActionDown("jump") || input.isActionPressed("jump"); }, false))
        << "without focus";
    EXPECT_TRUE(frame(jump)) << "nothing was recorded without focus, so a held key is a new press";
    EXPECT_FALSE(frame([] { return false; }));
    EXPECT_TRUE(frame(jump)) << "nobody asked in the frame before, so a held key is a new press";
    EXPECT_TRUE(frame([&] {
        return !input.isActionDown("unbound") && !input.isActionPressed("unbound") &&
               input.isActionPressed("jump");
    }));
    EXPECT_TRUE(input.keysDownThisFrame.empty()) << "isActionPressed and unbound names record nothing";
}

TEST_F(InputTest, PadButtonsAndAxisDirectionsOfAnyConnectedPadActLikeKeys) {
    input.actions["jump"] = sf::Keyboard::Space;
    input.bindPad("jump", {PadLayout::A});
    input.bindPad("left", {PadLayout::StickLeft});
    input.bindPad("left", {PadLayout::DPadLeft});
    input.bindPad("up", {PadLayout::StickUp, PadLayout::DPadUp});
    auto jump = [&] { return input.isActionDown("jump"); };
    auto pressed = [&](const char* action) { return frame([&] { return input.isActionPressed(action); }); };

    press(3, PadLayout::A);
    EXPECT_FALSE(frame(jump)) << "a pad that is not connected reports nothing";
    pads[3].connected = true;
    EXPECT_TRUE(frame(jump));
    EXPECT_FALSE(frame(jump));
    EXPECT_TRUE(pressed("jump"));
    press(3, PadLayout::A, false);
    EXPECT_FALSE(pressed("jump"));
    held.insert(sf::Keyboard::Space);
    EXPECT_TRUE(frame(jump));
    press(3, PadLayout::A);
    EXPECT_TRUE(frame(jump)) << "a new press of the pad while the key is held";
    held.clear();
    pads[3].connected = false;
    EXPECT_FALSE(frame(jump) || pressed("jump"));
    pads[3].connected = true;
    EXPECT_TRUE(frame(jump)) << "reconnected with the button held: a new press";
    EXPECT_FALSE(frame([&] { return input.isActionDown("jump") || input.isActionPressed("jump"); }, false));
    EXPECT_TRUE(frame(jump)) << "nothing was recorded without focus";

    tilt(3, sf::Joystick::X, -20.f);
    EXPECT_FALSE(pressed("left")) << "a resting stick drifts inside the dead zone";
    tilt(3, sf::Joystick::X, -input.padDeadZone);
    EXPECT_FALSE(pressed("left"));
    tilt(3, sf::Joystick::X, -60.f);
    EXPECT_TRUE(pressed("left"));
    tilt(3, sf::Joystick::X, 100.f);
    EXPECT_FALSE(pressed("left")) << "the other direction";
    tilt(3, sf::Joystick::PovX, -100.f);
    EXPECT_TRUE(pressed("left")) << "the D-pad is bound too";
    tilt(3, sf::Joystick::PovX, 0.f);
    tilt(3, sf::Joystick::Y, -100.f);
    EXPECT_FALSE(pressed("left")) << "another axis";
    // Up is negative on the stick's Y axis and, as a pad on Linux reports it, on the D-pad's PovY.
    EXPECT_TRUE(pressed("up"));
    tilt(3, sf::Joystick::Y, 0.f);
    tilt(3, sf::Joystick::PovY, -100.f);
    EXPECT_TRUE(pressed("up"));
    tilt(3, sf::Joystick::PovY, 100.f);
    EXPECT_FALSE(pressed("up"));
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

TEST(Time, FrameDurationsAreScaledAndSummedUnscaled) {
    orn::Time& time = orn::Time::getInstance();
    const float before = time.time;
    time.timeScale = 0.5f;
    time.update(sf::milliseconds(100));
    time.timeScale = 1.f;
    EXPECT_FLOAT_EQ(time.deltaTime, 0.05f);
    EXPECT_NEAR(time.time - before, 0.1f, 1e-5f);
}
