#pragma once

#include <SFML/System/Vector2.hpp>

namespace orn {

class Collider;

/// One contact, passed by value to the collision and trigger enter and stay callbacks.
/// The collider pointers are valid during the callback only; the physics world does not own them.
struct Collision {
    Collider* collider = nullptr;  ///< the collider whose game object's components receive the call
    Collider* other = nullptr;     ///< the collider it touches
    float depth = 0.f;             ///< penetration depth in pixels along normal
    sf::Vector2f normal;           ///< unit axis vector of the contact
};

}  // namespace orn
