#include "game/scenes/CreditScene.hpp"

#include "engine/AssetManager.hpp"
#include "engine/Camera.hpp"
#include "engine/GameObject.hpp"
#include "engine/InputManager.hpp"
#include "game/ui/UICredits.hpp"
#include "game/ui/UIFocusNavigator.hpp"

void CreditScene::init() {
    // Nothing here reads it: only the Back button (clicked, or focused and pressed by key or pad) leaves.
    orn::InputManager::getInstance().actions["escape"] = sf::Keyboard::Escape;
    UIFocusNavigator::bindActions();

    orn::AssetManager& assets = orn::AssetManager::getInstance();
    assets.loadFont("Improbable", "fonts/Improbable.ttf");
    assets.loadFont("PixelNarrative", "fonts/PixelNarrative-alternative-letter-a-REGULAR.ttf");
    assets.loadTexture("ql_vrn", "ql_vrn.png");

    orn::GameObject* credits = createGameObject(1);
    credits->addComponent<UICredits>();
    credits->addComponent<UIFocusNavigator>();

    orn::GameObject* camera = createGameObject(1);
    camera->setTag("Main Camera");
    camera->addComponent<orn::Camera>();
}

void CreditScene::unload() {
    orn::InputManager::getInstance().clearBindings();
    orn::AssetManager::getInstance().clearSceneAssets();
}
