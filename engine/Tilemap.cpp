#include "engine/Tilemap.hpp"

#include <cstdlib>
#include <limits>

#include "engine/AssetLoadException.hpp"
#include "engine/AssetManager.hpp"
#include "engine/PropertyNotFoundException.hpp"
#include "engine/TiledObjectNotFoundException.hpp"
#include "engine/TmxMap.hpp"

namespace orn {

namespace {

std::string sizeText(int64_t width, int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

/// The editor writes ids as unsigned numbers; show them that way, flip bits included.
std::string gidText(int32_t gid) {
    return std::to_string(static_cast<uint32_t>(gid));
}

}  // namespace

Tilemap::Tilemap(const std::string& path) : path(path) {
    tmxMap = TmxMap::loadMap(path);
    if (!tmxMap) {
        throw AssetLoadException("Failed to load tilemap!", path);
    }
    buildTilesets(path);
    buildLayers(path);
    buildObjectGroups();
}

void Tilemap::buildTilesets(const std::string& path) {
    for (const auto& source : tmxMap->tilesets) {
        const std::string where = "The tileset '" + source->name + "' in '" + path + "'";
        if (source->tileWidth <= 0 || source->tileHeight <= 0) {
            throw AssetLoadException(
                where + " has tiles of " + sizeText(source->tileWidth, source->tileHeight) + " pixels!",
                path);
        }
        auto found = textures.find(source->imageSource);
        if (found == textures.end()) {
            found = textures
                        .emplace(source->imageSource,
                                 AssetManager::getInstance().createTexture(source->imageSource))
                        .first;
        }
        const std::shared_ptr<sf::Texture>& texture = found->second;
        const sf::Vector2u imageSize = texture->getSize();
        if (imageSize.x < static_cast<unsigned>(source->tileWidth) ||
            imageSize.y < static_cast<unsigned>(source->tileHeight)) {
            throw AssetLoadException(where + " has the image '" + source->imageSource + "' of " +
                                         sizeText(imageSize.x, imageSize.y) +
                                         " pixels, smaller than one tile of " +
                                         sizeText(source->tileWidth, source->tileHeight) + "!",
                                     path);
        }
        auto tileset = std::make_shared<Tileset>();
        tileset->name = source->name;
        tileset->texture = texture;
        tileset->tileWidth = source->tileWidth;
        tileset->tileHeight = source->tileHeight;
        tilesets[source->name] = tileset;
    }
}

void Tilemap::buildLayers(const std::string& path) {
    for (const auto& source : tmxMap->layers) {
        const std::string where = "The layer '" + source->name + "' in '" + path + "'";
        auto layer = std::make_shared<Layer>();
        for (int32_t x = 0; x < source->width; ++x) {
            for (int32_t y = 0; y < source->height; ++y) {
                const int32_t gid = source->data[static_cast<std::size_t>(y) * source->width + x];
                if (gid == 0) {
                    continue;
                }
                // Tilesets come in ascending first ids, as the editor writes them.
                const TmxTileset* owner = nullptr;
                for (const auto& candidate : tmxMap->tilesets) {
                    if (candidate->firstGid > gid) {
                        break;
                    }
                    owner = candidate.get();
                }
                if (!owner) {
                    throw AssetLoadException(where + " uses the tile id '" + gidText(gid) +
                                                 "', below the first id of every tileset!",
                                             path);
                }
                const std::shared_ptr<Tileset>& tileset = tilesets.at(owner->name);
                const sf::Vector2u imageSize = tileset->texture->getSize();
                const int64_t columns = imageSize.x / static_cast<unsigned>(tileset->tileWidth);
                const int64_t rows = imageSize.y / static_cast<unsigned>(tileset->tileHeight);
                const int64_t local = static_cast<int64_t>(gid) - owner->firstGid;
                const int64_t row = local / columns;
                const int64_t column = local % columns;
                if (row >= rows) {
                    throw AssetLoadException(where + " uses the tile id '" + gidText(gid) +
                                                 "', outside the image of the tileset '" + tileset->name +
                                                 "'!",
                                             path);
                }
                const int64_t left = static_cast<int64_t>(tileset->tileWidth) * x;
                const int64_t top = static_cast<int64_t>(tileset->tileHeight) * y;
                if (left > std::numeric_limits<int32_t>::max() || top > std::numeric_limits<int32_t>::max()) {
                    throw AssetLoadException(where + " of " + sizeText(source->width, source->height) +
                                                 " tiles is too large for pixel positions!",
                                             path);
                }
                auto tile = std::make_shared<Tile>();
                tile->tileset = tileset;
                tile->textureRect = sf::IntRect(static_cast<int>(tileset->tileWidth * column),
                                                static_cast<int>(tileset->tileHeight * row),
                                                tileset->tileWidth, tileset->tileHeight);
                tile->x = static_cast<int32_t>(left);
                tile->y = static_cast<int32_t>(top);
                tile->gid = gid;
                layer->tiles.push_back(std::move(tile));
            }
        }
        layers[source->name] = layer;
    }
}

void Tilemap::buildObjectGroups() {
    for (const auto& source : tmxMap->objectGroups) {
        auto group = std::make_shared<ObjectGroup>();
        group->objects.reserve(source->objects.size());
        for (const auto& tmxObject : source->objects) {
            auto object = std::make_shared<Object>();
            object->name = tmxObject->name;
            object->type = tmxObject->type;
            object->x = static_cast<float>(tmxObject->x);
            object->y = static_cast<float>(tmxObject->y);
            object->width = static_cast<float>(tmxObject->width);
            object->height = static_cast<float>(tmxObject->height);
            object->rotation = static_cast<float>(tmxObject->rotation);
            for (const auto& property : tmxObject->properties) {
                object->properties.emplace(property->name, property->value);
            }
            group->objects.push_back(std::move(object));
        }
        objectGroups[source->name] = group;
    }
}

const Tilemap::ObjectGroup& Tilemap::getObjectGroup(const std::string& name) const {
    const auto found = objectGroups.find(name);
    if (found == objectGroups.end()) {
        throw TiledObjectNotFoundException("An object group with the name '" + name + "' does not exist!");
    }
    return *found->second;
}

std::string Tilemap::Object::getProperty(const std::string& key) const {
    const auto found = properties.find(key);
    if (found == properties.end()) {
        throw PropertyNotFoundException("Property with key '" + key + "' not found in GameObject '" + name +
                                        "'!");
    }
    return found->second;
}

int32_t Tilemap::Object::getPropertyInt(const std::string& key) const {
    // strtol reads exactly what atoi reads, and saturates instead of overflowing.
    const long value = std::strtol(getProperty(key).c_str(), nullptr, 10);
    if (value > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(value);
}

float Tilemap::Object::getPropertyFloat(const std::string& key) const {
    // strtod is atof with a defined result out of range.
    return static_cast<float>(std::strtod(getProperty(key).c_str(), nullptr));
}

sf::Vector2f Tilemap::Object::getPropertyVector(const std::string& key) const {
    const float x = getPropertyFloat(key + "X");
    const float y = getPropertyFloat(key + "Y");
    return {x, y};
}

bool Tilemap::Object::getPropertyBool(const std::string& key) const {
    return getProperty(key) == "true";
}

}  // namespace orn
