#pragma once

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/System/Time.hpp>
#include <SFML/Window/Event.hpp>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace orn {

class Scene;

/// The application object: owns the window and drives the process-wide services once per frame in a fixed
/// order (time, input, fixed physics steps, scenes), then draws. Single-threaded; pacing comes from
/// vertical synchronisation.
class Game {
public:
    /// Makes the scene that becomes current in the first frame.
    using SceneFactory = std::function<std::shared_ptr<Scene>()>;

    /// Length of one physics step in seconds.
    static constexpr float fixedStep = 0.004f;

    /// title, width and height (pixels) of the window; firstScene makes the scene shown first. Opens
    /// nothing yet: init does.
    Game(std::string title, std::uint32_t width, std::uint32_t height, SceneFactory firstScene);

    /// Opens the window, requests the first scene, loads the tag table, the default font and the icon.
    /// Asset failures raise AssetLoadException.
    bool init();
    /// init, the frame loop until the window closes, then shutdown.
    void run();
    /// Handles one window event as the frame loop does before each update: the close event closes the
    /// window, key events go to the InputManager, and every event goes to the current scene's GUI.
    void handleEvent(const sf::Event& event);
    /// One frame of logic; elapsed is the frame's duration.
    void update(sf::Time elapsed);
    /// One frame of rendering.
    void draw();
    /// Unloads and releases the current scene and clears the shared assets.
    void shutdown();
    /// (Re)creates the window windowed or fullscreen, with vertical synchronisation and the icon.
    void createWindow(bool fullscreenMode);

    /// The one window, owned by the game.
    sf::RenderWindow& getWindow() { return window; }
    /// Whether the window is fullscreen (Alt+Enter toggles).
    bool isFullscreen() const { return fullscreen; }

private:
    void pollEvents();

    std::string title;
    std::uint32_t width;
    std::uint32_t height;
    bool fullscreen = false;
    sf::RenderWindow window;
    SceneFactory firstScene;
    sf::Image icon;
};

}  // namespace orn
