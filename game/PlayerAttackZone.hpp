#pragma once

#include <SFML/System/Vector2.hpp>
#include <memory>
#include <vector>

#include "engine/Component.hpp"

class Health;
class Player;

/// The reach of the player's slash, on the player's child "Trigger": collects the health of every enemy and
/// block inside its trigger box and damages them all when the attack lands. The active form sets its damage,
/// its scale and whether it breaks blocks (takeForm); the facing mirrors it.
class PlayerAttackZone : public orn::Component {
public:
    ~PlayerAttackZone() override;

    void drawDebug() override;
    void onTriggerEnter(orn::Collision collision) override;
    void onTriggerExit(orn::Collider* other) override;

    /// Faces left (true) or right, by the sign of the transform's x scale.
    void setFlipped(bool value);
    /// Sets the transform's scale, keeping the facing.
    void setSize(sf::Vector2f scale);
    /// Takes on a form's reach: the damage per target, the scale (see setSize) and whether blocks break.
    void takeForm(float formDamage, sf::Vector2f scale, bool formBreaksBlocks);
    /// Damages every live target, skipping blocks unless breaksBlocks.
    void attack();

    bool flipped = false;
    /// One entry per entering contact, in order of entry.
    std::vector<std::weak_ptr<Health>> targets;
    float damage = 10.f;
    /// Only the minotaur's blows break destroyable blocks.
    bool breaksBlocks = false;
    /// The controller on the parent object, which owns it and sets this when it finds its zone.
    std::weak_ptr<Player> player;
};
