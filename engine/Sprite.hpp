#pragma once

#include <SFML/Graphics/Sprite.hpp>
#include <string>

#include "engine/Component.hpp"

namespace orn {

class SpriteBatch;

/// Shows a texture, or a rectangle of one, at the owner's world position, rotation and scale.
/// The texture belongs to the asset manager and must stay loaded while the sprite draws.
class Sprite : public Component {
public:
    /// Raises AssetLoadException when the asset manager holds no texture under textureKey.
    explicit Sprite(const std::string& textureKey);
    /// Shows textureRect of a texture that is not stored under a key (a tile map's tileset texture); the
    /// texture's owner keeps it alive while the sprite draws.
    Sprite(const sf::Texture& texture, const sf::IntRect& textureRect);
    ~Sprite() override;

    /// Draws into the scene manager's window in its current view; sprites wholly outside the view are
    /// skipped. Raises NotInitializedException without a window.
    void draw() override;
    /// What draw() shows, added to batch instead of drawn at once: it appears when the batch flushes.
    void drawInto(SpriteBatch& batch) override;

    /// The SFML sprite drawn; its texture belongs to the asset manager or the tile map.
    sf::Sprite sprite;
    /// Extra scale multiplied with the transform's world scale.
    sf::Vector2f scale{1.f, 1.f};
    /// Pivot as a fraction of the current texture rectangle: (0, 0) top left, (0.5, 1) bottom centre.
    sf::Vector2f origin{0.f, 0.f};
    /// Draws mirrored by negating the texture rectangle, so the owner must set the rectangle before every
    /// draw (as AnimatedSprite does) when using it.
    bool flipX = false;

protected:
    /// The pivot in pixels of the picture shown by rect (the texture rectangle before any mirroring): origin
    /// times the rectangle's size. Both draw paths place the sprite by it.
    virtual sf::Vector2f pivotInPixels(const sf::IntRect& rect) const;

private:
    /// Brings sprite up to date with the transform, scale, origin and flipX, as every draw does first.
    void prepare();
};

}  // namespace orn
