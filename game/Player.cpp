#include "game/Player.hpp"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "engine/AnimatedSprite.hpp"
#include "engine/Animator.hpp"
#include "engine/AssetManager.hpp"
#include "engine/BoxCollider.hpp"
#include "engine/DebugDraw.hpp"
#include "engine/GameObject.hpp"
#include "engine/InputManager.hpp"
#include "engine/PhysicsManager.hpp"
#include "engine/Rigidbody.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Time.hpp"
#include "engine/Transform.hpp"
#include "game/FormRecord.hpp"
#include "game/GroundedCheck.hpp"
#include "game/Health.hpp"
#include "game/MainScene.hpp"
#include "game/PlayerAttackZone.hpp"

namespace {

std::weak_ptr<GroundedCheck> findGroundedCheck(const orn::Transform& transform) {
    for (orn::Transform* child : transform.getChildren()) {
        if (!child->gameObject) {
            continue;
        }
        auto found = child->gameObject->getComponent<GroundedCheck>();
        if (!found.expired()) {
            return found;
        }
        found = findGroundedCheck(*child);
        if (!found.expired()) {
            return found;
        }
    }
    return {};
}

}  // namespace

Player::Player(const std::shared_ptr<orn::BoxCollider>& human, const std::shared_ptr<orn::BoxCollider>& rat,
               const std::shared_ptr<orn::BoxCollider>& minotaur)
    : minotaurCollider(minotaur), ratCollider(rat), humanCollider(human) {}

Player::~Player() = default;

void Player::init() {
    rigidbody = gameObject->getComponent<orn::Rigidbody>();
    groundedCheck = findGroundedCheck(*gameObject->getTransform().lock());
    subscribe("playerDeath");
    subscribe("playerHit");
    attackObject = gameObject->findChildByName("Trigger");
    if (auto object = attackObject.lock()) {
        attackZone = object->getComponent<PlayerAttackZone>();
    }
    if (auto zone = attackZone.lock()) {
        zone->player = std::static_pointer_cast<Player>(shared_from_this());
    }
}

void Player::takeForm(Form next, const std::weak_ptr<orn::GameObject>& object) {
    form = next;
    formObject = object;
}

std::weak_ptr<orn::BoxCollider> Player::bodyOf(Form of) const {
    switch (of) {
        case Form::Rat:
            return ratCollider;
        case Form::Minotaur:
            return minotaurCollider;
        default:
            return humanCollider;
    }
}

void Player::useBodyCollider(Form active) {
    for (const FormRecord& record : FormRecord::all()) {
        if (auto body = bodyOf(record.form).lock()) {
            body->enabled = false;
        }
    }
    if (auto body = bodyOf(active).lock()) {
        body->enabled = true;
    }
}

bool Player::bodyFits(Form next) const {
    auto body = bodyOf(next).lock();
    if (!body) {
        return true;
    }
    for (orn::Collider* other : orn::PhysicsManager::getInstance().colliders) {
        // Null entries are colliders destroyed during a physics pass.
        if (!other || other->isTrigger || !other->enabled || other->getGameObject() == gameObject ||
            !other->getGameObject()->isActive() || (other->rigidbody && !other->rigidbody->isKinematic)) {
            continue;
        }
        sf::Vector2f normal;
        float depth = 0.f;
        if (body->checkCollision(other, &normal, &depth) && depth > roomTolerance) {
            return false;
        }
    }
    return true;
}

std::weak_ptr<orn::Animator> Player::currentAnimator() const {
    auto object = formObject.lock();
    return object ? object->getComponent<orn::Animator>() : std::weak_ptr<orn::Animator>();
}

std::weak_ptr<orn::AnimatedSprite> Player::currentSprite() const {
    auto object = formObject.lock();
    return object ? object->getComponent<orn::AnimatedSprite>() : std::weak_ptr<orn::AnimatedSprite>();
}

bool Player::isGrounded() const {
    auto check = groundedCheck.lock();
    return check && check->groundContacts > 0;
}

void Player::update() {
    orn::InputManager& input = orn::InputManager::getInstance();
    const float dt = orn::Time::getInstance().deltaTime;
    auto body = rigidbody.lock();
    auto zone = attackZone.lock();
    if (!body || !zone) {
        return;  // only a player built by its prefab has both
    }

    float direction = 0.f;
    if (!isAttacking) {
        auto sprite = currentSprite().lock();
        if (input.isActionPressed("left")) {
            direction = -1.f;
            if (sprite) {
                sprite->flipX = true;
            }
            zone->setFlipped(true);
        } else if (input.isActionPressed("right")) {
            direction = 1.f;
            if (sprite) {
                sprite->flipX = false;
            }
            zone->setFlipped(false);
        }
        // A form with no jump impulse (the minotaur) does not jump at all.
        if (input.isActionDown("jump") && isGrounded() && jumpForce != 0.f) {
            body->impulses.push_back({0.f, -jumpForce});
            if (FormRecord::of(form).playsJumpAnimation) {
                if (auto animator = currentAnimator().lock()) {
                    animator->play("jump");
                }
            }
        }
    }

    // The velocity still holds the walking push of the last physics step, which the next step's contact
    // takes back from a body held against a wall: standing there is not running.
    const float lastPush = drive.x * body->inverseMass * body->damping;
    // Walking pushes in every physics step, not once per frame: a body held against a step's face is then
    // still pushed in the few steps in which a jump lifts it past the top, however long the frames are.
    setDrive(*body, {direction * moveForce * orn::PhysicsManager::fixedStep, 0.f});

    if (input.isActionDown("attack") && isGrounded() && !isAttacking) {
        if (auto animator = currentAnimator().lock()) {
            animator->play("slash");
        }
        isAttacking = true;
        attackTimer = 0.f;
    }
    if (isAttacking) {
        attackTimer += dt;
        if (attackTimer >= attackHitTime && !hitApplied) {
            zone->attack();
            hitApplied = true;
        }
        if (attackTimer >= attackDuration) {
            isAttacking = false;
            hitApplied = false;
        }
    }

    const sf::Vector2f velocity = body->velocity;
    isRunning = std::fabs(velocity.x - lastPush) > 1.f;
    isGoingUp = velocity.y < 0.f;
    if (auto animator = currentAnimator().lock()) {
        animator->parameters["isRunning"] = isRunning;
        animator->parameters["isGoingUp"] = isGoingUp;
        animator->parameters["isGrounded"] = isGrounded();
    }
}

void Player::setDrive(orn::Rigidbody& body, sf::Vector2f force) {
    auto previous = std::find(body.forces.begin(), body.forces.end(), drive);
    if (drive != sf::Vector2f() && previous != body.forces.end()) {
        body.forces.erase(previous);
    }
    drive = force;
    if (drive != sf::Vector2f()) {
        body.forces.push_back(drive);
    }
}

void Player::setAttackTiming(const std::string& animatorKey, float hitFraction) {
    orn::AssetManager& assets = orn::AssetManager::getInstance();
    float speed = 1.f;
    for (const auto& state : assets.getAnimatorConfiguration(animatorKey)->states) {
        if (state.name == "slash") {
            speed = state.speed;
            break;
        }
    }
    const float duration = assets.getSpriteAnimation(animatorKey)->getDuration("slash");
    attackDuration = duration / speed;
    attackHitTime = attackDuration * hitFraction;
}

void Player::onEvent(const std::string& eventName, std::shared_ptr<orn::EventArgs> args) {
    if (eventName == "playerDeath") {
        std::cout << "Player died!" << std::endl;
        if (auto death = std::dynamic_pointer_cast<Health::DeathEvent>(args)) {
            if (auto killer = death->source.lock()) {
                std::cout << "Killed by: " << killer->name << std::endl;
            }
        }
        orn::SceneManager::getInstance().loadScene<MainScene>();
    } else if (eventName == "playerHit") {
        if (auto animator = currentAnimator().lock()) {
            animator->play("hit");
        }
        // A hit ends the attack; clearing hitApplied too lets the next attack deal its damage.
        isAttacking = false;
        hitApplied = false;
    }
}

void Player::drawDebug() {
    const sf::Vector2f position = gameObject->getTransform().lock()->getPosition();
    orn::DebugDraw::drawLine(position, position + rigidbody.lock()->velocity, 1.f);
}
