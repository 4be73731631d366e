#include "game/Health.hpp"

#include <cstdio>

#include "engine/DebugDraw.hpp"
#include "engine/GameObject.hpp"
#include "engine/Rigidbody.hpp"
#include "engine/Transform.hpp"

Health::Health(float startHealth, float maximum, float knockback, std::string death, std::string hit,
               std::string healthChanged)
    : health(startHealth),
      maxHealth(maximum),
      knockbackForce(knockback),
      deathEvent(std::move(death)),
      hitEvent(std::move(hit)),
      healthChangedEvent(std::move(healthChanged)) {}

Health::Health(float startHealth, float maximum, float knockback, std::string death)
    : Health(startHealth, maximum, knockback, std::move(death), "", "") {}

Health::~Health() = default;

void Health::start() {
    rigidbody = gameObject->getComponent<orn::Rigidbody>();
    if (!healthChangedEvent.empty()) {
        fireEvent(healthChangedEvent, std::make_shared<HealthChangedEvent>(health));
    }
}

void Health::damage(float amount, std::weak_ptr<orn::GameObject> source, sf::Vector2f direction) {
    if (health > 0.f) {
        float remaining = health - amount;
        if (!(remaining < maxHealth)) {
            remaining = maxHealth;
        }
        if (!(remaining > 0.f)) {
            remaining = 0.f;
        }
        health = remaining;
        if (!healthChangedEvent.empty()) {
            fireEvent(healthChangedEvent, std::make_shared<HealthChangedEvent>(health));
        }
        if (!hitEvent.empty()) {
            fireEvent(hitEvent, std::make_shared<DamageEvent>(source, amount));
        }
        if (health <= 0.f && !deathEvent.empty()) {
            fireEvent(deathEvent, std::make_shared<DeathEvent>(source));
        }
    }
    if (direction == sf::Vector2f()) {
        return;
    }
    if (auto body = rigidbody.lock()) {
        const sf::Vector2f impulse = direction * knockbackForce;
        if (impulse != sf::Vector2f()) {
            body->impulses.push_back(impulse);
        }
    }
}

void Health::drawDebug() {
    orn::DebugDraw::color = sf::Color::Green;
    char text[96];
    std::snprintf(text, sizeof text, "%f/%f", static_cast<double>(health), static_cast<double>(maxHealth));
    orn::DebugDraw::drawText(text, gameObject->getTransform().lock()->getPosition(), "default");
}
