#pragma once

#include <SFML/System/Vector2.hpp>
#include <vector>

#include "engine/Component.hpp"

namespace orn {

class Collider;

/// Makes its game object move under forces and take part in collision response. The physics world
/// integrates every live, enabled body once per fixed step (velocities in pixels per second; a force changes
/// the velocity by force x inverse mass per step) and resolves the contacts of its colliders. There is no
/// built-in gravity: falling objects carry a constant downward force in forces.
class Rigidbody : public Component {
public:
    /// A negative mass is stored as -1 with inverse mass 0 (never accelerated or pushed); a mass of 0 also
    /// gets inverse mass 0 instead of a division by zero. Registers the body with the physics world.
    explicit Rigidbody(float mass = 1.f, float restitution = 0.f, float damping = 1.f);
    /// Unregisters the body and unlinks the colliders that still point to it.
    ~Rigidbody() override;
    /// Draws nothing into the window, so it never splits the scene's sprite runs.
    void drawInto(SpriteBatch&) override {}

    /// Links every collider of the owning game object, attached and pending.
    void init() override;

    /// Links collider to this body; linking the same collider twice does nothing. Raises
    /// DuplicateRigidbodyException when the collider already belongs to another body (two bodies on one game
    /// object); the collider is then listed here but stays with its first body.
    void addCollider(Collider* collider);

    /// Collision response never changes a kinematic body (no impulse, no correction); forces still move it.
    bool isKinematic = false;
    /// Against other bodies the body counts with inverse mass 0: it pushes and is not pushed.
    bool infiniteMass = false;
    /// As given to the constructor; -1 for a body that is never moved by others.
    float mass = 1.f;
    /// 1 / mass, or 0 for a body of mass 0 or below.
    float inverseMass = 1.f;
    /// Bounciness: 0 stops along the normal, 1 bounces back fully.
    float restitution = 0.f;
    /// Velocity factor applied every step; 1 keeps the velocity.
    float damping = 1.f;
    /// Applied every step until game code removes them.
    std::vector<sf::Vector2f> forces;
    /// Applied in the next step in which this body is integrated, then cleared.
    std::vector<sf::Vector2f> impulses;
    sf::Vector2f velocity;      ///< pixels per second
    sf::Vector2f acceleration;  ///< the velocity change of the last step
    /// Multiply acceleration, collision impulse and positional correction per axis; 0 locks the axis.
    sf::Vector2u axisFactors{1u, 1u};
    /// Colliders of the own game object that move with this body; not owned. A collider removes itself from
    /// every body when it is destroyed (during a collision pass its entry is null until the pass ends).
    std::vector<Collider*> colliders;
};

}  // namespace orn
