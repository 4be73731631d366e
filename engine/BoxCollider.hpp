#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

#include "engine/Collider.hpp"

namespace orn {

/// An axis-aligned box placed relative to its game object's world position and scaled by its world scale.
/// Game code sets isTrigger, origin, offset and size directly.
class BoxCollider : public Collider {
public:
    /// offset = (left, top) and size = (width, height) of rect, in pixels; origin (0, 0).
    explicit BoxCollider(sf::FloatRect rect);
    ~BoxCollider() override;
    /// Draws nothing into the window, so it never splits the scene's sprite runs.
    void drawInto(SpriteBatch&) override {}

    /// The box outline, yellow for a trigger and red otherwise, straight into the scene manager's window;
    /// raises NotInitializedException when it has none.
    void drawDebug() override;
    /// Boxes that only touch along an edge do not collide; on equal overlaps the vertical axis wins. Raises
    /// CollisionMethodNotImplementedException unless other is a BoxCollider.
    bool checkCollision(Collider* other, sf::Vector2f* normal, float* depth) override;
    /// getWorldRect().
    std::optional<sf::FloatRect> getWorldBounds() override { return getWorldRect(); }

    /// The box in world pixels, also stored in rect: the offset is added unscaled, the size is scaled by the
    /// world scale and a mirrored (negative) size is normalised. Needs an owning game object.
    sf::FloatRect getWorldRect();

    sf::Vector2f offset;  ///< pixels, added to the world position
    sf::Vector2f size;    ///< pixels, before the world scale
    sf::FloatRect rect;   ///< the world rectangle of the last getWorldRect call
    /// Pivot as fractions of the scaled size: (0, 0) puts the top-left corner at the reference point,
    /// (0.5, 1) the bottom centre.
    sf::Vector2f origin;
};

}  // namespace orn
