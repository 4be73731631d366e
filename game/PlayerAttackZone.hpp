#pragma once

#include <SFML/System/Vector2.hpp>
#include <memory>
#include <vector>

#include "engine/Component.hpp"

class Health;
class Player;

/// The reach of the player's slash, on the player's child "Trigger": collects the health of every enemy and
/// block inside its trigger box and damages them all when the attack lands. The form sets its damage and
/// scale; the facing mirrors it.
class PlayerAttackZone : public orn::Component {
public:
    ~PlayerAttackZone() override;

    void start() override;
    void drawDebug() override;
    void onTriggerEnter(orn::Collision collision) override;
    void onTriggerExit(orn::Collider* other) override;

    /// Faces left (true) or right, by the sign of the transform's x scale.
    void setFlipped(bool value);
    /// Sets the transform's scale, keeping the facing.
    void setSize(sf::Vector2f scale);
    /// Damages every live target; blocks only in minotaur form.
    void attack();

    bool flipped = false;
    /// One entry per entering contact, in order of entry.
    std::vector<std::weak_ptr<Health>> targets;
    float damage = 10.f;
    std::weak_ptr<Player> player;
};
