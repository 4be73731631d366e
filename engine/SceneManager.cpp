#include "engine/SceneManager.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <algorithm>

#include "engine/DebugDraw.hpp"
#include "engine/InputManager.hpp"
#include "engine/NotInitializedException.hpp"
#include "engine/Scene.hpp"

namespace orn {

SceneManager& SceneManager::getInstance() {
    static SceneManager instance;
    return instance;
}

void SceneManager::init(sf::RenderWindow& target, sf::Vector2u size) {
    window = &target;
    referenceSize = size;
}

void SceneManager::loadScene(std::shared_ptr<Scene> scene) {
    nextScene = std::move(scene);
}

sf::RenderWindow& SceneManager::requireWindow() const {
    if (!window) {
        throw NotInitializedException();
    }
    return *window;
}

unsigned SceneManager::getPixelScale() const {
    if (!window || referenceSize.x == 0 || referenceSize.y == 0) {
        return 1;
    }
    const sf::Vector2u size = window->getSize();
    return std::max(1u, std::min(size.x / referenceSize.x, size.y / referenceSize.y));
}

void SceneManager::update() {
    if (window) {
        window->setView(window->getDefaultView());
    }
    if (nextScene) {
        if (currentScene) {
            currentScene->unload();
        }
        currentScene = std::move(nextScene);
        nextScene.reset();
        sf::RenderWindow& target = requireWindow();
        currentScene->gui.setTarget(target);
        currentScene->resetGuiView();
        currentScene->init();
    }
    if (currentScene) {
        currentScene->update();
    }
    if (InputManager::getInstance().isKeyDown(sf::Keyboard::F3)) {
        DebugDraw::enabled = !DebugDraw::enabled;
    }
}

void SceneManager::shutdown() {
    if (currentScene) {
        currentScene->unload();
    }
    currentScene.reset();
}

}  // namespace orn
