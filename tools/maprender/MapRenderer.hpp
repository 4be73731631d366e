#pragma once

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <string>

namespace orn {
class Tilemap;
}

/// Draws the visible tile layers of a map of any orientation, in document order, through ChunkedTileLayer
/// into an image laid out as Tiled's tmxrasterizer lays it out: the map's pixel size (Tilemap::pixelBounds;
/// for an infinite map, that of the 16-tile blocks its tiles occupy), widened on each side by the largest
/// layer offset towards that side, with a transparent background.
class MapRenderer {
public:
    /// map: read during construction and render only. Raises std::runtime_error naming the map when the
    /// picture would be more than 32768 pixels a side.
    explicit MapRenderer(const orn::Tilemap& map);

    /// The map area the image shows, in map pixels (left and top may be negative).
    sf::IntRect bounds() const { return area; }

    /// Needs a display for the window it draws in; the window is closed again before returning.
    sf::Image render() const;

private:
    const orn::Tilemap& map;  ///< owned by the caller, outlives the renderer
    sf::IntRect area;
};
