#include "game/scenes/LogoScene.hpp"

#include "engine/AnimatedSprite.hpp"
#include "engine/AssetManager.hpp"
#include "engine/Camera.hpp"
#include "engine/GameObject.hpp"
#include "engine/InputManager.hpp"
#include "engine/PadLayout.hpp"
#include "game/scenes/MenuScene.hpp"
#include "game/scenes/SceneTransition.hpp"

namespace {
/// How long the logo stays before the menu, in seconds.
constexpr float logoDuration = 1.85f;
}  // namespace

void LogoScene::init() {
    using orn::PadLayout;
    orn::InputManager& input = orn::InputManager::getInstance();
    input.actions["escape"] = sf::Keyboard::Escape;
    // A pad skips the logo with any of the buttons a player tries first.
    input.bindPad("escape", {PadLayout::A, PadLayout::B, PadLayout::Back, PadLayout::Start});

    orn::AssetManager& assets = orn::AssetManager::getInstance();
    assets.loadTexture("logo", "logo_anim.png");
    assets.loadSpriteAnimation("logo", "logo_anim.json");

    orn::GameObject* camera = createGameObject(1);
    camera->setTag("Main Camera");
    camera->addComponent<orn::Camera>();
    camera->addComponent<SceneTransition<MenuScene>>("escape", logoDuration);

    // Camera and logo both stay at (0, 0), so the view is centred on the logo's pivot.
    orn::GameObject* logo = createGameObject(7);
    auto* sprite = logo->addComponent<orn::AnimatedSprite>("logo", "logo", "main");
    sprite->loop = false;
    sprite->speed = 2.25f;
    sprite->origin = {0.5f, 0.75f};
    sprite->scale = {4.f, 4.f};
}

void LogoScene::unload() {
    orn::InputManager::getInstance().clearBindings();
    orn::AssetManager::getInstance().clearSceneAssets();
}
