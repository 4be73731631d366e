#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "TestScenes.hpp"
#include "engine/Game.hpp"
#include "engine/InputManager.hpp"
#include "engine/PhysicsManager.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Tilemap.hpp"
#include "game/MapObjectFactory.hpp"

namespace gametest {

using ScriptedScene = testsupport::ScriptedScene;

/// The real game, started once per test process on the real data with a scripted keyboard: frames are driven
/// by the test with a fixed duration.
class GameDriver {
public:
    static GameDriver& instance() {
        static GameDriver driver;
        return driver;
    }

    orn::Game& game() { return theGame; }

    /// One frame of logic and drawing.
    void frame(float seconds = 1.f / 60.f) {
        theGame.update(sf::seconds(seconds));
        theGame.draw();
    }
    void frames(int count, float seconds = 1.f / 60.f) {
        for (int i = 0; i < count; ++i) {
            frame(seconds);
        }
    }

    /// Makes the scene current at the next frame and runs that frame.
    template <class T>
    std::shared_ptr<T> enter(std::shared_ptr<T> scene) {
        orn::SceneManager::getInstance().loadScene(scene);
        frame();
        return scene;
    }

    std::set<sf::Keyboard::Key> held;

private:
    GameDriver() : theGame("Kestrith", 800, 600, [] { return std::make_shared<ScriptedScene>(); }) {
        orn::InputManager::getInstance().setKeyStateSource(
            [this](sf::Keyboard::Key key) { return held.count(key) > 0; });
        orn::InputManager::getInstance().setFocusSource([](const sf::Window&) { return true; });
        theGame.init();
    }

    orn::Game theGame;
};

/// A map object as the TMX reader would give it.
inline orn::Tilemap::Object mapObject(
    const std::string& type, const std::string& name, sf::FloatRect rect,
    std::initializer_list<std::pair<const std::string, std::string>> properties = {}) {
    orn::Tilemap::Object object;
    object.type = type;
    object.name = name;
    object.x = rect.left;
    object.y = rect.top;
    object.width = rect.width;
    object.height = rect.height;
    object.properties = properties;
    return object;
}

/// Runs the creator registered for the object's type in the scene.
inline void build(orn::Scene& scene, const orn::Tilemap::Object& object, int layer = 3) {
    MapObjectFactory::getInstance().creators.at(object.type)(object, layer, &scene);
}

}  // namespace gametest
