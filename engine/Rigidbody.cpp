#include "engine/Rigidbody.hpp"

#include <algorithm>
#include <string>

#include "engine/Collider.hpp"
#include "engine/DuplicateRigidbodyException.hpp"
#include "engine/GameObject.hpp"
#include "engine/PhysicsManager.hpp"

namespace orn {

Rigidbody::Rigidbody(float mass, float restitution, float damping)
    : mass(mass < 0.f ? -1.f : mass),
      inverseMass(mass > 0.f ? 1.f / mass : 0.f),
      restitution(restitution),
      damping(damping) {
    PhysicsManager::getInstance().registerRigidbody(this);
}

Rigidbody::~Rigidbody() {
    PhysicsManager::getInstance().unregisterRigidbody(this);
    for (Collider* collider : colliders) {
        if (collider && collider->rigidbody == this) {
            collider->rigidbody = nullptr;
        }
    }
}

void Rigidbody::init() {
    if (!gameObject) {
        return;
    }
    for (const auto& entry : gameObject->components) {
        if (auto* collider = dynamic_cast<Collider*>(entry.second.get())) {
            addCollider(collider);
        }
    }
    for (const auto& pending : gameObject->pendingComponents) {
        if (auto* collider = dynamic_cast<Collider*>(pending.get())) {
            addCollider(collider);
        }
    }
}

void Rigidbody::addCollider(Collider* collider) {
    if (std::find(colliders.begin(), colliders.end(), collider) != colliders.end()) {
        return;
    }
    colliders.push_back(collider);
    if (collider->rigidbody) {
        const std::string objectId = collider->gameObject ? std::to_string(collider->gameObject->id) : "";
        throw DuplicateRigidbodyException("Duplicate rigid bodies found on game object with id '" + objectId +
                                          "'!");
    }
    collider->rigidbody = this;
}

}  // namespace orn
