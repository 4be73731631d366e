#include "game/scenes/EndScene.hpp"

#include "engine/AnimatedSprite.hpp"
#include "engine/AssetManager.hpp"
#include "engine/Camera.hpp"
#include "engine/GameObject.hpp"
#include "engine/InputManager.hpp"
#include "engine/Transform.hpp"
#include "game/scenes/MenuScene.hpp"
#include "game/scenes/SceneTransition.hpp"
#include "game/ui/UIEndCard.hpp"

EndScene::EndScene(float seconds) : secondsTaken(seconds) {}

void EndScene::init() {
    orn::InputManager::getInstance().actions["escape"] = sf::Keyboard::Escape;

    orn::AssetManager& assets = orn::AssetManager::getInstance();
    assets.loadTexture("player", "animated/player.png");
    assets.loadSpriteAnimation("player", "animated/player.json");
    assets.loadFont("Improbable", "fonts/Improbable.ttf");
    assets.loadFont("PixelNarrative", "fonts/PixelNarrative-alternative-letter-a-REGULAR.ttf");

    orn::GameObject* card = createGameObject(1);
    card->addComponent<UIEndCard>(secondsTaken);
    card->addComponent<SceneTransition<MenuScene>>("escape", returnAfter);

    // The camera stays at (0, 0), so the view is centred there; the hero stands just above the middle.
    orn::GameObject* camera = createGameObject(1);
    camera->setTag("Main Camera");
    camera->addComponent<orn::Camera>();

    orn::GameObject* hero = createGameObject(3);
    auto* sprite = hero->addComponent<orn::AnimatedSprite>("player", "player", "idle");
    sprite->origin = {0.5f, 1.f};
    sprite->scale = {4.f, 4.f};
    hero->getTransform().lock()->setPosition({0.f, -16.f});
}

void EndScene::unload() {
    orn::InputManager::getInstance().clearBindings();
    orn::AssetManager::getInstance().clearSceneAssets();
}
