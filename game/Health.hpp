#pragma once

#include <SFML/System/Vector2.hpp>
#include <memory>
#include <string>

#include "engine/Component.hpp"
#include "engine/EventArgs.hpp"

namespace orn {
class GameObject;
class Rigidbody;
}  // namespace orn

/// Hit points of the player, an enemy or a block. Damage lowers them (clamped to 0..maxHealth), announces the
/// change, the hit and the death under names chosen per object, and pushes the object's body away.
class Health : public orn::Component {
public:
    struct HealthChangedEvent : virtual orn::EventArgs {
        explicit HealthChangedEvent(float value) : health(value) {}
        float health;  ///< the new current health
    };
    struct DamageEvent : virtual orn::EventArgs {
        DamageEvent(std::weak_ptr<orn::GameObject> from, float damage)
            : source(std::move(from)), amount(damage) {}
        std::weak_ptr<orn::GameObject> source;  ///< the object that dealt the damage
        float amount;
    };
    struct DeathEvent : virtual orn::EventArgs {
        explicit DeathEvent(std::weak_ptr<orn::GameObject> from) : source(std::move(from)) {}
        std::weak_ptr<orn::GameObject> source;  ///< the object that dealt the final damage
    };

    /// Empty event names fire nothing.
    Health(float health, float maxHealth, float knockbackForce, std::string deathEvent, std::string hitEvent,
           std::string healthChangedEvent);
    Health(float health, float maxHealth, float knockbackForce, std::string deathEvent);
    ~Health() override;

    /// Announces the starting health.
    void start() override;
    void drawDebug() override;

    /// While alive: lowers health by amount (a negative amount heals), then fires changed, hit and, at 0,
    /// death. Always: pushes the body along direction (unit length or zero) with the knockback force.
    void damage(float amount, std::weak_ptr<orn::GameObject> source, sf::Vector2f direction);

    float health;
    float maxHealth;
    float knockbackForce;
    std::string deathEvent;
    std::string hitEvent;
    std::string healthChangedEvent;
    /// The body the knockback pushes, on the own object, which owns it; resolved at start.
    std::weak_ptr<orn::Rigidbody> rigidbody;
};
