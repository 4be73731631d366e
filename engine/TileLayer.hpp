#pragma once

#include <string>

#include "engine/Component.hpp"

namespace orn {

class Tilemap;

/// Turns one named layer of a tile map into drawable game objects: at init it creates one child object per
/// placed tile, in the layer's order and in the draw layer of its own game object, each with a Sprite of the
/// tile's rectangle placed at the tile's map pixel position in world space. It draws nothing itself and
/// does nothing per frame.
class TileLayer : public Component {
public:
    /// tilemap: not owned and not null; the asset manager's scene store keeps it while the scene lives.
    TileLayer(Tilemap* tilemap, std::string layerName);
    ~TileLayer() override;

    /// Raises TiledObjectNotFoundException, naming the map's file, when the map has no such layer.
    void init() override;

    /// The map whose layer this draws; see the constructor for its lifetime.
    Tilemap* tilemap;
    /// Name of the map layer drawn.
    std::string layerName;
};

}  // namespace orn
