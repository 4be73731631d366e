#pragma once

#include <SFML/Window/Joystick.hpp>
#include <cstddef>
#include <functional>

namespace orn {

/// One input of a game pad that an action can be bound to: a button, or one direction of an axis. An axis
/// direction counts as held while the axis is deflected that way beyond the input manager's dead zone.
struct PadInput {
    enum class Kind { Button, AxisPositive, AxisNegative };

    Kind kind = Kind::Button;
    /// The button number (0 to sf::Joystick::ButtonCount - 1) or the sf::Joystick::Axis.
    unsigned index = 0;

    static constexpr PadInput button(unsigned number) { return {Kind::Button, number}; }
    static constexpr PadInput axisPositive(sf::Joystick::Axis axis) {
        return {Kind::AxisPositive, static_cast<unsigned>(axis)};
    }
    static constexpr PadInput axisNegative(sf::Joystick::Axis axis) {
        return {Kind::AxisNegative, static_cast<unsigned>(axis)};
    }

    bool operator==(const PadInput& other) const { return kind == other.kind && index == other.index; }
    bool operator!=(const PadInput& other) const { return !(*this == other); }
};

}  // namespace orn

namespace std {

template <>
struct hash<orn::PadInput> {
    size_t operator()(const orn::PadInput& input) const noexcept {
        return hash<unsigned>()(input.index * 3u + static_cast<unsigned>(input.kind));
    }
};

}  // namespace std
