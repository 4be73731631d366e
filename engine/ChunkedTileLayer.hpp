#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Vertex.hpp>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/Component.hpp"
#include "engine/Tilemap.hpp"

namespace sf {
class Texture;
class Transform;
}  // namespace sf

namespace orn {

/// Draws one named layer of a tile map itself, at a cost that follows the screen rather than the map: the
/// layer is cut into square chunks of chunkCells x chunkCells cells, and a chunk's tiles become triangles
/// (one run per texture, or per row and texture where tiles overlap) when the view first comes near it; a
/// chunk that has stayed away from the view for a while is dropped again. Each draw touches only the chunks
/// in view, so there is no game object per tile and nothing per tile in any per-frame pass.
///
/// The pixels are those of TileLayer: the same placement of every tile (flips, tiles larger or smaller than
/// the grid, tile offsets, image collections, the layer's rounded offset), the layer's tint and opacity, its
/// visibility, animated tiles stepped by the same clock (only the animated tiles' vertices are rewritten
/// when their frame changes), and overlapping tiles stacked in the editor's order (Tilemap::drawKey), on maps
/// of every orientation. Works with maps of either TileStorage.
///
/// Use TileLayer when the tiles must be game objects of their own; use ChunkedTileLayer for everything that
/// only needs to be seen, and for maps of any size.
///
/// The tiles lie at their map pixel positions in world space whatever the position of the layer's game
/// object at init, and follow the object when it moves later (its rotation and scale are not applied).
class ChunkedTileLayer : public Component {
public:
    /// tilemap: not owned and not null; the asset manager's scene store keeps it while the scene lives.
    ChunkedTileLayer(Tilemap* tilemap, std::string layerName);
    /// The layer at index of the map's layersInOrder, which may be one whose name a later layer repeats.
    /// Raises std::out_of_range at init when there is no such layer.
    ChunkedTileLayer(Tilemap* tilemap, std::size_t layerIndex);
    ~ChunkedTileLayer() override;

    /// Raises TiledObjectNotFoundException, naming the map's file, when the map has no such layer.
    void init() override;
    /// Advances the animated tiles by the frame's scaled time.
    void update() override;
    /// Draws the chunks that the scene manager's window's current view touches, making those that are
    /// missing, and drops chunks that have stayed away from the view for keptDraws draws. Raises
    /// NotInitializedException without a window.
    void draw() override;

    /// How many chunks hold their triangles now.
    std::size_t builtChunks() const { return built.size(); }

    /// The map whose layer this draws; see the constructor for its lifetime.
    Tilemap* tilemap;
    /// Name of the map layer drawn.
    std::string layerName;
    /// Cells per side of a chunk, read at init. Of 8 to 64 measured in the performance report, 16 drew best
    /// while the view moved and within a few percent of the best with the view still: smaller chunks cost
    /// more calls and bookkeeping, larger ones more triangles outside the view and longer making.
    int chunkCells = 16;
    /// Draws after which a chunk no longer near the view is dropped.
    static constexpr uint64_t keptDraws = 120;

private:
    /// Triangles drawn together: consecutive tiles sharing a texture and, where tiles overlap, a row; in
    /// calls of at most SpriteBatch::maxCallVertices. A turned tile has a run of its own.
    struct Run {
        /// The texture; null when the animation's current frame gives it.
        const sf::Texture* texture = nullptr;
        std::size_t animation = 0;  ///< into animations, when texture is null
        std::size_t first = 0;      ///< first vertex
        std::size_t count = 0;      ///< vertices
        int64_t key = 0;            ///< the first number of its tiles' Tilemap::drawKey
        bool alone = false;         ///< one turned tile, its four corners a strip as a lone sprite's
    };

    /// An animated tile of a chunk, whose six vertices are rewritten when its frame changes.
    struct AnimatedCell {
        std::size_t animation = 0;  ///< into animations
        std::size_t vertex = 0;     ///< the first of its vertices
        int64_t column = 0;         ///< map cell
        int64_t row = 0;            ///< map cell
        uint32_t gid = 0;           ///< with flip bits
        std::size_t piece = 0;      ///< which of the tile's pieces (Tilemap::pieces)
    };

    struct Chunk {
        std::vector<sf::Vertex> vertices;
        std::vector<Run> runs;
        std::vector<AnimatedCell> animated;
        sf::FloatRect bounds;   ///< of its triangles, in the layer's pixels; empty without tiles
        uint64_t lastNear = 0;  ///< the draw that last found it near the view
    };

    /// One animated tile of the map and where it is in its frames.
    struct Animation {
        const Tilemap::TileDefinition* definition;  ///< owned by tilemap
        Tilemap::AnimationClock clock;
        /// Every frame is cut from the same texture, so the tiles can share runs with still tiles.
        bool oneTexture;
    };

    /// Chunk column and row ranges, inclusive, that may hold tiles reaching into area (in the layer's
    /// pixels, the layer offset included); false when none do.
    bool chunksTouching(const sf::FloatRect& area, sf::IntRect& range) const;
    /// Whether the tiles of the chunk at (x, y) in the chunk grid may reach into area (in the layer's
    /// pixels, the layer offset included); on orthogonal maps, where chunksTouching is exact, always.
    bool chunkTouches(int x, int y, const sf::FloatRect& area) const;
    void build(std::size_t index);
    /// The pieces the tile gid of definition in the map cell (column, row) is drawn in.
    Tilemap::Pieces tilePieces(const Tilemap::TileDefinition& definition, uint32_t gid, int64_t column,
                               int64_t row) const;
    /// The six vertices of piece of the tile gid, whose picture is frame in the texture. Returns whether
    /// the piece may share a draw call with others, as SpriteBatch decides for its sprite.
    bool placeTile(sf::Vertex* vertices, const Tilemap::Piece& piece, uint32_t gid,
                   const sf::IntRect& frame) const;
    /// Draws the runs of chunk for which drawn says yes, in order.
    template <class Filter>
    void drawRuns(const Chunk& chunk, std::size_t& next, Filter drawn, const sf::Transform& transform);

    /// The layer drawn, owned by tilemap; null before init.
    const Tilemap::Layer* layer = nullptr;
    std::size_t layerIndex = 0;
    bool byIndex = false;
    int chunkSide = 16;                          ///< chunkCells as read at init
    int chunkColumns = 0;                        ///< chunks across the layer's cells
    int chunkRows = 0;                           ///< chunks down the layer's cells
    bool orthogonal = true;                      ///< the map's cells are squares
    int rowStep = 1;                             ///< -1 when the render order draws rows upwards
    int columnStep = 1;                          ///< -1 when it draws columns leftwards
    sf::Vector2f offset;                         ///< the layer's offset in whole pixels
    sf::Vector2f anchor;                         ///< the game object's world position at init
    std::vector<std::unique_ptr<Chunk>> chunks;  ///< row by row; null while not built
    std::vector<std::size_t> built;              ///< indices of the built chunks
    std::vector<Animation> animations;           ///< parallel to the map's animatedDefinitions
    std::vector<char> changed;                   ///< per animation, whether the last update moved it on
    uint64_t draws = 0;
};

}  // namespace orn
