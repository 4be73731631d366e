#include "game/MainScene.hpp"

#include "engine/AssetManager.hpp"
#include "engine/AudioListener.hpp"
#include "engine/Camera.hpp"
#include "engine/GameObject.hpp"
#include "engine/InputManager.hpp"
#include "engine/PadLayout.hpp"
#include "engine/TileLayer.hpp"
#include "engine/TiledObjectNotFoundException.hpp"
#include "engine/Tilemap.hpp"
#include "engine/Time.hpp"
#include "engine/Transform.hpp"
#include "game/CameraFollow.hpp"
#include "game/MapObjectFactory.hpp"
#include "game/PauseToggle.hpp"
#include "game/scenes/MenuScene.hpp"
#include "game/scenes/SceneTransition.hpp"
#include "game/ui/UIHud.hpp"

namespace {

const orn::Tilemap::Object& findPlayerStart(const orn::Tilemap& map) {
    for (const auto& object : map.getObjectGroup("entities").objects) {
        if (object->name == "Player") {
            return *object;
        }
    }
    throw orn::TiledObjectNotFoundException("Object with name 'Player' not found in group 'entities'!");
}

}  // namespace

void MainScene::init() {
    bindActions();

    orn::Tilemap* map = orn::AssetManager::getInstance().loadTilemap("main", "main.tmx");
    loadLevelAssets();

    // In layer 1, so that a pause holds before the player (layer 3) reads its input in the same frame.
    orn::GameObject* controls = createGameObject(1);
    controls->addComponent<SceneTransition<MenuScene>>("exit");
    controls->addComponent<PauseToggle>();

    const orn::Tilemap::Object& start = findPlayerStart(*map);
    orn::GameObject* camera = createGameObject(1);
    camera->addComponent<orn::AudioListener>();
    camera->addComponent<CameraFollow>();
    auto* view = camera->addComponent<orn::Camera>();
    view->zoom = 2.f;
    view->letterbox = true;
    camera->getTransform().lock()->setPosition({start.x, start.y});

    createGameObject(1)->addComponent<orn::TileLayer>(map, "foreground");
    createGameObject(0)->addComponent<orn::TileLayer>(map, "background");
    createGameObject(4)->addComponent<orn::TileLayer>(map, "overlay");

    createGameObject(0)->addComponent<UIHud>();

    MapObjectFactory& factory = MapObjectFactory::getInstance();
    factory.createObjects(map->getObjectGroup("colliders"), 1);
    factory.createObjects(map->getObjectGroup("entities"), 3);
    factory.createObjects(map->getObjectGroup("destroyables"), 3);
    factory.createObjects(map->getObjectGroup("triggers"), 1);
    factory.createObjects(map->getObjectGroup("tutorial"), 2);
}

void MainScene::bindActions() {
    using orn::PadLayout;
    orn::InputManager& input = orn::InputManager::getInstance();
    auto& actions = input.actions;
    actions["exit"] = sf::Keyboard::Escape;
    actions["left"] = sf::Keyboard::A;
    actions["right"] = sf::Keyboard::D;
    actions["up"] = sf::Keyboard::W;
    actions["down"] = sf::Keyboard::S;
    actions["jump"] = sf::Keyboard::Space;
    actions["attack"] = sf::Keyboard::Enter;
    actions["transmutate"] = sf::Keyboard::E;
    actions["pause"] = sf::Keyboard::P;

    input.bindPad("exit", {PadLayout::Back});
    input.bindPad("left", {PadLayout::StickLeft, PadLayout::DPadLeft});
    input.bindPad("right", {PadLayout::StickRight, PadLayout::DPadRight});
    input.bindPad("up", {PadLayout::StickUp, PadLayout::DPadUp});
    input.bindPad("down", {PadLayout::StickDown, PadLayout::DPadDown});
    input.bindPad("jump", {PadLayout::A});
    input.bindPad("attack", {PadLayout::X});
    input.bindPad("transmutate", {PadLayout::Y});
    input.bindPad("pause", {PadLayout::Start});
}

void MainScene::loadLevelAssets() {
    orn::AssetManager& assets = orn::AssetManager::getInstance();
    assets.loadTexture("tileset", "tiles/k7v_dr2m_rogue-noir.png");
    for (const char* character : {"player", "darklord", "sneaker", "rat", "minotaur"}) {
        assets.loadTexture(character, std::string("animated/") + character + ".png");
    }
    assets.loadTexture("indicator_bg", "gui/indicator_bg.png");
    assets.loadTexture("forms", "gui/forms.png");
    for (const char* character : {"player", "darklord", "sneaker", "rat", "minotaur"}) {
        assets.loadSpriteAnimation(character, std::string("animated/") + character + ".json");
    }
    for (const char* character : {"player", "darklord", "sneaker", "rat", "minotaur"}) {
        assets.loadAnimatorConfiguration(character, std::string("animated/") + character + "_animator.json");
    }
    assets.loadSound("slime", "slime_01.wav");
}

void MainScene::unload() {
    orn::InputManager::getInstance().clearBindings();
    // A level left while paused must not leave the next scene standing still.
    orn::Time::getInstance().timeScale = 1.f;
    orn::AssetManager::getInstance().clearSceneAssets();
}
