#pragma once

#include <SFML/Window/Joystick.hpp>
#include <array>
#include <cstdint>

namespace orn {

/// What one game pad reports at the start of a frame.
struct PadState {
    bool connected = false;  ///< false when no pad is plugged in at this index
    /// Bit b is set while button b is held (SFML numbers at most 32 buttons).
    std::uint32_t buttons = 0;
    /// Axis positions from -100 to 100, indexed by sf::Joystick::Axis; 0 for axes the pad lacks.
    std::array<float, sf::Joystick::AxisCount> axes{};
};

}  // namespace orn
