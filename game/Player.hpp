#pragma once

#include <memory>
#include <string>

#include "engine/Component.hpp"

namespace orn {
class BoxCollider;
class GameObject;
class Rigidbody;
}  // namespace orn

class GroundedCheck;
class PlayerAttackZone;
class Transmutation;

/// The player's controller on its root object: turns the actions into movement, jumps and slashes, feeds the
/// current form's animator, reacts to hits and restarts the level on death.
class Player : public orn::Component {
public:
    /// The three body colliders on the root, of which Transmutation enables one.
    Player(const std::shared_ptr<orn::BoxCollider>& humanCollider,
           const std::shared_ptr<orn::BoxCollider>& ratCollider,
           const std::shared_ptr<orn::BoxCollider>& minotaurCollider);
    ~Player() override;

    void onEvent(const std::string& eventName, std::shared_ptr<orn::EventArgs> args) override;
    void init() override;
    void update() override;
    void drawDebug() override;

    bool isGrounded() const;
    /// An attack lasts one play of the form's "slash" animation and lands at hitFraction of it.
    void setAttackTiming(const std::string& animatorKey, float hitFraction);

    float moveForce = 1500.f;  ///< horizontal impulse per second of held movement
    float jumpForce = 1000.f;
    bool isRunning = false;
    bool isGoingUp = false;
    bool isAttacking = false;
    bool hitApplied = false;
    float attackDuration = 0.f;  ///< seconds
    float attackHitTime = 0.f;   ///< seconds into the attack
    float attackTimer = 0.f;     ///< seconds since the attack started
    std::weak_ptr<orn::GameObject> attackObject;
    std::weak_ptr<PlayerAttackZone> attackZone;
    std::weak_ptr<orn::Rigidbody> rigidbody;
    std::weak_ptr<Transmutation> transmutation;
    std::weak_ptr<orn::BoxCollider> minotaurCollider;
    std::weak_ptr<orn::BoxCollider> ratCollider;
    std::weak_ptr<orn::BoxCollider> humanCollider;
    std::weak_ptr<GroundedCheck> groundedCheck;
};
