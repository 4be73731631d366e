#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/Component.hpp"
#include "engine/Tilemap.hpp"

namespace orn {

class Sprite;

/// Turns one named layer of a tile map into drawable game objects: at init it creates one child object per
/// placed tile (or per piece of a tile drawn in pieces, see Tilemap::pieces), in the draw layer of its own
/// game object, each with a Sprite of the tile's rectangle placed at the tile's map pixel position (plus the
/// layer's offset) in world space. Flips become the tile object's rotation and scale about the sprite's
/// centre; the layer's tint and opacity the sprite's colour; a hidden layer's tiles are created inactive. Per
/// frame it only moves animated tiles on to their next frame.
///
/// Every tile costs a game object that the scene visits each frame, so this suits small maps whose tiles
/// take part in the scene; ChunkedTileLayer draws the same pixels at a cost that follows the screen. Needs a
/// map of TileStorage::Tiles.
class TileLayer : public Component {
public:
    /// tilemap: not owned and not null; the asset manager's scene store keeps it while the scene lives.
    TileLayer(Tilemap* tilemap, std::string layerName);
    /// The layer at index of the map's layersInOrder, which may be one whose name a later layer repeats.
    /// Raises std::out_of_range at init when there is no such layer.
    TileLayer(Tilemap* tilemap, std::size_t layerIndex);
    ~TileLayer() override;

    /// Raises TiledObjectNotFoundException, naming the map's file, when the map has no such layer, and
    /// AssetLoadException naming the file and the layer when the map was loaded with TileStorage::Compact.
    void init() override;
    /// Advances the animated tiles by the frame's scaled time.
    void update() override;

    /// The map whose layer this draws; see the constructor for its lifetime.
    Tilemap* tilemap;
    /// Name of the map layer drawn.
    std::string layerName;

private:
    /// Set by the index constructor; otherwise the layer is looked up by name.
    std::size_t layerIndex = 0;
    bool byIndex = false;

    struct AnimatedTile {
        std::shared_ptr<const Tilemap::Tile> tile;
        /// The tile object's sprite; the tile object (owned by the scene) may be destroyed before the layer.
        std::weak_ptr<Sprite> sprite;
        Tilemap::AnimationClock clock;
        Tilemap::Piece piece;  ///< the part of each frame the sprite shows
    };

    std::vector<AnimatedTile> animated;
};

}  // namespace orn
