#include "engine/Collider.hpp"

#include "engine/GameObject.hpp"
#include "engine/PhysicsManager.hpp"
#include "engine/Rigidbody.hpp"
#include "engine/Transform.hpp"

namespace orn {

Collider::Collider() {
    PhysicsManager::getInstance().registerCollider(this);
}

Collider::~Collider() {
    PhysicsManager::getInstance().unregisterCollider(this);
}

void Collider::init() {
    if (!gameObject) {
        return;
    }
    for (const auto& entry : gameObject->components) {
        if (auto* body = dynamic_cast<Rigidbody*>(entry.second.get())) {
            body->addCollider(this);
        }
    }
    for (const auto& pending : gameObject->pendingComponents) {
        if (auto* body = dynamic_cast<Rigidbody*>(pending.get())) {
            body->addCollider(this);
        }
    }
}

void Collider::onDisable() {
    contacts.clear();
}

std::optional<sf::FloatRect> Collider::getWorldBounds() {
    return std::nullopt;
}

Transform& Collider::ownerTransform() {
    // Cached because the physics step asks for it in every pair test; the transform is a component of the
    // same game object and so outlives every call made on this collider.
    if (!transform) {
        transform = gameObject->getTransform().lock().get();
    }
    return *transform;
}

}  // namespace orn
