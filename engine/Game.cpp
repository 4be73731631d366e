#include "engine/Game.hpp"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/VideoMode.hpp>

#include "engine/AssetManager.hpp"
#include "engine/DebugDraw.hpp"
#include "engine/InputManager.hpp"
#include "engine/PhysicsManager.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Time.hpp"

namespace orn {

Game::Game(std::string windowTitle, std::uint32_t windowWidth, std::uint32_t windowHeight, SceneFactory first)
    : title(std::move(windowTitle)), width(windowWidth), height(windowHeight), firstScene(std::move(first)) {}

bool Game::init() {
    createWindow(fullscreen);
    SceneManager::getInstance().init(window, {width, height});
    SceneManager::getInstance().loadScene(firstScene());

    AssetManager& assets = AssetManager::getInstance();
    assets.rootPath = "./data/";
    if (!assets.initialised) {
        assets.loadTags();
        assets.loadFont("default", "fonts/MatchupPro.ttf", true);
        assets.initialised = true;
    }
    assets.loadTexture("application_icon", "icon.png");
    icon = assets.getTexture("application_icon")->copyToImage();
    window.setIcon(icon.getSize().x, icon.getSize().y, icon.getPixelsPtr());
    return true;
}

void Game::createWindow(bool fullscreenMode) {
    if (fullscreenMode) {
        const auto& modes = sf::VideoMode::getFullscreenModes();
        const sf::VideoMode mode = modes.empty() ? sf::VideoMode::getDesktopMode() : modes.front();
        window.create(mode, title, sf::Style::Fullscreen);
    } else {
        window.create(sf::VideoMode(width, height, 32), title,
                      sf::Style::Titlebar | sf::Style::Resize | sf::Style::Close);
    }
    fullscreen = fullscreenMode;
    // A recreated window loses both; without vertical synchronisation the loop would spin a core.
    window.setVerticalSyncEnabled(true);
    if (icon.getSize().x > 0) {
        window.setIcon(icon.getSize().x, icon.getSize().y, icon.getPixelsPtr());
    }
}

void Game::run() {
    if (!init()) {
        return;
    }
    sf::Clock frameClock;
    while (window.isOpen()) {
        pollEvents();
        update(frameClock.restart());
        draw();
    }
    shutdown();
}

void Game::pollEvents() {
    sf::Event event;
    while (window.pollEvent(event)) {
        handleEvent(event);
    }
}

void Game::handleEvent(const sf::Event& event) {
    if (event.type == sf::Event::Closed) {
        window.close();
    }
    InputManager::getInstance().handleEvent(event);
    if (const auto& scene = SceneManager::getInstance().getCurrentScene()) {
        scene->gui.handleEvent(event);
    }
}

void Game::update(sf::Time elapsed) {
    Time& time = Time::getInstance();
    time.update(elapsed);

    InputManager& input = InputManager::getInstance();
    input.beginFrame();
    input.hasFocus = input.readFocus(window);
    if (input.hasFocus && input.isKeyHeld(sf::Keyboard::LAlt) && input.isKeyDown(sf::Keyboard::Enter)) {
        createWindow(!fullscreen);
    }

    PhysicsManager& physics = PhysicsManager::getInstance();
    physics.accumulator += time.deltaTime;
    while (physics.accumulator > fixedStep) {
        physics.collisionPass();
        physics.integrate(fixedStep);
        physics.accumulator -= fixedStep;
    }

    SceneManager::getInstance().update();
    input.endFrame();
}

void Game::draw() {
    window.clear(sf::Color::Black);
    if (const auto& scene = SceneManager::getInstance().getCurrentScene()) {
        scene->drawComponents(false);
        if (DebugDraw::enabled) {
            scene->drawComponents(true);
        }
        scene->gui.draw();
    }
    window.display();
}

void Game::shutdown() {
    SceneManager::getInstance().shutdown();
    AssetManager::getInstance().clearAssets();
}

}  // namespace orn
