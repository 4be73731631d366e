#pragma once

namespace orn {

/// How a Tilemap keeps its tile layers. Either way every layer keeps its cells as read
/// (Tilemap::Layer::source) and ChunkedTileLayer draws it.
enum class TileStorage {
    /// Every placed tile also becomes a Tilemap::Tile in Tilemap::Layer::tiles, the model TileLayer builds
    /// its
    /// tile objects from: about a kilobyte a tile once drawn, for maps of up to some hundred thousand tiles.
    Tiles,
    /// Only the cells' tile ids and flip bits, 4 bytes a cell; Tilemap::Layer::tiles stays empty, so only
    /// ChunkedTileLayer can draw the map. For maps of millions of tiles.
    Compact
};

}  // namespace orn
