// The smallest game on orn: one scene with a Tiled map, a box the arrow keys move and Space makes jump, a
// camera that follows it and a GUI label. Run it from this folder (it reads ./data/); "--frames N" ends it
// after N frames, which is how the test suite runs it without anybody at the keyboard.
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "engine/AssetManager.hpp"
#include "engine/BoxCollider.hpp"
#include "engine/Camera.hpp"
#include "engine/ChunkedTileLayer.hpp"
#include "engine/Game.hpp"
#include "engine/GameObject.hpp"
#include "engine/InputManager.hpp"
#include "engine/ObjectGroupOverlay.hpp"
#include "engine/Rigidbody.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Sprite.hpp"
#include "engine/Tilemap.hpp"
#include "engine/Time.hpp"
#include "engine/Transform.hpp"
#include "gui/Label.hpp"
#include "gui/RendererData.hpp"

namespace {

/// Drives the box: held arrows push it sideways, Space jumps while its collider touches something.
class BoxController : public orn::Component {
public:
    void init() override {
        body = gameObject->getComponent<orn::Rigidbody>();
        collider = gameObject->getComponent<orn::BoxCollider>();
    }
    void update() override {
        auto rigidbody = body.lock();
        orn::InputManager& input = orn::InputManager::getInstance();
        const float dt = orn::Time::getInstance().deltaTime;
        const float direction = input.isActionPressed("left")    ? -1.f
                                : input.isActionPressed("right") ? 1.f
                                                                 : 0.f;
        if (direction != 0.f) {
            rigidbody->impulses.push_back({direction * 1500.f * dt, 0.f});
        }
        if (input.isActionDown("jump") && !collider.lock()->contacts.empty()) {
            rigidbody->impulses.push_back({0.f, -1000.f});
        }
    }

private:
    /// Both on the own object, which owns them.
    std::weak_ptr<orn::Rigidbody> body;
    std::weak_ptr<orn::BoxCollider> collider;
};

/// Ends the program after a number of frames by closing the window, as a click on its close button would.
class FrameLimit : public orn::Component {
public:
    explicit FrameLimit(long frames) : remaining(frames) {}
    void update() override {
        if (--remaining <= 0) {
            orn::SceneManager::getInstance().requireWindow().close();
        }
    }
    long remaining;
};

class StarterScene : public orn::Scene {
public:
    explicit StarterScene(long frameLimit) : frameLimit(frameLimit) {}

    void init() override {
        orn::InputManager::getInstance().actions = {
            {"left", sf::Keyboard::Left}, {"right", sf::Keyboard::Right}, {"jump", sf::Keyboard::Space}};
        orn::AssetManager& assets = orn::AssetManager::getInstance();
        // The asset manager owns the map. Compact storage keeps only the cells, which is all chunked layers
        // need, so maps of millions of tiles load fast and stay small.
        orn::Tilemap* map = assets.loadTilemap("starter", "starter.tmx", orn::TileStorage::Compact);

        // One object per tile layer, drawn in layer order: 0 behind, 1 in front. A chunked layer draws only
        // the part of the map in view.
        createGameObject(0)->addComponent<orn::ChunkedTileLayer>(map, "back");
        createGameObject(1)->addComponent<orn::ChunkedTileLayer>(map, "ground");

        // F3 shows the map's objects where Tiled shows them, beside the colliders made from them.
        createGameObject(7)->addComponent<orn::ObjectGroupOverlay>(map, "objects");

        // Static colliders where the map has "Collider" objects; the box starts at "Start".
        sf::Vector2f start;
        for (const auto& object : map->getObjectGroup("objects").objects) {
            if (object->type == "Collider") {
                createGameObject(1)->addComponent<orn::BoxCollider>(
                    sf::FloatRect(object->x, object->y, object->width, object->height));
            } else if (object->type == "Start") {
                start = {object->x, object->y};
            }
        }

        orn::GameObject* box = createGameObject(2);
        box->getTransform().lock()->setPosition(start);
        auto* body = box->addComponent<orn::Rigidbody>();
        body->forces.push_back({0.f, 9.81f});  // gravity: a force changes the velocity every physics step
        body->damping = 0.95f;
        box->addComponent<orn::BoxCollider>(sf::FloatRect(0.f, 0.f, 16.f, 16.f));
        box->addComponent<orn::Sprite>(*assets.loadTexture("tiles", "tiles.png"), sf::IntRect(48, 0, 16, 16));
        box->addComponent<BoxController>();
        box->addComponent<orn::Camera>()->zoom = 2.f;  // centred on the box, two window pixels per pixel

        auto label = gui::Label::create("Arrows move, Space jumps");
        label->setFont(*assets.getFont("default"));  // loaded by Game::init, lives as long as the process
        label->setPosition(10, 10);
        gui::RendererData look;  // as a section of a theme file would give it
        look.setProperty("TextColor", "#FFFFFF");
        label->setRenderer(look);
        gui.add(label);

        if (frameLimit > 0) {
            createGameObject(7)->addComponent<FrameLimit>(frameLimit);
        }
    }

    void unload() override {
        orn::InputManager::getInstance().actions.clear();
        orn::AssetManager::getInstance().clearSceneAssets();
    }

private:
    long frameLimit;
};

}  // namespace

int main(int argc, char** argv) {
    const long frames =
        argc == 3 && std::string(argv[1]) == "--frames" ? std::strtol(argv[2], nullptr, 10) : 0;
    try {
        orn::Game game("orn starter", 800, 600, [frames] { return std::make_shared<StarterScene>(frames); });
        game.run();
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
