#pragma once

#include <rapidjson/document.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <rapidxml/rapidxml.hpp>
#include <string>
#include <vector>

#include "engine/TmxMap.hpp"

namespace orn {

/// One load of a Tiled map in either of Tiled's formats, TMX (XML) or JSON: the map's path, every file read
/// so far (the map, its tilesets and templates, each parsed once however often it is named, in the format its
/// content shows, so that a map of one format may use tilesets and templates of the other), and the rules
/// that both format readers share: which maps are refused, how group attributes combine, how an infinite
/// map's chunks become one array, and how a template's tile id is numbered in the map. Every refusal raises
/// AssetLoadException naming the file and the element.
class MapLoader {
public:
    /// A parsed file: the whole text, and exactly one of xml and json.
    struct File {
        std::string path;        ///< as opened, relative to the working directory
        std::vector<char> text;  ///< the file followed by a 0 byte; the XML document points into it
        std::unique_ptr<rapidxml::xml_document<>> xml;  ///< set when the file is XML
        std::unique_ptr<rapidjson::Document> json;      ///< set when the file is JSON
    };

    /// The group attributes that layers inherit: offsets add up, opacities and tints multiply, and a hidden
    /// group hides everything in it.
    struct Inherited {
        float offsetX = 0.f;  ///< pixels
        float offsetY = 0.f;  ///< pixels
        float opacity = 1.f;  ///< 0 to 1
        bool visible = true;
        uint32_t tint = 0xFFFFFFFF;  ///< 0xAARRGGBB

        /// These attributes combined with a layer's or group's own; tint is its text ("#RRGGBB",
        /// "#AARRGGBB" or empty), the opacity is clamped to 0..1.
        Inherited within(float x, float y, float opacity, bool visible, const std::string& tint) const;
        /// Gives layer these attributes.
        void applyTo(TmxLayer& layer) const;
        /// Appends a group layer (group) or image layer with these attributes to map.
        void addPlainLayer(TmxMap& map, bool group, const std::string& name,
                           const std::string& imageSource) const;
    };

    /// The tileset a template names for its tile object, as the template file states it.
    struct TemplateTileset {
        int64_t firstGid = 1;  ///< the template's numbering of the tileset's first tile
        std::string source;    ///< relative to the template's folder; empty when the template names none
    };

    /// A decoded chunk of an infinite map's layer, in tiles.
    struct Chunk {
        int64_t x = 0;
        int64_t y = 0;
        int64_t width = 0;
        int64_t height = 0;
        std::vector<int32_t> ids;  ///< exactly width x height, row-major
    };

    /// Deeper nesting than any map needs; files nested deeper are refused before they are parsed, which
    /// also bounds the readers' recursion through groups and class properties.
    static constexpr std::size_t maxDepth = 256;
    /// The most cells all layers of one map may hold together: 64 Mi, 256 MiB of ids.
    static constexpr int64_t maxMapCells = int64_t{1} << 26;

    /// path: the map file, named in every message.
    explicit MapLoader(std::string path);

    /// Reads the map in the format its content shows; null when the file cannot be read.
    std::shared_ptr<TmxMap> load();

    /// The map's path as given.
    const std::string& mapPath() const { return path; }

    /// Reads the file that tileset.source names (relative to the map's folder) into tileset, its image
    /// paths rebased onto the map's folder. referrer ("The element <tileset> in 'map.tmx'") starts the
    /// message when the file cannot be opened.
    void readExternalTileset(const std::string& referrer, TmxTileset& tileset);

    /// Reads the template that object.templatePath names (relative to the map's folder) into object, its
    /// tile id renumbered through the map's tileset of the same file (0 when the map has no such tileset).
    void mergeTemplate(const std::string& referrer, const TmxMap& map, TmxObject& object);

    /// Counts a finished layer's cells against maxMapCells.
    void countCells(const TmxLayer& layer, const std::string& where);

    /// Sets map's orientation from the texts the file gives (empty when absent; an absent orientation is
    /// orthogonal) and, for staggered and hexagonal maps, its stagger axis and index (y and odd when absent)
    /// and, for hexagonal ones, the side length (side, as read). Refuses an unknown orientation, axis or
    /// index and a side length below 0 or longer than the tile along the stagger axis, naming the file and
    /// the attribute; attribute ("attribute" or "member") is what the file's format calls it. The tile size
    /// must have been read.
    static void readOrientation(TmxMap& map, const std::string& orientation, const std::string& axis,
                                const std::string& index, int64_t side, const char* attribute,
                                const std::string& file);
    /// Refuses a map whose tiles are not at least one pixel wide and high.
    static void checkTileSize(const TmxMap& map, const std::string& file);
    /// Refuses negative sizes and more cells than a layer may hold; where names the layer.
    static void checkLayerSize(int64_t width, int64_t height, const std::string& where,
                               const std::string& file);
    /// Appends chunk (its ids still empty, for the caller to decode once all are added) after checking its
    /// size, the bounding box of the chunks so far and their cells together.
    static void addChunk(std::vector<Chunk>& chunks, Chunk chunk, const std::string& where,
                         const std::string& file);
    /// Puts the chunks into layer's ids over their bounding box, setting its origin and size.
    static void placeChunks(const std::vector<Chunk>& chunks, TmxLayer& layer);
    /// Refuses a tileset file (or a template, isTemplate) file that refers on to target instead of holding
    /// its tileset (or object).
    [[noreturn]] static void refersOn(const std::string& file, bool isTemplate, const std::string& target);
    /// Puts own before the properties object already has (from its template), so that the instance's win.
    static void prependProperties(TmxProperties own, TmxObject& object);
    /// "#RRGGBB" or "#AARRGGBB" (the '#' optional) as 0xAARRGGBB; white for anything else.
    static uint32_t parseColor(const std::string& value);
    /// value as float, or 0 when it is not finite or beyond float's range.
    static float toFloat(double value);
    /// The whole file at fullPath followed by a 0 byte in text, unpacked when gzip packed it; false when it
    /// cannot be opened or read. Raises AssetLoadException naming the file when packed data does not unpack,
    /// or unpacks to more than maxUnpackedBytes.
    static bool readFile(const std::string& fullPath, std::vector<char>& text);
    /// The most a packed file may unpack to: 256 MiB, room for the text of maps of tens of millions of cells.
    static constexpr std::size_t maxUnpackedBytes = std::size_t{1} << 28;
    /// Raises AssetLoadException with message and file.
    [[noreturn]] static void fail(const std::string& file, const std::string& message);

private:
    /// The file at fullPath as it is on disk, followed by a 0 byte; false when it cannot be opened or read.
    static bool readBytes(const std::string& fullPath, std::vector<char>& text);
    /// The file at fullPath, read and parsed on first use; null when it cannot be opened.
    const File* open(const std::string& fullPath);
    /// open, with a message starting with referrer when the file cannot be opened.
    const File& openReferenced(const std::string& fullPath, const std::string& referrer);

    std::string path;
    std::string folder;
    std::map<std::string, std::unique_ptr<File>> files;
    int64_t cells = 0;
};

}  // namespace orn
