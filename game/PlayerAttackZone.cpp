#include "game/PlayerAttackZone.hpp"

#include <cmath>
#include <string>

#include "engine/Collider.hpp"
#include "engine/DebugDraw.hpp"
#include "engine/GameObject.hpp"
#include "engine/Scene.hpp"
#include "engine/Transform.hpp"
#include "game/Health.hpp"

namespace {

bool isTarget(const orn::GameObject& object) {
    return object.hasTag("Enemy") || object.hasTag("Destroyable");
}

}  // namespace

PlayerAttackZone::~PlayerAttackZone() = default;

void PlayerAttackZone::onTriggerEnter(orn::Collision collision) {
    orn::GameObject* other = collision.other->getGameObject();
    if (isTarget(*other)) {
        targets.push_back(other->getComponent<Health>());
    }
}

void PlayerAttackZone::onTriggerExit(orn::Collider* other) {
    orn::GameObject* object = other->getGameObject();
    if (!isTarget(*object)) {
        return;
    }
    const std::shared_ptr<Health> leaving = object->getComponent<Health>().lock();
    if (!leaving) {
        return;
    }
    for (auto entry = targets.begin(); entry != targets.end();) {
        if (entry->lock() == leaving) {
            entry = targets.erase(entry);
        } else {
            ++entry;
        }
    }
}

void PlayerAttackZone::setFlipped(bool value) {
    flipped = value;
    auto transform = gameObject->getTransform().lock();
    sf::Vector2f scale = transform->getLocalScale();
    scale.x = value ? -std::fabs(scale.x) : std::fabs(scale.x);
    transform->setLocalScale(scale);
}

void PlayerAttackZone::setSize(sf::Vector2f scale) {
    gameObject->getTransform().lock()->setLocalScale({flipped ? -scale.x : scale.x, scale.y});
}

void PlayerAttackZone::takeForm(float formDamage, sf::Vector2f scale, bool formBreaksBlocks) {
    damage = formDamage;
    setSize(scale);
    breaksBlocks = formBreaksBlocks;
}

void PlayerAttackZone::attack() {
    const sf::Vector2f zonePosition = gameObject->getTransform().lock()->getPosition();
    // Damage runs event handlers that may change targets; walk a copy.
    const std::vector<std::weak_ptr<Health>> current = targets;
    for (const auto& entry : current) {
        auto target = entry.lock();
        if (!target) {
            continue;
        }
        orn::GameObject* object = target->getGameObject();
        if (!breaksBlocks && object->hasTag("Destroyable")) {
            continue;
        }
        std::weak_ptr<orn::GameObject> source = gameObject->scene->findGameObject(gameObject->id);
        sf::Vector2f direction = object->getTransform().lock()->getPosition() - zonePosition;
        const float length = std::sqrt(direction.x * direction.x + direction.y * direction.y);
        if (length != 0.f) {
            direction /= length;
        }
        target->damage(damage, source, direction);
    }
}

void PlayerAttackZone::drawDebug() {
    orn::DebugDraw::color = sf::Color::Red;
    orn::DebugDraw::drawText(std::to_string(targets.size()), gameObject->getTransform().lock()->getPosition(),
                             "default");
}
