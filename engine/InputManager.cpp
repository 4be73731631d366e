#include "engine/InputManager.hpp"

#include <SFML/Window/Window.hpp>

namespace orn {

InputManager& InputManager::getInstance() {
    static InputManager instance;
    return instance;
}

bool InputManager::isKeyHeld(sf::Keyboard::Key key) const {
    return keyStateSource ? keyStateSource(key) : sf::Keyboard::isKeyPressed(key);
}

bool InputManager::isKeyDown(sf::Keyboard::Key key) {
    if (!hasFocus || !isKeyHeld(key)) {
        return false;
    }
    keysDownThisFrame.insert(key);
    return keysDownLastFrame.count(key) == 0;
}

bool InputManager::isActionDown(const std::string& name) {
    auto found = actions.find(name);
    return found != actions.end() && isKeyDown(found->second);
}

bool InputManager::isActionPressed(const std::string& name) const {
    auto found = actions.find(name);
    return found != actions.end() && hasFocus && isKeyHeld(found->second);
}

void InputManager::beginFrame() {
    keysDownThisFrame.clear();
}

void InputManager::endFrame() {
    keysDownLastFrame = keysDownThisFrame;
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

}  // namespace orn
