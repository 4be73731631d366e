#include "engine/Camera.hpp"

#include <SFML/Graphics/RenderWindow.hpp>

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
    sf::RenderWindow& window = SceneManager::getInstance().requireWindow();
    const sf::Vector2u windowSize = window.getSize();
    const float inverseZoom = 1.f / zoom;
    const sf::Vector2f size(static_cast<float>(windowSize.x) * inverseZoom,
                            static_cast<float>(windowSize.y) * inverseZoom);
    sf::Vector2f centre;
    if (auto transform = gameObject->getTransform().lock()) {
        centre = transform->getPosition();
    }
    view.reset(sf::FloatRect(centre.x - size.x * 0.5f, centre.y - size.y * 0.5f, size.x, size.y));
    window.setView(view);
    main = this;
}

}  // namespace orn
