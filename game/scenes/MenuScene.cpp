#include "game/scenes/MenuScene.hpp"

#include "engine/AnimatedSprite.hpp"
#include "engine/AssetManager.hpp"
#include "engine/Camera.hpp"
#include "engine/GameObject.hpp"
#include "engine/InputManager.hpp"
#include "game/scenes/WolfController.hpp"
#include "game/ui/UIFocusNavigator.hpp"
#include "game/ui/UIMenu.hpp"

void MenuScene::init() {
    orn::InputManager::getInstance().actions["start"] = sf::Keyboard::Space;
    UIFocusNavigator::bindActions();

    orn::AssetManager& assets = orn::AssetManager::getInstance();
    assets.loadTexture("wolf", "80x48Wolf.png");
    assets.loadTexture("logo", "logo_anim.png");
    assets.loadSpriteAnimation("wolf", "80x48Wolf.json");
    assets.loadSpriteAnimation("logo", "logo_anim.json");
    assets.loadFont("Improbable", "fonts/Improbable.ttf");
    assets.loadFont("PixelNarrative", "fonts/PixelNarrative-alternative-letter-a-REGULAR.ttf");
    assets.loadTheme("default_theme", "gui/gui_theme.txt");

    orn::GameObject* menu = createGameObject(1);
    menu->addComponent<UIMenu>();
    menu->addComponent<UIFocusNavigator>();

    orn::GameObject* camera = createGameObject(1);
    camera->setTag("Main Camera");
    camera->addComponent<orn::Camera>();

    orn::GameObject* wolf = createGameObject(1);
    wolf->addComponent<orn::AnimatedSprite>("wolf", "wolf", "run");
    wolf->addComponent<WolfController>();
}

void MenuScene::unload() {
    orn::InputManager::getInstance().clearBindings();
    orn::AssetManager::getInstance().clearSceneAssets();
}
