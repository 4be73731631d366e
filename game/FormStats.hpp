#pragma once

#include <SFML/System/Vector2.hpp>

/// What a form changes in the player: attack damage, attack zone scale and jump impulse.
struct FormStats {
    float damage = 0.f;
    sf::Vector2f attackZoneScale{1.f, 1.f};
    float jumpForce = 0.f;
};
