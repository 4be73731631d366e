#pragma once

#include <SFML/System/Vector2.hpp>
#include <array>

#include "game/Form.hpp"
#include "game/FormStats.hpp"

/// Everything fixed about one of the player's forms, in one row: the player's prefab builds the form from
/// it, Transmutation applies it, the controller and the form regions follow it and the HUD shows it.
struct FormRecord {
    Form form;
    /// Tag of the form's child object under the player's root.
    const char* tag;
    /// Key of the form's texture, sprite sheet and animator configuration.
    const char* animatorKey;
    /// The bool property of a form region ("AvailableRegion") that grants or takes the form.
    const char* regionProperty;
    /// Whether the form is available when the level starts.
    bool availableAtStart;
    /// Damage, attack zone scale and jump impulse.
    FormStats stats;
    /// Share of the slash animation after which the blow lands.
    float hitFraction;
    /// Whether its blows break destroyable blocks.
    bool breaksBlocks;
    /// Whether a jump plays the animator state "jump".
    bool playsJumpAnimation;
    /// Scale at which its sprite is drawn.
    float spriteScale;
    /// Width and height of its body collider, in widths of the sprite's first frame.
    sf::Vector2f bodySize;

    /// The row of form; raises std::out_of_range for a value outside the enumeration.
    static const FormRecord& of(Form form);
    /// Every row, in the order of Form, which is also the order of the transmutate cycle.
    static const std::array<FormRecord, 3>& all();
};
