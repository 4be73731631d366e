#include "game/scenes/WolfController.hpp"

#include <SFML/Graphics/RenderWindow.hpp>

#include "engine/Camera.hpp"
#include "engine/GameObject.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Time.hpp"
#include "engine/Transform.hpp"

namespace {
/// World units per second.
constexpr float runSpeed = 195.f;
/// Size of one frame of the wolf's sheet, in pixels.
constexpr float frameWidth = 80.f;
constexpr float frameHeight = 48.f;

/// The window pixel in world coordinates through the main camera's view; (0, 0) without a main camera.
sf::Vector2f pixelToWorld(const sf::RenderWindow& window, sf::Vector2i pixel) {
    if (!orn::Camera::main) {
        return {0.f, 0.f};
    }
    return window.mapPixelToCoords(pixel, orn::Camera::main->view);
}

sf::Vector2i windowSize(const sf::RenderWindow& window) {
    return {static_cast<int>(window.getSize().x), static_cast<int>(window.getSize().y)};
}
}  // namespace

void WolfController::start() {
    resetPosition();
}

void WolfController::update() {
    const sf::RenderWindow& window = orn::SceneManager::getInstance().requireWindow();
    const sf::Vector2f bottomRight = pixelToWorld(window, windowSize(window));
    auto transform = gameObject->getTransform().lock();
    const float x = transform->getPosition().x + orn::Time::getInstance().deltaTime * runSpeed;
    transform->setPosition({x, bottomRight.y - frameHeight});
    if (transform->getPosition().x > bottomRight.x) {
        resetPosition();
    }
}

void WolfController::resetPosition() {
    const orn::SceneManager& scenes = orn::SceneManager::getInstance();
    const sf::RenderWindow& window = scenes.requireWindow();
    // One frame width left of the window, in window pixels at the pixel scale the wolf is drawn at.
    const auto frameInPixels = static_cast<int>(frameWidth * static_cast<float>(scenes.getPixelScale()));
    const sf::Vector2f bottomLeft = pixelToWorld(window, {-frameInPixels, windowSize(window).y});
    gameObject->getTransform().lock()->setPosition({bottomLeft.x, bottomLeft.y - frameHeight});
}
