#include "game/Enemy.hpp"

#include <string>

#include "engine/AnimatedSprite.hpp"
#include "engine/Animator.hpp"
#include "engine/Collider.hpp"
#include "engine/DebugDraw.hpp"
#include "engine/GameObject.hpp"
#include "engine/Rigidbody.hpp"
#include "engine/Scene.hpp"
#include "engine/Time.hpp"
#include "engine/Transform.hpp"
#include "game/Health.hpp"

namespace {

constexpr float contactDamage = 10.f;
constexpr float walkingThreshold = 0.785f;  ///< pixels per second of horizontal speed

}  // namespace

Enemy::Enemy(sf::Vector2f initialDirection) : direction(initialDirection) {}

Enemy::~Enemy() = default;

void Enemy::start() {
    rigidbody = gameObject->getComponent<orn::Rigidbody>();
    sprite = gameObject->getComponent<orn::AnimatedSprite>();
    animator = gameObject->getComponent<orn::Animator>();
    const std::string id = std::to_string(gameObject->id);
    subscribe("enemyKilled" + id);
    subscribe("enemyHit" + id);
}

void Enemy::update() {
    if (!alive) {
        return;
    }
    const float dt = orn::Time::getInstance().deltaTime;
    auto body = rigidbody.lock();
    if (body) {
        const sf::Vector2f impulse = direction * (dt * moveForce);
        if (impulse != sf::Vector2f()) {
            body->impulses.push_back(impulse);
        }
    }
    if (auto states = animator.lock(); states && body) {
        states->parameters["isWalking"] =
            body->velocity.x > walkingThreshold || body->velocity.x < -walkingThreshold;
    }
    if (cooldownTimer != 0.f) {
        cooldownTimer -= dt;
    }
}

void Enemy::onCollisionEnter(orn::Collision collision) {
    if (collision.normal.x != 0.f && !collision.other->getGameObject()->hasTag("Player")) {
        direction = -direction;
        if (auto image = sprite.lock()) {
            image->flipX = direction.x < 0.f;
        }
    }
}

void Enemy::onCollisionStay(orn::Collision collision) {
    orn::GameObject* other = collision.other->getGameObject();
    if (!other->hasTag("Player") || cooldownTimer > 0.f || !alive) {
        return;
    }
    if (auto health = other->getComponent<Health>().lock()) {
        health->damage(contactDamage, gameObject->scene->findGameObject(gameObject->id), collision.normal);
        cooldownTimer = damageCooldown;
    }
}

void Enemy::onEvent(const std::string& eventName, std::shared_ptr<orn::EventArgs>) {
    const std::string id = std::to_string(gameObject->id);
    if (eventName == "enemyKilled" + id) {
        alive = false;
        if (auto states = animator.lock()) {
            states->play("die");
        }
        const auto image = sprite.lock();
        gameObject->destroy(image ? image->spriteAnimation.getDuration("die") : 0.f);
    } else if (eventName == "enemyHit" + id) {
        if (auto states = animator.lock()) {
            states->play("hit");
        }
    }
}

void Enemy::drawDebug() {
    orn::DebugDraw::color = sf::Color::Green;
    const sf::Vector2f position = gameObject->getTransform().lock()->getPosition();
    orn::DebugDraw::drawLine(position, position + direction * 10.f, 1.f);
}
