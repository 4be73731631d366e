#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orn {

// The records below are plain copies of what a TMX file holds; every string is owned, so nothing points
// into the file buffer once loading has finished. Numbers are whole numbers read with atoi rules
// (16.9 reads as 16, empty text as 0).

struct TmxProperty {
    std::string name;
    /// The "value" attribute, or the element's text when the editor wrote a multi-line string.
    std::string value;
};

struct TmxObject {
    std::string name;
    /// The "type" attribute, or "class" for maps written by editors that renamed it.
    std::string type;
    int32_t gid = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t rotation = 0;                                  ///< degrees
    std::vector<std::unique_ptr<TmxProperty>> properties;  ///< document order, duplicates kept
};

struct TmxObjectGroup {
    std::string name;  ///< empty when the file has none (the editor leaves out an empty name)
    bool visible = true;
    std::vector<std::unique_ptr<TmxObject>> objects;
};

struct TmxLayer {
    std::string name;    ///< empty when the file has none (the editor leaves out an empty name)
    int32_t width = 0;   ///< tiles
    int32_t height = 0;  ///< tiles
    /// Exactly width x height global tile ids, row-major (column x of row y at y * width + x); 0 is no tile.
    /// Flip bits are not interpreted.
    std::vector<int32_t> data;
};

struct TmxTileset {
    int32_t firstGid = 0;
    std::string name;
    int32_t tileWidth = 0;    ///< pixels
    int32_t tileHeight = 0;   ///< pixels
    std::string imageSource;  ///< as written in the file, resolved against the data root by the caller
};

/// A TMX map as the editor saves it, reduced to the subset the game uses: embedded tilesets with one image,
/// CSV tile layers and object groups with properties. Other elements are skipped.
class TmxMap {
public:
    /// Reads the file at path (the data root already prefixed). Returns null after writing
    /// "loadMap: could not open file <path>" to sf::err() when the file cannot be read. Raises
    /// TmxParseException, a rapidxml::parse_error naming the file and the line, for malformed XML, and
    /// AssetLoadException (naming the file and the element) for a map outside the supported subset: a
    /// missing required element or attribute, a map that is not orthogonal, an external tileset or one with
    /// a margin or spacing, layer data that is not CSV, a layer whose id count differs from width x height,
    /// or elements nested more than 256 levels deep.
    static std::shared_ptr<TmxMap> loadMap(const std::string& path);

    int32_t width = 0;                                          ///< tiles
    int32_t height = 0;                                         ///< tiles
    int32_t tileWidth = 0;                                      ///< pixels
    int32_t tileHeight = 0;                                     ///< pixels
    std::vector<std::unique_ptr<TmxTileset>> tilesets;          ///< document order
    std::vector<std::unique_ptr<TmxLayer>> layers;              ///< document order
    std::vector<std::unique_ptr<TmxObjectGroup>> objectGroups;  ///< document order
};

}  // namespace orn
