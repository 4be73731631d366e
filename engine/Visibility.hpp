#pragma once

#include <SFML/Graphics/Rect.hpp>

namespace sf {
class RenderTarget;
}

namespace orn {

/// Whether something drawn would show: drawables wholly outside the view cost a draw call for nothing.
class Visibility {
public:
    Visibility() = delete;

    /// Whether world bounds overlap the target's current view. A rotated view counts everything as visible.
    static bool inView(const sf::RenderTarget& target, const sf::FloatRect& bounds);
};

}  // namespace orn
