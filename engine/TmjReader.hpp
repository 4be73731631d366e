#pragma once

#include <rapidjson/document.h>

#include <cstddef>
#include <memory>
#include <string>

#include "engine/MapLoader.hpp"
#include "engine/TmxMap.hpp"

namespace orn {

/// Reads Tiled's JSON files (maps .tmj or .json, tilesets .tsj, templates .tj) into the same map record as
/// TmxReader, so that a map reads the same in either format. Values must have the types Tiled writes: whole
/// numbers for sizes and ids (tile ids unsigned, up to 4294967295 with the flip bits), numbers for
/// coordinates, true or false for flags, text for names. JSON has no lines, so a refusal names the element
/// by its name or its number in its list ("The layer 'ground' in 'map.tmj' holds 5 tile ids instead of 4!",
/// "The object number 3 of the layer 'things' in 'map.tmj' has no member 'x'!") and raises
/// AssetLoadException with the file.
class TmjReader {
public:
    /// Parses file.text (after an optional UTF-8 byte order mark) into file.json. Raises AssetLoadException
    /// naming the file for text that is not JSON and for values nested deeper than MapLoader::maxDepth.
    static void parse(MapLoader::File& file);

    /// loader: the load this reader serves, which opens the files the map refers to; it outlives the reader.
    explicit TmjReader(MapLoader& loader) : loader(loader) {}

    /// The map in file, an object whose "type", when present, is "map".
    std::shared_ptr<TmxMap> readMap(const MapLoader::File& file);

    /// An external tileset file into tileset; base: the file's folder relative to the map's, onto which its
    /// image paths are rebased.
    static void readTileset(const MapLoader::File& file, const std::string& base, TmxTileset& tileset);

    /// A template file's object into object (its tile id still in the template's numbering); returns the
    /// tileset the template names.
    static MapLoader::TemplateTileset readTemplate(const MapLoader::File& file, TmxObject& object);

    /// The element a value belongs to ("layer 'ground'", "object number 2 of the layer 'things'") and its
    /// file, for messages.
    struct Where {
        std::string element;
        std::string file;

        /// "The layer 'ground' in 'map.tmj'".
        std::string text() const { return "The " + element + " in '" + file + "'"; }
        /// Raises AssetLoadException with text() followed by rest.
        [[noreturn]] void fail(const std::string& rest) const;
        /// The element of value, the index-th of its list in this element: by its name when it has one.
        Where inner(const char* kind, const rapidjson::Value& value, std::size_t index) const;
    };

private:
    using Value = rapidjson::Value;

    static void readProperties(const Value& owner, TmxProperties& properties, const Where& where);
    static void readValue(const Value& value, TmxProperty& property, const Where& where, bool inferType);
    static void readTilesetBody(const Value& value, const Where& where, const std::string& base,
                                TmxTileset& tileset);
    static void readObjectBody(const Value& value, const Where& where, TmxObject& object);
    static std::vector<int32_t> readIds(const Value& layer, const Value& data, std::size_t count,
                                        const Where& where);
    void readLayers(const Value& owner, const Where& where, const MapLoader::Inherited& inherited,
                    TmxMap& map);
    std::unique_ptr<TmxLayer> readLayer(const Value& value, const Where& where,
                                        const MapLoader::Inherited& combined, bool infinite);
    std::unique_ptr<TmxObjectGroup> readObjectGroup(const Value& value, const Where& where,
                                                    const TmxMap& map);

    MapLoader& loader;  ///< owned by TmxMap::loadMap for the whole load
};

}  // namespace orn
