#pragma once

namespace orn {

/// How a Tilemap keeps its tile layers. Either way every layer keeps its cells as read
/// (Tilemap::Layer::source) and ChunkedTileLayer draws it.
enum class TileStorage {
    /// Every placed tile also becomes a Tilemap::Tile in Tilemap::Layer::tiles, the model TileLayer builds
    /// its tile objects from: over a kilobyte a tile once TileLayer has made its objects.
    Tiles,
    /// Only the cells' tile ids and flip bits, 4 bytes a cell; Tilemap::Layer::tiles stays empty, so only
    /// ChunkedTileLayer can draw the map. For maps of millions of tiles.
    Compact
};

}  // namespace orn
