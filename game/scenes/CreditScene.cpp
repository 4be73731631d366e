#include "game/scenes/CreditScene.hpp"

#include "engine/AssetManager.hpp"
#include "engine/Camera.hpp"
#include "engine/GameObject.hpp"
#include "engine/InputManager.hpp"
#include "game/ui/UICredits.hpp"

void CreditScene::init() {
    // Nothing here reads it: only the Back button leaves the credits.
    orn::InputManager::getInstance().actions["escape"] = sf::Keyboard::Escape;

    orn::AssetManager& assets = orn::AssetManager::getInstance();
    assets.loadFont("Improbable", "fonts/Improbable.ttf");
    assets.loadFont("PixelNarrative", "fonts/PixelNarrative-alternative-letter-a-REGULAR.ttf");
    assets.loadTexture("ql_vrn", "ql_vrn.png");

    createGameObject(1)->addComponent<UICredits>();

    orn::GameObject* camera = createGameObject(1);
    camera->setTag("Main Camera");
    camera->addComponent<orn::Camera>();
}

void CreditScene::unload() {
    orn::InputManager::getInstance().actions.clear();
    orn::AssetManager::getInstance().clearSceneAssets();
}
