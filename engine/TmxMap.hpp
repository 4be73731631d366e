#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orn {

// The records below are plain copies of what a map file holds, TMX or JSON alike; every string is owned, so
// nothing points into the file buffer once loading has finished. Whole numbers of TMX files are read with
// atoi rules (16.9 reads as 16, empty text as 0); object geometry, layer offsets and opacities keep their
// fractions.

/// One custom property of a map, tileset, tile, layer, group or object, or a member of a class property.
struct TmxProperty {
    std::string name;  ///< the "name" attribute
    /// The "type" attribute: empty for strings, else "int", "float", "bool", "color", "file", "object" or
    /// "class".
    std::string type;
    /// The "propertytype" attribute: the name of a class property's class.
    std::string propertyType;
    /// The "value" attribute, or the element's text when the editor wrote a multi-line string; empty for a
    /// class property, whose values are its members.
    std::string value;
    std::vector<std::unique_ptr<TmxProperty>> members;  ///< a class property's members, document order
};

using TmxProperties = std::vector<std::unique_ptr<TmxProperty>>;

/// One object of an object group, with the template it names (if any) already merged in.
struct TmxObject {
    /// Rectangle and Ellipse span width x height from (x, y); Point has no extent; Polygon and Polyline are
    /// given by points; Text by text and the box width x height.
    enum class Shape { Rectangle, Ellipse, Point, Polygon, Polyline, Text };

    std::string name;  ///< empty when the file has none
    /// The "type" attribute, or "class" for maps written by editors that renamed it.
    std::string type;
    int32_t id = 0;        ///< unique within the map; 0 when the file gives none
    int32_t gid = 0;       ///< a tile object's global tile id, flip bits included; 0 for other objects
    float x = 0.f;         ///< pixels
    float y = 0.f;         ///< pixels, growing downwards
    float width = 0.f;     ///< pixels; 0 when the file gives none
    float height = 0.f;    ///< pixels; 0 when the file gives none
    float rotation = 0.f;  ///< degrees, clockwise
    bool visible = true;   ///< the object's own attribute; its group's visibility is not folded in
    Shape shape = Shape::Rectangle;  ///< Rectangle unless the object has a shape element
    /// A polygon's or polyline's points in pixels, relative to (x, y).
    std::vector<std::pair<float, float>> points;
    std::string text;          ///< a text object's text
    std::string templatePath;  ///< the template the object was merged with, relative to the map; or empty
    TmxProperties properties;  ///< document order, duplicates kept; a template's own come after the object's
};

/// An object group, lifted out of any group layers that hold it.
struct TmxObjectGroup {
    std::string name;     ///< empty when the file has none (the editor leaves out an empty name)
    bool visible = true;  ///< the group's own attribute; enclosing groups are not taken into account
    /// Pixels, summed over the group and every group layer that holds it.
    float offsetX = 0.f;
    float offsetY = 0.f;                              ///< pixels, summed like offsetX
    std::vector<std::unique_ptr<TmxObject>> objects;  ///< document order
    TmxProperties properties;                         ///< the group's own, document order
};

/// A tile layer, lifted out of any group layers that hold it.
struct TmxLayer {
    std::string name;    ///< empty when the file has none (the editor leaves out an empty name)
    int32_t width = 0;   ///< tiles
    int32_t height = 0;  ///< tiles
    /// The tile coordinates of the data's first cell: 0 for a fixed-size map, the top-left of the chunks'
    /// bounding box for an infinite one (may be negative).
    int32_t originX = 0;
    int32_t originY = 0;  ///< tiles, like originX
    /// Exactly width x height global tile ids, row-major (column x of row y at y * width + x); 0 is no tile.
    /// The editor's flip bits stay in the top of each id, which therefore reads negative when the horizontal
    /// flip is set.
    std::vector<int32_t> data;
    /// Pixels, summed over the layer and every group that holds it.
    float offsetX = 0.f;
    float offsetY = 0.f;  ///< pixels, summed like offsetX
    float opacity = 1.f;  ///< 0 to 1, multiplied over the enclosing groups
    bool visible = true;  ///< false when the layer or any enclosing group is hidden
    /// The tint as 0xAARRGGBB, multiplied component by component over the enclosing groups; white for none.
    uint32_t tint = 0xFFFFFFFF;
    TmxProperties properties;  ///< the layer's own (not its groups'), document order
};

/// A layer that holds no tiles: a group layer (its own attributes, before combining with enclosing groups)
/// or an image layer.
struct TmxPlainLayer {
    /// The element the record was read from: a group layer or an image layer.
    enum class Kind { Group, Image };

    Kind kind = Kind::Group;  ///< whether this is a group or an image layer
    std::string name;         ///< empty when the file has none
    std::string imageSource;  ///< an image layer's image, relative to the map's folder
    /// Pixels, summed over the layer and every group that holds it.
    float offsetX = 0.f;
    float offsetY = 0.f;  ///< pixels, summed like offsetX
    float opacity = 1.f;  ///< multiplied over the enclosing groups
    bool visible = true;  ///< false when the layer or any enclosing group is hidden
};

/// One frame of a tile's animation.
struct TmxFrame {
    int32_t tileId = 0;    ///< local id in the tileset
    int32_t duration = 0;  ///< milliseconds
};

/// A tile of a tileset that the file says something about: its own image (image collections), animation,
/// class or properties.
struct TmxTile {
    int32_t id = 0;    ///< local id in the tileset
    std::string type;  ///< the "type" attribute, or "class" for files written by editors that renamed it
    std::string imageSource;  ///< relative to the map's folder; empty for a tile cut from the tileset image
    int32_t imageWidth = 0;   ///< pixels, as the file states; 0 when absent
    int32_t imageHeight = 0;  ///< pixels, as the file states; 0 when absent
    std::string transparentColor;  ///< the image's "trans" attribute ("ff00ff"): pixels of it are see-through
    std::vector<TmxFrame> animation;  ///< playing order; empty for a still tile
    TmxProperties properties;         ///< document order
};

/// A tileset of the map; an external .tsx file has already been read into it.
struct TmxTileset {
    int32_t firstGid = 0;    ///< the global id of the tileset's first tile, as the map states it
    std::string name;        ///< the "name" attribute
    int32_t tileWidth = 0;   ///< pixels
    int32_t tileHeight = 0;  ///< pixels
    /// Relative to the map's folder (an external tileset's image path is rebased onto the map's folder);
    /// empty for an image collection, whose tiles carry their own images.
    std::string imageSource;
    std::string transparentColor;  ///< the image's "trans" attribute ("ff00ff"): pixels of it are see-through
    std::string source;            ///< the external .tsx file as the map names it, or empty when embedded
    int32_t margin = 0;            ///< pixels around the tiles of the image
    int32_t spacing = 0;           ///< pixels between neighbouring tiles
    int32_t columns = 0;           ///< as the file states; 0 when absent
    int32_t tileCount = 0;         ///< as the file states; 0 when absent
    /// Where every tile is drawn relative to its cell's bottom-left corner, in pixels.
    int32_t offsetX = 0;
    int32_t offsetY = 0;         ///< pixels, y growing downwards
    std::vector<TmxTile> tiles;  ///< document order
    TmxProperties properties;    ///< document order
};

/// A Tiled map as the editor saves it, in TMX or in JSON: tilesets (embedded, or external .tsx, .tsj or .json
/// files; image collections), tile layers (CSV, number arrays, base64 plain or compressed by zlib, gzip or
/// zstd, or one element per tile; fixed-size or in the chunks of an infinite map) with the offsets, opacity,
/// tint and visibility of their groups, object groups with shaped objects and templates (.tx or .tj), and
/// properties. Group and image layers are kept as plain records. Either format may name tilesets and
/// templates of the other.
class TmxMap {
public:
    /// Reads the file at path (the data root already prefixed), in the format its content shows: JSON when
    /// its first character that is not blank (after an optional UTF-8 byte order mark) is '{' or '[', TMX
    /// otherwise; its extension does not matter. A file packed by gzip (as .tmx.gz maps are) is unpacked
    /// first, as is any tileset or template file it names. Returns null after writing "loadMap: could not
    /// open file <path>" to sf::err() when the file cannot be read. Raises TmxParseException, a
    /// rapidxml::parse_error naming the file and the line, for malformed XML (in the map, a tileset or a
    /// template file), and AssetLoadException naming the file and the element for anything else it cannot
    /// read: malformed JSON, a value of the wrong type, a missing required element, attribute, member or
    /// referenced file, a map of an unknown orientation, stagger axis or stagger index, with a hexagonal side
    /// length below 0 or longer than its tiles, or whose tiles are not at least one pixel wide and high, tile
    /// data that does not decode to exactly the layer's cells, a layer or chunk set of more than
    /// maxLayerCells cells (or layers of more than 64 Mi cells together), a tileset or template that refers
    /// on to another file, nesting more than 256 levels deep, or a packed file that does not unpack (naming
    /// the file).
    static std::shared_ptr<TmxMap> loadMap(const std::string& path);

    /// relative joined to folder (a path written in a file, to that file's folder), normalised without
    /// touching the file system; an absolute relative stays as it is.
    static std::string joinPath(const std::string& folder, const std::string& relative);
    /// The folder part of path ("a/b.tmx" gives "a", "b.tmx" the empty string).
    static std::string folderOf(const std::string& path);

    /// The most cells a layer may hold (its chunks' bounding box for an infinite map): 16 Mi, 64 MiB of ids.
    static constexpr int64_t maxLayerCells = int64_t{1} << 24;

    /// The grid the cells lie on: squares; diamonds (isometric); diamonds or hexagons whose every other
    /// row or column is shifted by half a cell (staggered, hexagonal).
    enum class Orientation { Orthogonal, Isometric, Staggered, Hexagonal };
    /// Of a staggered or hexagonal map: whether its columns (X) or its rows (Y) take turns being shifted.
    enum class StaggerAxis { X, Y };
    /// Of a staggered or hexagonal map: whether the odd or the even columns (or rows) are the shifted ones.
    enum class StaggerIndex { Odd, Even };

    int32_t width = 0;                                  ///< tiles
    int32_t height = 0;                                 ///< tiles
    int32_t tileWidth = 0;                              ///< pixels
    int32_t tileHeight = 0;                             ///< pixels
    Orientation orientation = Orientation::Orthogonal;  ///< "orientation"; an absent one is orthogonal
    /// "staggeraxis", read for staggered and hexagonal maps (y when absent); Y for other maps.
    StaggerAxis staggerAxis = StaggerAxis::Y;
    /// "staggerindex", read for staggered and hexagonal maps (odd when absent); Odd for other maps.
    StaggerIndex staggerIndex = StaggerIndex::Odd;
    /// "hexsidelength" of a hexagonal map: the length in pixels of the hexagon's sides that run along the
    /// stagger axis, 0 to the tile's size along it; 0 for other maps.
    int32_t hexSideLength = 0;
    bool infinite = false;  ///< the layers were stored as chunks; cells may lie at negative coordinates
    /// "right-down" (the default), "right-up", "left-down" or "left-up": the order in which the cells of an
    /// orthogonal map are drawn (other orientations have an order of their own, see Tilemap::drawKey).
    std::string renderOrder = "right-down";
    std::vector<std::unique_ptr<TmxTileset>> tilesets;          ///< document order
    std::vector<std::unique_ptr<TmxLayer>> layers;              ///< document order, groups flattened
    std::vector<std::unique_ptr<TmxObjectGroup>> objectGroups;  ///< document order, groups flattened
    std::vector<std::unique_ptr<TmxPlainLayer>> plainLayers;    ///< group and image layers, document order
    TmxProperties properties;                                   ///< the map's own, document order
};

}  // namespace orn
