#include "engine/InputManager.hpp"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>
#include <algorithm>

namespace orn {

namespace {

PadState readRealPad(unsigned pad) {
    PadState state;
    state.connected = sf::Joystick::isConnected(pad);
    if (!state.connected) {
        return state;
    }
    const unsigned buttons = std::min(sf::Joystick::getButtonCount(pad), 32u);
    for (unsigned button = 0; button < buttons; ++button) {
        if (sf::Joystick::isButtonPressed(pad, button)) {
            state.buttons |= 1u << button;
        }
    }
    for (unsigned axis = 0; axis < sf::Joystick::AxisCount; ++axis) {
        const auto named = static_cast<sf::Joystick::Axis>(axis);
        if (sf::Joystick::hasAxis(pad, named)) {
            state.axes[axis] = sf::Joystick::getAxisPosition(pad, named);
        }
    }
    return state;
}

bool isHeldOn(const PadState& pad, PadInput input, float deadZone) {
    switch (input.kind) {
        case PadInput::Kind::Button:
            return input.index < 32 && (pad.buttons & (1u << input.index)) != 0;
        case PadInput::Kind::AxisPositive:
            return input.index < pad.axes.size() && pad.axes[input.index] > deadZone;
        case PadInput::Kind::AxisNegative:
            return input.index < pad.axes.size() && pad.axes[input.index] < -deadZone;
    }
    return false;
}

}  // namespace

InputManager& InputManager::getInstance() {
    static InputManager instance;
    return instance;
}

bool InputManager::isKeyHeld(sf::Keyboard::Key key) const {
    return keyStateSource ? keyStateSource(key) : sf::Keyboard::isKeyPressed(key);
}

bool InputManager::isKeyDown(sf::Keyboard::Key key) {
    const bool pressedBefore = keysPressedBeforeFrame.count(key) > 0;
    if (!hasFocus || !(pressedBefore || isKeyHeld(key))) {
        return false;
    }
    keysDownThisFrame.insert(key);
    return pressedBefore || keysDownLastFrame.count(key) == 0;
}

bool InputManager::isPadInputHeld(PadInput input) const {
    return std::any_of(pads.begin(), pads.end(), [&](const PadState& pad) {
        return pad.connected && isHeldOn(pad, input, padDeadZone);
    });
}

bool InputManager::isPadInputDown(PadInput input) {
    if (!hasFocus || !isPadInputHeld(input)) {
        return false;
    }
    padInputsDownThisFrame.insert(input);
    return padInputsDownLastFrame.count(input) == 0;
}

bool InputManager::isAllowed(const std::string& name) const {
    return exclusiveActions.empty() || exclusiveActions.count(name) > 0;
}

bool InputManager::isActionDown(const std::string& name) {
    if (!isAllowed(name)) {
        return false;
    }
    // Every bound input is asked, so each one that is held is recorded for the next frame's edge test.
    bool down = false;
    if (auto key = actions.find(name); key != actions.end()) {
        down = isKeyDown(key->second);
    }
    if (auto pad = padActions.find(name); pad != padActions.end()) {
        for (PadInput input : pad->second) {
            down = isPadInputDown(input) || down;
        }
    }
    return down;
}

bool InputManager::isActionPressed(const std::string& name) const {
    if (!hasFocus || !isAllowed(name)) {
        return false;
    }
    if (auto key = actions.find(name); key != actions.end() && isKeyHeld(key->second)) {
        return true;
    }
    auto pad = padActions.find(name);
    return pad != padActions.end() && std::any_of(pad->second.begin(), pad->second.end(),
                                                  [this](PadInput input) { return isPadInputHeld(input); });
}

void InputManager::bindPad(const std::string& action, std::initializer_list<PadInput> inputs) {
    std::vector<PadInput>& bound = padActions[action];
    bound.insert(bound.end(), inputs.begin(), inputs.end());
}

void InputManager::clearBindings() {
    actions.clear();
    padActions.clear();
    exclusiveActions.clear();
}

void InputManager::handleEvent(const sf::Event& event) {
    if (event.type == sf::Event::KeyPressed) {
        if (keysHeldByEvents.insert(event.key.code).second) {
            keysPressedSinceFrame.insert(event.key.code);
        }
    } else if (event.type == sf::Event::KeyReleased) {
        keysHeldByEvents.erase(event.key.code);
    } else if (event.type == sf::Event::LostFocus) {
        // Keys let go elsewhere send no release here.
        keysHeldByEvents.clear();
    }
}

void InputManager::beginFrame() {
    keysPressedBeforeFrame.swap(keysPressedSinceFrame);
    keysPressedSinceFrame.clear();
    keysDownThisFrame.clear();
    padInputsDownThisFrame.clear();
    readPads();
}

void InputManager::endFrame() {
    keysDownLastFrame = keysDownThisFrame;
    padInputsDownLastFrame = padInputsDownThisFrame;
}

void InputManager::readPads() {
    for (unsigned pad = 0; pad < pads.size(); ++pad) {
        pads[pad] = padStateSource ? padStateSource(pad) : readRealPad(pad);
    }
}

bool InputManager::readFocus(const sf::Window& window) const {
    return focusSource ? focusSource(window) : window.hasFocus();
}

void InputManager::setKeyStateSource(KeyStateSource source) {
    keyStateSource = std::move(source);
}

void InputManager::setFocusSource(FocusSource source) {
    focusSource = std::move(source);
}

void InputManager::setPadStateSource(PadStateSource source) {
    padStateSource = std::move(source);
}

}  // namespace orn
