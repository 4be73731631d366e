#pragma once

#include <SFML/Window/Joystick.hpp>
#include <cstddef>
#include <functional>

namespace orn {

/// One input of a game pad that an action can be bound to: a button, or one direction of an axis. An axis
/// direction counts as held while the axis is deflected that way beyond the input manager's dead zone.
struct PadInput {
    /// A button, or the positive or negative direction of an axis.
    enum class Kind { Button, AxisPositive, AxisNegative };

    Kind kind = Kind::Button;  ///< what index refers to
    /// The button number (0 to sf::Joystick::ButtonCount - 1) or the sf::Joystick::Axis.
    unsigned index = 0;

    /// The button numbered number, as SFML numbers them (0 to sf::Joystick::ButtonCount - 1).
    static constexpr PadInput button(unsigned number) { return {Kind::Button, number}; }
    /// The axis deflected towards its positive end (right or down for a stick).
    static constexpr PadInput axisPositive(sf::Joystick::Axis axis) {
        return {Kind::AxisPositive, static_cast<unsigned>(axis)};
    }
    /// The axis deflected towards its negative end (left or up for a stick).
    static constexpr PadInput axisNegative(sf::Joystick::Axis axis) {
        return {Kind::AxisNegative, static_cast<unsigned>(axis)};
    }

    /// Equal when both name the same button or the same direction of the same axis.
    bool operator==(const PadInput& other) const { return kind == other.kind && index == other.index; }
    /// Negation of operator==.
    bool operator!=(const PadInput& other) const { return !(*this == other); }
};

}  // namespace orn

namespace std {

/// Lets a PadInput key unordered containers, as the input manager's bindings and held-input sets do.
template <>
struct hash<orn::PadInput> {
    /// Different inputs give different values.
    size_t operator()(const orn::PadInput& input) const noexcept {
        return hash<unsigned>()(input.index * 3u + static_cast<unsigned>(input.kind));
    }
};

}  // namespace std
