#pragma once

#include <SFML/System/Vector2.hpp>
#include <memory>

#include "engine/Component.hpp"

namespace orn {
class AnimatedSprite;
class Animator;
class Rigidbody;
}  // namespace orn

/// A walking monster: walks along direction, turns at side contacts, hurts the player on contact at most once
/// per cooldown, and plays its hit and die animations when its health says so.
class Enemy : public orn::Component {
public:
    explicit Enemy(sf::Vector2f direction);
    ~Enemy() override;

    void onEvent(const std::string& eventName, std::shared_ptr<orn::EventArgs> args) override;
    void start() override;
    void update() override;
    void drawDebug() override;
    void onCollisionStay(orn::Collision collision) override;
    void onCollisionEnter(orn::Collision collision) override;

    sf::Vector2f direction;
    float moveForce = 500.f;     ///< impulse per second along direction
    float cooldownTimer = 0.f;   ///< seconds until the next contact hit is allowed
    float damageCooldown = 1.f;  ///< seconds
    bool alive = true;
    /// The body, sprite and animator on the own object, which owns them; resolved at start.
    std::weak_ptr<orn::Rigidbody> rigidbody;
    std::weak_ptr<orn::AnimatedSprite> sprite;
    std::weak_ptr<orn::Animator> animator;
};
