#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/System/Vector2.hpp>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/TileStorage.hpp"
#include "engine/TmxMap.hpp"

namespace orn {

/// The level map as the game uses it, built from a Tiled map file (TMX or JSON): tilesets with their
/// textures, layers as lists of placed tiles (or only their cells, see TileStorage), and object groups whose
/// objects carry float geometry and string properties with typed getters. Immutable after construction;
/// everything is owned through shared pointers (tiles share their tileset, tilesets their texture), so raw
/// references must not outlive the map.
///
/// Properties are kept as text by name; a class property's members appear as "property.member" (nested
/// classes as "a.b.c").
class Tilemap {
public:
    /// Property values as text, by property name.
    using Properties = std::unordered_map<std::string, std::string>;

    /// A tileset of the map with its image.
    struct Tileset {
        /// Name from the file.
        std::string name;
        /// The tileset image; null for an image collection, whose tiles carry their own textures.
        std::shared_ptr<sf::Texture> texture;
        int32_t tileWidth = 0;   ///< pixels
        int32_t tileHeight = 0;  ///< pixels
        int32_t firstGid = 0;    ///< the global id of the tileset's first tile
        Properties properties;   ///< the tileset's own
        std::unordered_map<int32_t, Properties> tileProperties;  ///< by local tile id
    };

    /// One picture of an animated tile.
    struct Frame {
        /// The image the frame's tile is cut from: the tileset's, or the tile's own in an image collection.
        std::shared_ptr<sf::Texture> texture;
        sf::IntRect textureRect;  ///< the frame's pixels in texture
        int32_t duration = 0;     ///< milliseconds
        /// Every pixel of the picture is fully opaque; the editor draws such a picture another way, which
        /// loses texels of a turned tile on half a pixel differently (see pieces).
        bool opaque = false;
    };

    /// What every cell holding one tile id shows, shared by all those cells. Made for each id the layers use.
    struct TileDefinition {
        uint32_t id = 0;  ///< the global tile id, without flip bits
        /// The tileset the id belongs to.
        std::shared_ptr<Tileset> tileset;
        std::shared_ptr<sf::Texture> texture;  ///< the tileset's image, or the tile's own in a collection
        sf::IntRect textureRect;               ///< the still picture's pixels in texture, before any flip
        sf::Vector2i offset;                   ///< the tileset's tile offset, pixels
        bool opaque = false;                   ///< the still picture is fully opaque (see Frame)
        std::vector<Frame> animation;          ///< empty for a still tile
        /// The definition's place in the map's animatedDefinitions; 0 for a still tile.
        std::size_t animationIndex = 0;
    };

    /// How a sprite shows a tile: the picture's pivot (its top-left corner, or its centre when centred) at
    /// position, then turned by rotation and mirrored by negative scales about that pivot.
    struct Placement {
        sf::Vector2f position;         ///< world pixels
        float rotation = 0.f;          ///< degrees, clockwise
        sf::Vector2f scale{1.f, 1.f};  ///< -1 mirrors
        bool centred = false;          ///< the pivot is the picture's centre rather than its top-left corner
    };

    /// A part of a tile's picture drawn as a picture of its own, with the tile's flips (see pieces).
    struct Piece {
        /// The part, in texels from the top-left corner of the tile's unflipped picture.
        sf::IntRect texels;
        /// Where the unflipped top-left corner of the part goes, as placement takes it: whole pixels.
        sf::Vector2f topLeft;
        bool whole = true;  ///< the part is the whole picture

        /// The part's rectangle in the texture when the tile's picture there is picture: picture itself for
        /// a whole piece, whatever its size (an animation frame may differ from the still picture).
        sf::IntRect in(const sf::IntRect& picture) const;
    };

    /// The parts one tile is drawn in, in order: a single whole picture for most tiles.
    struct Pieces {
        std::array<Piece, 4> piece;  ///< the first count are used
        int count = 0;               ///< 0 when the editor shows nothing of the tile
    };

    /// Where an animated tile is in its frames. All cells of one tile start together, so they stay together.
    struct AnimationClock {
        /// frames: the tile's animation, which every later call passes again.
        explicit AnimationClock(const std::vector<Frame>& frames);
        /// Moves on by milliseconds of scaled frame time; whole cycles are skipped at once, so a long frame
        /// time costs no more than one cycle, and a tile whose frames last 0 in all stands still. Returns
        /// whether the frame changed.
        bool advance(const std::vector<Frame>& frames, float milliseconds);

        std::size_t frame = 0;  ///< index into the frames
        float elapsed = 0.f;    ///< milliseconds into the current frame
        int64_t cycle = 0;      ///< milliseconds of all the frames
    };

    /// How far tiles reach beyond their cells' boxes (see cellSize) on each side, in pixels (0 when they stay
    /// inside).
    struct Reach {
        int64_t left = 0;    ///< pixels left of the cell
        int64_t top = 0;     ///< pixels above the cell
        int64_t right = 0;   ///< pixels right of the cell
        int64_t bottom = 0;  ///< pixels below the cell
    };

    /// The editor's flip bits in the top of a global tile id; idMask keeps the id itself.
    static constexpr uint32_t flippedHorizontally = 0x80000000u;
    static constexpr uint32_t flippedVertically = 0x40000000u;  ///< mirrored top to bottom
    static constexpr uint32_t flippedDiagonally = 0x20000000u;  ///< x and y swapped, before the other two
    /// On hexagonal maps, a turn by 120 degrees; there flippedDiagonally turns by 60 degrees instead.
    static constexpr uint32_t rotatedHexagonally = 0x10000000u;
    static constexpr uint32_t idMask = 0x0FFFFFFFu;  ///< the id without any of the four flags

    /// One placed tile.
    struct Tile {
        /// The tileset the tile comes from.
        std::shared_ptr<Tileset> tileset;
        sf::IntRect textureRect;  ///< the tile's pixels in texture, before any flip
        /// Pixel position of the top-left corner of the unflipped tile in the map: the tile sits with its
        /// bottom-left corner on the bottom-left of its cell's box (tileTopLeft), moved by the tileset's tile
        /// offset. On an orthogonal map with a tileset of the map's tile size that is the cell's top-left
        /// corner.
        int32_t x = 0;
        int32_t y = 0;                         ///< pixel position, y grows downwards
        int32_t gid = 0;                       ///< global tile id from the file, flip bits included
        std::shared_ptr<sf::Texture> texture;  ///< the tileset's image, or the tile's own in a collection
        int32_t column = 0;                    ///< the cell, in tiles (negative in infinite maps)
        int32_t row = 0;                       ///< the cell's row, in tiles (negative in infinite maps)
        /// The editor's flips: the anti-diagonal one (swapping x and y) applies before the other two.
        bool flipHorizontally = false;
        bool flipVertically = false;  ///< mirrored top to bottom
        bool flipDiagonally = false;  ///< x and y swapped
        /// The editor's unrounded y lies half a pixel above y (see bottomOnHalfPixel).
        bool halfPixel = false;
        bool opaque = false;           ///< the still picture is fully opaque (see Frame)
        std::vector<Frame> animation;  ///< empty for a still tile
    };

    /// Where the editor starts the rows of cells it draws a layer in. It walks the rows from a cell left of
    /// and above everything the layer covers, stepping a whole number of pixels from cell to cell, so where
    /// an isometric tile's edge falls on half a pixel, or a staggered column pair is an odd number of pixels
    /// wide, the rounding depends on that start (see cellBottomLeft). Only column counts on a staggered or
    /// hexagonal map, and nothing on an orthogonal one.
    struct RowStart {
        int64_t column = 0;    ///< the first row's first cell
        int64_t row = 0;       ///< the first cell's row
        bool shifted = false;  ///< whether the next row starts a row down rather than a column right
        int64_t twiceX = 0;    ///< the first cell's left edge, in half pixels
        int64_t twiceY = 0;    ///< the first cell's bottom edge, in half pixels
    };

    /// One tile layer.
    struct Layer {
        std::string name;  ///< empty when the file has none
        /// Only the non-empty cells, column by column, each column top to bottom; empty for a map of
        /// TileStorage::Compact.
        std::vector<std::shared_ptr<Tile>> tiles;
        /// Indices into tiles in the order they are drawn: the order of drawKey when tiles may overlap, the
        /// order of tiles otherwise.
        std::vector<std::size_t> drawOrder;
        /// The cells as read (size, origin and every cell's global tile id with its flip bits), whatever the
        /// storage. Owned by the map's tmxMap, so it lives as long as the map.
        const TmxLayer* source = nullptr;
        /// The smallest box of cells holding every non-empty cell (column, row, columns, rows); empty for a
        /// layer without tiles.
        sf::IntRect usedCells;
        /// How far the layer's tiles, flipped as they are, reach beyond their cells.
        Reach reach;
        /// Where the rows of the layer start, from its used cells and its tilesets' sizes and offsets.
        RowStart rowStart;
        /// Whether tiles may cover each other and must be drawn in the order of drawKey: on an orthogonal
        /// map when some tile differs from its cell in size or position; always on the others, whose cells'
        /// boxes overlap.
        bool overlapping = false;
        float offsetX = 0.f;  ///< pixels, the layer's and its groups' offsets added
        float offsetY = 0.f;  ///< pixels, added up like offsetX
        /// The tint of the layer and its groups (its alpha multiplied into its colour) with their opacity as
        /// alpha, for the tiles' sprites.
        sf::Color color = sf::Color::White;
        bool visible = true;    ///< false when the layer or any enclosing group is hidden
        Properties properties;  ///< the layer's own
    };

    /// One map object. Geometry is in the map's object coordinates as the file stores them (pixels, but on an
    /// isometric map measured along the grid's axes, see objectToScreen), x and y a tile object's bottom-left
    /// corner (bottom centre on an isometric map), rotation in degrees. Of two properties with the same name
    /// the first in the file counts, and an object's own come before its template's.
    class Object {
    public:
        /// The object's geometry, as the file gives it.
        using Shape = TmxObject::Shape;

        /// Every getter raises PropertyNotFoundException when the object has no property named key.
        std::string getProperty(const std::string& key) const;
        /// atoi of the value: "12abc" gives 12, a value without leading digits 0.
        int32_t getPropertyInt(const std::string& key) const;
        /// atof of the value, narrowed to float.
        float getPropertyFloat(const std::string& key) const;
        /// x from the property key + "X", y from key + "Y"; a missing X is reported first.
        sf::Vector2f getPropertyVector(const std::string& key) const;
        /// True exactly for the value "true".
        bool getPropertyBool(const std::string& key) const;

        /// The object's name from the file.
        std::string name;
        /// The object's type (Tiled's class), which selects what a game builds from it.
        std::string type;
        /// Pixels, as the file stores them.
        float x = 0.f;
        /// Pixels, as the file stores them.
        float y = 0.f;
        /// Pixels.
        float width = 0.f;
        /// Pixels.
        float height = 0.f;
        /// Degrees.
        float rotation = 0.f;
        /// Custom properties by name, as text.
        std::unordered_map<std::string, std::string> properties;
        int32_t id = 0;                    ///< unique within the map; 0 when the file gives none
        Shape shape = Shape::Rectangle;    ///< Rectangle unless the file says otherwise
        std::vector<sf::Vector2f> points;  ///< a polygon's or polyline's points, relative to (x, y)
        std::string text;                  ///< a text object's text
        bool visible = true;               ///< the object's own flag; its group's is not folded in
        int32_t gid = 0;                   ///< a tile object's global tile id, flip bits included; else 0
    };

    /// One object group of the map.
    struct ObjectGroup {
        std::vector<std::shared_ptr<Object>> objects;  ///< file order
        bool visible = true;    ///< the group's own flag; enclosing groups are not taken into account
        sf::Vector2f offset;    ///< screen pixels, the group's and its enclosing groups' offsets added
        Properties properties;  ///< the group's own
    };

    /// path: the full path of the map file, TMX or JSON (the data root already prefixed); image paths are
    /// taken relative to the map's folder, as the editor writes them. storage: whether layers get their Tile
    /// objects too. Raises AssetLoadException with "Failed to load tilemap!" when the file cannot be read;
    /// naming the map, the tileset or tile and the image (the exception's path) when an image cannot be
    /// loaded, in one sentence of its own (SFML's report of the failure is kept off its error stream); and
    /// naming the file and the element for a map outside the supported subset (see TmxMap::loadMap), a
    /// tileset whose tiles have no size, a tile that no tileset image holds or one placed beyond 32-bit pixel
    /// positions; both storages check every cell and report the same first fault. rapidxml::parse_error
    /// passes through.
    explicit Tilemap(const std::string& path, TileStorage storage = TileStorage::Tiles);

    /// Raises TiledObjectNotFoundException when there is no group of that name.
    const ObjectGroup& getObjectGroup(const std::string& name) const;

    /// The tile layer of that name; raises TiledObjectNotFoundException naming the map when there is none.
    const Layer& getLayer(const std::string& name) const;
    /// The index-th tile layer in document order; raises std::out_of_range past the last one.
    const Layer& getLayer(std::size_t index) const;

    /// The definition of the global tile id (flip bits ignored); null for 0 and for ids no layer uses.
    const TileDefinition* definition(uint32_t gid) const;

    /// The size of a cell's box, the rectangle that a tile of the map's tile size fills in its cell: the
    /// map's tile size, each side made even on staggered and hexagonal maps as the editor lays them out.
    /// Boxes of neighbouring cells overlap on all but orthogonal maps.
    sf::Vector2i cellSize() const;

    /// The bottom-left corner of the box of the cell (column, row) of layer, in map pixels, where the cell's
    /// tiles stand: on an orthogonal map the cell's square; on an isometric one the box around the cell's
    /// diamond, the diamonds of row 0 running down to the right from the top corner (in the middle of the
    /// map's width for a map of as many rows as columns); on staggered and hexagonal maps the box of the
    /// cell's hexagon (or diamond) in its row and column, every other column (stagger axis x) moved down, or
    /// every other row (y) moved right, by half a cell. Rounded to whole pixels as the editor rounds them,
    /// which on an isometric map depends on the layer's rowStart. Pixels in 64 bits, so that no cell
    /// overflows.
    sf::Vector2<int64_t> cellBottomLeft(const Layer& layer, int64_t column, int64_t row) const;

    /// Where the top-left corner of a tile's unflipped picture, imageHeight pixels high, lies in the map when
    /// the tile is in the cell (column, row) of layer: its bottom-left corner on the bottom-left corner of
    /// the cell's box, moved by the tile offset. Pixels, in 64 bits so that no cell overflows.
    sf::Vector2<int64_t> tileTopLeft(const Layer& layer, int64_t column, int64_t row, int64_t imageHeight,
                                     sf::Vector2i offset) const;

    /// The rectangle of map pixels (left, top, width, height) that the editor's pictures give the block of
    /// cells (column, row, columns, rows): for a fixed-size map and the block (0, 0, width, height), the
    /// map's size in pixels. Tiles may reach beyond it; on an isometric map the block's diamond does too.
    sf::Rect<int64_t> pixelBounds(const sf::Rect<int64_t>& cells) const;

    /// A block of cells (column, row, columns, rows) holding every cell whose box's bottom-left corner
    /// (cellBottomLeft) lies in the pixel rectangle from (left, top) to (right, bottom), and possibly a few
    /// more around them. Pixel coordinates far beyond any map are taken as there.
    sf::Rect<int64_t> cellsWithCornerIn(double left, double top, double right, double bottom) const;

    /// Where the tile of the cell (column, row) comes in the order the editor draws a layer: tiles are drawn
    /// by increasing first number, and of equal first numbers by increasing second. Orthogonal maps are drawn
    /// row by row, rows and their cells in the directions of the render order; the other orientations ignore
    /// the render order: isometric maps are drawn diagonal by diagonal from the top corner, each from left to
    /// right; staggered and hexagonal maps row by row from the top, each row from left to right, except that
    /// on a map staggered along x the columns a row's shifted cells lie in come after the others.
    std::pair<int64_t, int64_t> drawKey(int64_t column, int64_t row) const;

    /// The placement of a tile picture of imageSize pixels whose unflipped top-left corner is at topLeft,
    /// with the flip bits of gid. A flipped tile turns and mirrors about its centre: the anti-diagonal flip
    /// (x and y swapped) is a quarter turn followed by a mirror, and the turned picture keeps its bottom-left
    /// corner where the upright one has it. On a hexagonal map (hexagonal set) the anti-diagonal flag turns
    /// the tile by 60 degrees and rotatedHexagonally by 120, about the picture's centre.
    static Placement placement(sf::Vector2f topLeft, sf::Vector2i imageSize, uint32_t gid,
                               bool hexagonal = false);

    /// The render order's directions: x is 1 when rows are drawn left to right, -1 right to left; y is 1
    /// when rows follow each other downwards, -1 upwards. Only orthogonal maps follow it (see drawKey).
    sf::Vector2i renderDirection() const;

    /// A point in the map's object coordinates (an object's x and y, or those plus one of its points) on
    /// screen, in map pixels: the same point on orthogonal, staggered and hexagonal maps; on an isometric
    /// map, whose objects are placed along the grid's axes in units of the tile height (x growing with the
    /// column, y with the row), the point of the diamonds there.
    sf::Vector2f objectToScreen(sf::Vector2f point) const;

    /// The outline of object where the editor shows it, in map pixels without its group's offset: a
    /// rectangle's (or text box's) four corners, an ellipse as 32 points, a polygon's or polyline's points, a
    /// point's one point, a tile object's picture of width x height screen pixels (standing on its position,
    /// centred there on an isometric map). Shapes are projected like objectToScreen and turned by the
    /// object's rotation about its position on screen. Closed shapes are not repeated at their first point.
    std::vector<sf::Vector2f> objectOutline(const Object& object) const;

    /// Whether the editor's unrounded bottom edge of the cell's box lies half a pixel above the one
    /// cellBottomLeft gives (every other row of an isometric layer on an odd tile height).
    bool bottomOnHalfPixel(const Layer& layer, int64_t column, int64_t row) const;

    /// A layer's offset as a cell's tiles are drawn with it: on whole pixels, as the editor draws them. The
    /// editor rounds the sum of the tile's unrounded position and the offset half up, so with halfPixel (see
    /// bottomOnHalfPixel) a fraction of y counts as the tile's half pixel does.
    static sf::Vector2f pixelOffset(const Layer& layer, bool halfPixel = false);

    /// The parts a tile picture of imageSize texels, with the flip bits of gid and its unflipped top-left
    /// corner at topLeft (whole pixels: the tile's position plus pixelOffset(layer, halfPixel)), is drawn
    /// in, each to be placed with placement; opaque says whether the picture is (see Frame). Where the
    /// editor's unrounded edge of a mirrored or turned tile lies on half a pixel (a fraction of a half in the
    /// layer's offset, or the half pixel of bottomOnHalfPixel), the editor loses the row or column of texels
    /// it shows first along that edge and either repeats the texel row or column it shows last, or leaves the
    /// last pixel row or column empty; the parts show exactly that. Tiles turned on a hexagonal map are drawn
    /// whole.
    static Pieces pieces(const Layer& layer, bool halfPixel, sf::Vector2f topLeft, sf::Vector2i imageSize,
                         uint32_t gid, bool opaque, bool hexagonal = false);

    /// The file the map was read from, as given to the constructor; named in load errors.
    std::string path;
    /// The file as read, before it was turned into this model.
    std::shared_ptr<TmxMap> tmxMap;
    /// By image path relative to the map, followed by "#" and the colour for an image with a transparent one.
    std::unordered_map<std::string, std::shared_ptr<sf::Texture>> textures;
    std::unordered_map<std::string, std::shared_ptr<Tileset>> tilesets;          ///< by tileset name
    std::unordered_map<std::string, std::shared_ptr<Layer>> layers;              ///< by layer name
    std::unordered_map<std::string, std::shared_ptr<ObjectGroup>> objectGroups;  ///< by group name
    Properties properties;                                                       ///< the map's own
    /// Every layer in document order (groups flattened), the order in which the editor draws them; unlike
    /// layers, this keeps a layer whose name a later one repeats.
    std::vector<std::shared_ptr<Layer>> layersInOrder;
    /// How the layers were kept.
    TileStorage storage = TileStorage::Tiles;
    /// The definitions of the animated tiles the layers use, in order of first use; owned by the map.
    std::vector<const TileDefinition*> animatedDefinitions;

private:
    /// The layout of a staggered or hexagonal map along and across its stagger axis, in pixels.
    struct Stagger {
        bool alongX = false;     ///< columns (rather than rows) take turns being shifted
        bool even = false;       ///< the even columns (rows) are the shifted ones
        int64_t sideOffset = 0;  ///< the box beside the hexagon's sides along the axis, on each side
        int64_t step = 0;        ///< from a column (row) to the next, along the axis
        int64_t pair = 0;        ///< from a column (row) to the next but one, along the axis
        int64_t half = 0;        ///< how far the shifted columns (rows) are moved, across the axis
        /// Whether the column (row) index is a shifted one.
        bool shifted(int64_t index) const { return ((index & 1) != 0) != even; }
    };
    Stagger stagger() const;
    /// Whether gid's flags turn its tile by a sixth or a third, as they do on a hexagonal map.
    bool hexagonalTurn(uint32_t gid) const {
        return tmxMap->orientation == TmxMap::Orientation::Hexagonal &&
               (gid & (flippedDiagonally | rotatedHexagonally)) != 0;
    }

    /// The same tilesets as tilesets, in the order of tmxMap->tilesets (names may repeat).
    std::vector<std::shared_ptr<Tileset>> tilesetsInOrder;

    void buildTilesets(const std::string& path);
    void buildLayers(const std::string& path);
    void buildObjectGroups();
    /// The texture of an image path from the map (relative to the map's folder), loaded once; pixels of
    /// the colour transparent ("RRGGBB", empty for none) are made see-through. An image that cannot be
    /// loaded raises AssetLoadException starting with where (the tileset or tile that names it).
    const std::shared_ptr<sf::Texture>& texture(const std::string& imageSource,
                                                const std::string& transparent, const std::string& where);
    /// The picture of local tile id local in the tileset at index (texture and rectangle); false when the
    /// tileset holds no such tile.
    bool frame(std::size_t index, int64_t local, Frame& frame);
    /// Whether every pixel of rect in texture is fully opaque.
    bool opaqueIn(const sf::Texture& texture, const sf::IntRect& rect);
    /// The pixels of each texture opaqueIn has read, kept while the map loads: tiles of several tilesets
    /// come in any order, and each texture is read back once.
    std::unordered_map<const sf::Texture*, sf::Image> readPixels;
    /// The definition of a non-zero gid, made on first use; raises AssetLoadException (where names the
    /// layer) for an id that no tileset holds.
    const TileDefinition& define(uint32_t gid, const std::string& where);
    /// The tile's top-left corner in the cell (column, row) of layer as tileTopLeft gives it; raises
    /// AssetLoadException when it lies beyond 32-bit pixel positions.
    sf::Vector2<int64_t> checkedTopLeft(const Layer& layer, const TileDefinition& definition, int64_t column,
                                        int64_t row, const std::string& where) const;
    /// Checks every cell of source and fills layer's usedCells, reach, rowStart and overlapping. Reports the
    /// first bad cell in the order the tiles are built (column by column), though it reads row by row.
    void scanCells(const TmxLayer& source, Layer& layer, const std::string& where);
    /// The start of the rows of a layer whose used cells lie in the columns from left and the
    /// rows from top up to bottom (excluded), and whose tiles reach margin pixels further right and down
    /// than a grid-size tile.
    RowStart rowStart(int64_t left, int64_t top, int64_t bottom, sf::Vector2<int64_t> margin) const;
    /// On a map staggered along x, the column the editor's rows start from when it draws from the pixel
    /// (left, top); 0 on other maps.
    int64_t staggeredStartColumn(int64_t left, int64_t top) const;
    /// Raises the error of the first bad cell of source, column by column; returns when there is none.
    void reportFirstBadCell(const TmxLayer& source, const Layer& layer, const std::string& where);
    /// The tile of gid at cell (column, row) of layer; the cell has been checked.
    std::shared_ptr<Tile> makeTile(const Layer& layer, int32_t gid, int32_t column, int32_t row,
                                   const std::string& where);

    /// Definitions by id; ids below denseIds are also found through definitionsById.
    std::unordered_map<uint32_t, std::unique_ptr<TileDefinition>> definitions;
    std::vector<const TileDefinition*> definitionsById;
    static constexpr uint32_t denseIds = 1u << 16;
};

}  // namespace orn
