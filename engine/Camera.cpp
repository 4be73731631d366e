#include "engine/Camera.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <algorithm>
#include <cmath>

#include "engine/GameObject.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Transform.hpp"

namespace orn {

Camera* Camera::main = nullptr;

Camera::~Camera() {
    if (main == this) {
        main = nullptr;
    }
}

void Camera::init() {
    if (!main) {
        apply();
    }
}

void Camera::update() {
    gameObject->scene->cameraQueue.push_back(this);
}

void Camera::apply() {
    const SceneManager& scenes = SceneManager::getInstance();
    sf::RenderWindow& window = scenes.requireWindow();
    const sf::Vector2f windowSize(window.getSize());
    const sf::Vector2f reference(scenes.getReferenceSize());
    const auto scale = static_cast<float>(scenes.getPixelScale());
    const bool boxed = letterbox && reference.x > 0.f && reference.y > 0.f;
    // The window pixels that the view fills.
    sf::Vector2f shown = boxed ? reference * scale : windowSize;
    if (boxed) {
        shown *= std::min(1.f, std::min(windowSize.x / shown.x, windowSize.y / shown.y));
    }
    const float inverseZoom = 1.f / zoom;
    const sf::Vector2f size = (boxed ? reference : windowSize / scale) * inverseZoom;
    sf::Vector2f centre;
    if (auto transform = gameObject->getTransform().lock()) {
        centre = transform->getPosition();
    }
    view.reset(sf::FloatRect(centre.x - size.x * 0.5f, centre.y - size.y * 0.5f, size.x, size.y));
    // Whole pixels for the picture's corner, so that tiles stay on the pixel grid.
    const sf::Vector2f corner(std::floor((windowSize.x - shown.x) / 2.f),
                              std::floor((windowSize.y - shown.y) / 2.f));
    view.setViewport(sf::FloatRect(corner.x / windowSize.x, corner.y / windowSize.y, shown.x / windowSize.x,
                                   shown.y / windowSize.y));
    window.setView(view);
    main = this;
}

}  // namespace orn
