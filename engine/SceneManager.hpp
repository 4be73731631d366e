#pragma once

#include <SFML/System/Vector2.hpp>
#include <memory>

namespace sf {
class RenderWindow;
}

namespace orn {

class Scene;

/// Process-wide holder of the current scene and of a requested next one. A requested switch takes effect at
/// the start of the next update, so the old scene finishes its frame and is drawn once more.
class SceneManager {
public:
    /// The process-wide scene manager, created on first use.
    static SceneManager& getInstance();

    /// window: owned by Game, which outlives every scene update. referenceSize: the window size (pixels)
    /// the scenes are made for, by which getPixelScale measures the window; zero for none.
    void init(sf::RenderWindow& window, sf::Vector2u referenceSize = {});

    /// Requests a switch to a new T; a later request before the switch replaces this one.
    template <class T>
    void loadScene() {
        loadScene(std::make_shared<T>());
    }
    /// Makes scene the current one at the start of the next update (the last request wins).
    void loadScene(std::shared_ptr<Scene> scene);

    /// The current scene; empty before the first switch.
    const std::shared_ptr<Scene>& getCurrentScene() const { return currentScene; }
    /// Null before init.
    sf::RenderWindow* getWindow() const { return window; }
    /// The window, or NotInitializedException before init.
    sf::RenderWindow& requireWindow() const;
    /// The window size given to init; zero for none.
    sf::Vector2u getReferenceSize() const { return referenceSize; }
    /// How many window pixels show one pixel of the scenes: the largest whole number by which the reference
    /// size fits into the window, at least 1 (1 without a window or a reference size). Read by cameras and
    /// GUI views whenever they are laid out, so it follows the window.
    unsigned getPixelScale() const;

    /// Called once per frame by Game::update after the physics steps.
    void update();
    /// Unloads and releases the current scene; called by Game at shutdown.
    void shutdown();

private:
    SceneManager() = default;

    std::shared_ptr<Scene> currentScene;
    std::shared_ptr<Scene> nextScene;
    sf::RenderWindow* window = nullptr;
    sf::Vector2u referenceSize;
};

}  // namespace orn
