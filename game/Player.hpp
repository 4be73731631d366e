#pragma once

#include <SFML/System/Vector2.hpp>
#include <memory>
#include <string>

#include "engine/Component.hpp"
#include "game/Form.hpp"

namespace orn {
class AnimatedSprite;
class Animator;
class BoxCollider;
class GameObject;
class Rigidbody;
}  // namespace orn

class GroundedCheck;
class PlayerAttackZone;
class Transmutation;

/// The player's controller on its root object: turns the actions into movement, jumps and slashes, feeds the
/// current form's animator, reacts to hits and restarts the level on death. Which form it drives is told by
/// the Transmutation on the same object (takeForm, useBodyCollider, setAttackTiming, jumpForce); the
/// controller itself never looks into it.
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
    /// An attack lasts one play of the form's "slash" animation and lands at hitFraction of it. Raises
    /// std::out_of_range when the sprite animation animatorKey has no animation "slash".
    void setAttackTiming(const std::string& animatorKey, float hitFraction);
    /// From now on drives form: plays the animator and flips the sprite of formObject, and applies the form's
    /// jump rules (the minotaur cannot jump; only the human plays "jump").
    void takeForm(Form form, const std::weak_ptr<orn::GameObject>& formObject);
    /// Enables the body collider of form and disables the other two.
    void useBodyCollider(Form form);
    /// Whether the body collider of form, placed where the player stands now, stays out of every solid
    /// collider that does not give way (static geometry and kinematic blocks; enemies are pushed aside by the
    /// physics step). Contacts less than roomTolerance deep, such as the floor the player stands on, do not
    /// count.
    bool bodyFits(Form form) const;

    /// Pixels of overlap that bodyFits allows: more than the depth at which the physics step leaves a body
    /// resting on the ground.
    static constexpr float roomTolerance = 0.5f;

    /// Horizontal impulse per second of held movement, spread evenly over the physics steps.
    float moveForce = 1500.f;
    float jumpForce = 1000.f;  ///< upward impulse of a jump; set by the active form
    bool isRunning = false;
    bool isGoingUp = false;
    bool isAttacking = false;
    bool hitApplied = false;
    float attackDuration = 0.f;  ///< seconds
    float attackHitTime = 0.f;   ///< seconds into the attack
    float attackTimer = 0.f;     ///< seconds since the attack started
    /// The child "Trigger"; owned by the scene, parented to this object, so it lives as long as this one.
    std::weak_ptr<orn::GameObject> attackObject;
    /// The zone on attackObject, owned by it.
    std::weak_ptr<PlayerAttackZone> attackZone;
    /// On the own object, which owns it.
    std::weak_ptr<orn::Rigidbody> rigidbody;
    /// The form switcher on the own object, which owns it; it sets this at its start.
    std::weak_ptr<Transmutation> transmutation;
    /// The body colliders of the forms, all on the own object, which owns them.
    std::weak_ptr<orn::BoxCollider> minotaurCollider;
    std::weak_ptr<orn::BoxCollider> ratCollider;
    std::weak_ptr<orn::BoxCollider> humanCollider;
    /// On the ground probe, a child object owned by the scene.
    std::weak_ptr<GroundedCheck> groundedCheck;

private:
    std::weak_ptr<orn::BoxCollider> bodyOf(Form form) const;
    std::weak_ptr<orn::Animator> currentAnimator() const;
    std::weak_ptr<orn::AnimatedSprite> currentSprite() const;
    /// Replaces the walking force this component keeps among the body's forces.
    void setDrive(orn::Rigidbody& body, sf::Vector2f force);

    Form form = Form::Human;
    /// The active form's child object, owned by the scene; empty until the first takeForm.
    std::weak_ptr<orn::GameObject> formObject;
    /// The walking force (per physics step) that setDrive last put among the body's forces; zero for none.
    sf::Vector2f drive;
};
