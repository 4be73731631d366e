#pragma once

#include <SFML/Window/Joystick.hpp>

#include "engine/PadInput.hpp"

namespace orn {

/// The inputs of an Xbox-style pad as SFML 2.5 numbers them on Linux (the kernel's usual pad drivers): the
/// one place where the game's pad layout is written down. Buttons: A 0, B 1, X 2, Y 3, Back 6, Start 7.
/// The left stick is the axes X (right positive) and Y (down positive); the D-pad is PovX (right positive)
/// and PovY, which on Linux is negative for up like the stick (SFML passes the kernel's sign through; on
/// other systems it is the other way round).
struct PadLayout {
    static constexpr PadInput A = PadInput::button(0);      ///< bottom face button
    static constexpr PadInput B = PadInput::button(1);      ///< right face button
    static constexpr PadInput X = PadInput::button(2);      ///< left face button
    static constexpr PadInput Y = PadInput::button(3);      ///< top face button
    static constexpr PadInput Back = PadInput::button(6);   ///< the small button left of the centre
    static constexpr PadInput Start = PadInput::button(7);  ///< the small button right of the centre

    /// Left stick pushed left.
    static constexpr PadInput StickLeft = PadInput::axisNegative(sf::Joystick::X);
    /// Left stick pushed right.
    static constexpr PadInput StickRight = PadInput::axisPositive(sf::Joystick::X);
    /// Left stick pushed up.
    static constexpr PadInput StickUp = PadInput::axisNegative(sf::Joystick::Y);
    /// Left stick pushed down.
    static constexpr PadInput StickDown = PadInput::axisPositive(sf::Joystick::Y);

    /// D-pad left.
    static constexpr PadInput DPadLeft = PadInput::axisNegative(sf::Joystick::PovX);
    /// D-pad right.
    static constexpr PadInput DPadRight = PadInput::axisPositive(sf::Joystick::PovX);
    /// D-pad up (with the Linux sign of PovY).
    static constexpr PadInput DPadUp = PadInput::axisNegative(sf::Joystick::PovY);
    /// D-pad down (with the Linux sign of PovY).
    static constexpr PadInput DPadDown = PadInput::axisPositive(sf::Joystick::PovY);
};

}  // namespace orn
