#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>
#include <string>

namespace orn {

/// The developer overlay: a flag toggled by F3 and three drawing operations that draw one shape or text
/// straight into the scene manager's window, in world coordinates of the current view, in one shared colour.
/// Each raises NotInitializedException when the scene manager has no window.
class DebugDraw {
public:
    DebugDraw() = delete;

    /// Text of character size 16 with its top-left at position; fontKey names a font of the asset manager.
    static void drawText(const std::string& text, sf::Vector2f position, const std::string& fontKey);
    /// A bar of the given thickness from one point to another.
    static void drawLine(sf::Vector2f from, sf::Vector2f to, float thickness);
    /// A 30-point circle outline, at least one pixel thick.
    static void drawCircle(sf::Vector2f centre, float radius, float thickness);

    /// Whether Game::draw runs the debug pass; starts false.
    static bool enabled;
    /// Colour of the next drawing call; Game::draw resets it to white before every component's drawDebug.
    static sf::Color color;
};

}  // namespace orn
