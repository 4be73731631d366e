#pragma once

#include <gtest/gtest.h>

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/System/Time.hpp>
#include <SFML/Window/Event.hpp>
#include <memory>
#include <set>
#include <string>

#include "GameTestSupport.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "gui/TextWidget.hpp"

namespace frontend {

/// The scene manager's current scene.
inline std::shared_ptr<orn::Scene> current() {
    return orn::SceneManager::getInstance().getCurrentScene();
}

template <class T>
bool currentIs() {
    return std::dynamic_pointer_cast<T>(current()) != nullptr;
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
/// window events, and returns the event there.
inline sf::Event hover(const gui::Widget& widget) {
    const sf::Vector2f centre = widget.getPosition() + widget.getSize() / 2.f;
    sf::Event event;
    event.type = sf::Event::MouseMoved;
    event.mouseMove = {static_cast<int>(centre.x), static_cast<int>(centre.y)};
    current()->gui.handleEvent(event);
    return event;
}

/// Moves the mouse to the middle of the widget and clicks the left button there.
inline void click(const gui::Widget& widget) {
    sf::Event event = hover(widget);
    const sf::Event::MouseMoveEvent at = event.mouseMove;
    event.mouseButton = {sf::Mouse::Left, at.x, at.y};
    for (auto type : {sf::Event::MouseButtonPressed, sf::Event::MouseButtonReleased}) {
        event.type = type;
        current()->gui.handleEvent(event);
    }
}

/// Runs the front end in the test process's one real game (window, data directory, scripted keyboard),
/// frame by frame. The tests' working directory is the repository root, so the game finds ./data/.
class GameHarness : public ::testing::Test {
protected:
    void SetUp() override { held.clear(); }

    /// Leaves the game as the next test expects it: no keys held, the window open at 800 x 600 and an empty
    /// scene current, so that nothing of this test keeps running.
    void TearDown() override {
        held.clear();
        sf::RenderWindow& target = window();
        if (!target.isOpen()) {
            driver.game().createWindow(false);
        } else if (target.getSize() != sf::Vector2u(800, 600)) {
            target.setSize({800, 600});
        }
        orn::SceneManager::getInstance().loadScene(std::make_shared<gametest::ScriptedScene>());
        driver.frame();
    }

    /// Requests a new T; it becomes current in the next frame, as the first scene does in a fresh game.
    template <class T>
    void start() {
        orn::SceneManager::getInstance().loadScene<T>();
    }

    /// One frame of update and draw, as the main loop runs it (events are fed by the tests themselves).
    void frame(float seconds = 1.f / 60.f) { driver.frame(seconds); }
    void frames(int count, float seconds = 1.f / 60.f) { driver.frames(count, seconds); }

    sf::RenderWindow& window() { return driver.game().getWindow(); }

    /// Resizes the window; the scenes pick the size up in their next update.
    void resize(unsigned width, unsigned height) { window().setSize({width, height}); }

    gametest::GameDriver& driver = gametest::GameDriver::instance();
    /// Keys the scripted keyboard reports as held.
    std::set<sf::Keyboard::Key>& held = driver.held;
};

}  // namespace frontend
