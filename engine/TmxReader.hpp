#pragma once

#include <memory>
#include <rapidxml/rapidxml.hpp>
#include <string>

#include "engine/MapLoader.hpp"
#include "engine/TmxMap.hpp"

namespace orn {

/// Reads Tiled's XML files (maps, .tsx tilesets, .tx templates) into the map record. Whole numbers are read
/// with atoi rules (16.9 reads as 16, empty text as 0). Refusals raise AssetLoadException naming the file
/// and the element ("The element <layer 'ground'> in 'map.tmx' has no attribute 'width'!").
class TmxReader {
public:
    /// Parses file.text in place into file.xml. Raises TmxParseException naming the file and the line for
    /// malformed XML, and AssetLoadException for elements nested deeper than MapLoader::maxDepth (the parser
    /// recurses once per level).
    static void parse(MapLoader::File& file);

    /// loader: the load this reader serves, which opens the files the map refers to; it outlives the reader.
    explicit TmxReader(MapLoader& loader) : loader(loader) {}

    /// The map in file, whose root element must be "map".
    std::shared_ptr<TmxMap> readMap(const MapLoader::File& file);

    /// An external tileset file into tileset; base: the file's folder relative to the map's, onto which its
    /// image paths are rebased.
    static void readTileset(const MapLoader::File& file, const std::string& base, TmxTileset& tileset);

    /// A template file's object into object (its tile id still in the template's numbering); returns the
    /// tileset the template names.
    static MapLoader::TemplateTileset readTemplate(const MapLoader::File& file, TmxObject& object);

private:
    using Node = rapidxml::xml_node<>;

    static const Node& root(const MapLoader::File& file, const char* name);
    static void readProperties(const Node& node, TmxProperties& properties, const std::string& file);
    static std::unique_ptr<TmxProperty> readProperty(const Node& node, const std::string& file);
    static void readTilesetBody(const Node& node, const std::string& file, const std::string& base,
                                TmxTileset& tileset);
    static void readObjectBody(const Node& node, const std::string& file, TmxObject& object);
    std::unique_ptr<TmxTileset> readTilesetReference(const Node& node);
    void readLayers(const Node& node, const MapLoader::Inherited& inherited, TmxMap& map);
    std::unique_ptr<TmxLayer> readLayer(const Node& node, const MapLoader::Inherited& combined,
                                        bool infinite);
    std::vector<int32_t> decode(const Node& data, std::size_t count, const std::string& where) const;
    std::unique_ptr<TmxObjectGroup> readObjectGroup(const Node& node, const TmxMap& map);
    std::unique_ptr<TmxObject> readObject(const Node& node, const TmxMap& map);

    MapLoader& loader;  ///< owned by TmxMap::loadMap for the whole load
};

}  // namespace orn
