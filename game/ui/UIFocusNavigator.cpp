#include "game/ui/UIFocusNavigator.hpp"

#include "engine/InputManager.hpp"
#include "engine/PadLayout.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"

void UIFocusNavigator::bindActions() {
    using orn::PadLayout;
    orn::InputManager& input = orn::InputManager::getInstance();
    input.actions["menuUp"] = sf::Keyboard::Up;
    input.actions["menuDown"] = sf::Keyboard::Down;
    input.actions["menuSelect"] = sf::Keyboard::Enter;
    input.bindPad("menuUp", {PadLayout::DPadUp, PadLayout::StickUp});
    input.bindPad("menuDown", {PadLayout::DPadDown, PadLayout::StickDown});
    input.bindPad("menuSelect", {PadLayout::A});
}

void UIFocusNavigator::update() {
    orn::InputManager& input = orn::InputManager::getInstance();
    // All three are asked every frame, so that a held key or stick moves the focus once per press.
    const bool up = input.isActionDown("menuUp");
    const bool down = input.isActionDown("menuDown");
    const bool select = input.isActionDown("menuSelect");

    gui::Gui& gui = orn::SceneManager::getInstance().getCurrentScene()->gui;
    if (up) {
        gui.focusPrevious();
    }
    if (down) {
        gui.focusNext();
    }
    // Alt+Enter switches fullscreen (Game::update) and must not also press a button.
    if (select && !input.isKeyHeld(sf::Keyboard::LAlt)) {
        gui.activateFocused();
    }
}
