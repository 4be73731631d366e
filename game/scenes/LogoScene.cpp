#include "game/scenes/LogoScene.hpp"

#include "engine/AssetManager.hpp"
#include "engine/InputManager.hpp"

void LogoScene::init() {
    orn::InputManager::getInstance().actions["escape"] = sf::Keyboard::Escape;
}

void LogoScene::unload() {
    orn::InputManager::getInstance().actions.clear();
    orn::AssetManager::getInstance().clearSceneAssets();
}
