#pragma once

#include <gtest/gtest.h>

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>
#include <initializer_list>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "TestScenes.hpp"
#include "engine/Game.hpp"
#include "engine/GameObject.hpp"
#include "engine/InputManager.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Tilemap.hpp"
#include "game/MapObjectFactory.hpp"
#include "gui/TextWidget.hpp"

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

/// The scene manager's current scene.
inline std::shared_ptr<orn::Scene> current() {
    return orn::SceneManager::getInstance().getCurrentScene();
}

template <class T>
bool currentIs() {
    return std::dynamic_pointer_cast<T>(current()) != nullptr;
}

/// The first component T of the current scene's objects, layer by layer; null when there is none.
template <class T>
std::shared_ptr<T> firstComponent() {
    for (const auto& layer : current()->layers) {
        for (const auto& entry : layer) {
            if (auto found = entry.second->getComponent<T>().lock()) {
                return found;
            }
        }
    }
    return nullptr;
}

/// The first widget of the current scene's GUI that shows `text`, or null.
template <class T = gui::TextWidget>
std::shared_ptr<T> widgetWithText(const std::string& text) {
    for (const auto& widget : current()->gui.getWidgets()) {
        auto textWidget = std::dynamic_pointer_cast<T>(widget);
        if (textWidget && textWidget->getText() == text) {
            return textWidget;
        }
    }
    return nullptr;
}

/// Moves the mouse to the middle of the widget through the current scene's GUI, as the main loop forwards
/// window events; with `press`, then presses and releases the left button there.
inline void hover(const gui::Widget& widget, bool press = false) {
    const sf::Vector2f centre = widget.getPosition() + widget.getSize() / 2.f;
    const int x = static_cast<int>(centre.x);
    const int y = static_cast<int>(centre.y);
    sf::Event event;
    event.type = sf::Event::MouseMoved;
    event.mouseMove = {x, y};
    current()->gui.handleEvent(event);
    for (auto type : {sf::Event::MouseButtonPressed, sf::Event::MouseButtonReleased}) {
        event.type = type;
        event.mouseButton = {sf::Mouse::Left, x, y};
        if (press) {
            current()->gui.handleEvent(event);
        }
    }
}

inline void click(const gui::Widget& widget) {
    hover(widget, true);
}

}  // namespace gametest
