#include "game/CameraFollow.hpp"

#include "engine/Camera.hpp"
#include "engine/GameObject.hpp"
#include "engine/Scene.hpp"
#include "engine/Time.hpp"
#include "engine/Transform.hpp"

namespace {

std::weak_ptr<orn::GameObject> findPlayer(const orn::Scene& scene) {
    for (const auto& layer : scene.layers) {
        for (const auto& entry : layer) {
            if (entry.second->hasTag("Player")) {
                return entry.second;
            }
        }
    }
    for (const auto& pending : scene.pendingObjects) {
        if (pending->hasTag("Player")) {
            return pending;
        }
    }
    return {};
}

}  // namespace

CameraFollow::~CameraFollow() = default;

void CameraFollow::start() {
    followSpeed = 5.f;
    target = findPlayer(*gameObject->scene);
    camera = gameObject->getComponent<orn::Camera>();
}

void CameraFollow::update() {
    auto followed = target.lock();
    if (!followed || camera.expired()) {
        return;
    }
    const float t = followSpeed * orn::Time::getInstance().deltaTime;
    auto own = gameObject->getTransform().lock();
    const sf::Vector2f c = own->getPosition();
    const sf::Vector2f p = followed->getTransform().lock()->getPosition();
    own->setPosition(c + (p - c) * t);
}
