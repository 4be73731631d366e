#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/System/Vector2.hpp>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace orn {

class TmxMap;

/// The level map as the game uses it, built from a TMX file: tilesets with their textures, layers as lists
/// of placed tiles, and object groups whose objects carry float geometry and string properties with typed
/// getters. Immutable after construction; everything is owned through shared pointers (tiles share their
/// tileset, tilesets their texture), so raw references must not outlive the map.
class Tilemap {
public:
    /// A tileset of the map with its image.
    struct Tileset {
        /// Name from the file.
        std::string name;
        /// The tileset image, shared with the map's textures.
        std::shared_ptr<sf::Texture> texture;
        int32_t tileWidth = 0;   ///< pixels
        int32_t tileHeight = 0;  ///< pixels
    };

    /// One placed tile.
    struct Tile {
        /// The tileset the tile comes from.
        std::shared_ptr<Tileset> tileset;
        sf::IntRect textureRect;  ///< the tile's pixels in the tileset texture
        int32_t x = 0;            ///< pixel position of the top-left corner in the map
        int32_t y = 0;            ///< pixel position, y grows downwards
        int32_t gid = 0;          ///< global tile id from the file
    };

    /// One tile layer.
    struct Layer {
        /// Only the non-empty cells, column by column, each column top to bottom.
        std::vector<std::shared_ptr<Tile>> tiles;
    };

    /// One map object. Geometry is in pixels (whole numbers from the file), x and y as the file stores them,
    /// rotation in degrees. Of two properties with the same name the first in the file counts.
    class Object {
    public:
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
    };

    /// One object group of the map.
    struct ObjectGroup {
        std::vector<std::shared_ptr<Object>> objects;  ///< file order
    };

    /// path: the full path of the TMX file (the data root already prefixed); tileset image paths are taken
    /// relative to the asset manager's root. Raises AssetLoadException with "Failed to load tilemap!" when
    /// the file cannot be read, the asset manager's texture failure for an unloadable tileset image, and
    /// AssetLoadException naming the file and the element for a map outside the supported subset (see
    /// TmxMap::loadMap) or a tile that no tileset image holds. rapidxml::parse_error passes through.
    explicit Tilemap(const std::string& path);

    /// Raises TiledObjectNotFoundException when there is no group of that name.
    const ObjectGroup& getObjectGroup(const std::string& name) const;

    /// The file the map was read from, as given to the constructor; named in load errors.
    std::string path;
    /// The file as read, before it was turned into this model.
    std::shared_ptr<TmxMap> tmxMap;
    std::unordered_map<std::string, std::shared_ptr<sf::Texture>> textures;      ///< by tileset image path
    std::unordered_map<std::string, std::shared_ptr<Tileset>> tilesets;          ///< by tileset name
    std::unordered_map<std::string, std::shared_ptr<Layer>> layers;              ///< by layer name
    std::unordered_map<std::string, std::shared_ptr<ObjectGroup>> objectGroups;  ///< by group name

private:
    void buildTilesets(const std::string& path);
    void buildLayers(const std::string& path);
    void buildObjectGroups();
};

}  // namespace orn
