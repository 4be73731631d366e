#include "engine/Tilemap.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/System/Err.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <numeric>
#include <sstream>

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

/// Inserts every property under prefix + its name, class members under "property.member", keeping the first
/// of two with the same name.
void flatten(const TmxProperties& source, const std::string& prefix, Tilemap::Properties& target) {
    for (const auto& property : source) {
        const std::string key = prefix + property->name;
        target.emplace(key, property->value);
        flatten(property->members, key + ".", target);
    }
}

/// Sends SFML's error stream to a string for as long as it lives.
class ErrorCapture {
public:
    ErrorCapture() : previous(sf::err().rdbuf(captured.rdbuf())) {}
    ~ErrorCapture() { sf::err().rdbuf(previous); }
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;

    std::string text() const { return captured.str(); }

private:
    std::ostringstream captured;
    std::streambuf* previous;
};

}  // namespace

Tilemap::Tilemap(const std::string& path) : path(path) {
    tmxMap = TmxMap::loadMap(path);
    if (!tmxMap) {
        throw AssetLoadException("Failed to load tilemap!", path);
    }
    flatten(tmxMap->properties, "", properties);
    buildTilesets(path);
    buildLayers(path);
    buildObjectGroups();
}

const std::shared_ptr<sf::Texture>& Tilemap::texture(const std::string& imageSource,
                                                     const std::string& transparent,
                                                     const std::string& where) {
    const std::string key = transparent.empty() ? imageSource : imageSource + "#" + transparent;
    auto found = textures.find(key);
    if (found != textures.end()) {
        return found->second;
    }
    // SFML reports a failed load on its error stream in a line of its own; the map's message says it once,
    // with the map and the image.
    const ErrorCapture report;
    // Images are named relative to the map; the asset manager loads what lies under its root.
    AssetManager& assets = AssetManager::getInstance();
    const std::string& root = assets.rootPath;
    std::shared_ptr<sf::Texture> loaded;
    std::string file;
    try {
        if (transparent.empty() && path.compare(0, root.size(), root) == 0 &&
            !std::filesystem::path(imageSource).is_absolute()) {
            file = TmxMap::joinPath(TmxMap::folderOf(path.substr(root.size())), imageSource);
            loaded = assets.createTexture(file);
        } else {
            file = TmxMap::joinPath(TmxMap::folderOf(path), imageSource);
            sf::Image image;
            loaded = std::make_shared<sf::Texture>();
            if (!image.loadFromFile(file)) {
                throw AssetLoadException("Failed to load texture!", file);
            }
            if (!transparent.empty()) {
                const std::string digits = transparent[0] == '#' ? transparent.substr(1) : transparent;
                const auto rgb = static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
                image.createMaskFromColor(sf::Color((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
            }
            if (!loaded->loadFromImage(image)) {
                throw AssetLoadException("Failed to load texture!", file);
            }
        }
    } catch (const AssetLoadException&) {
        // SFML's line ends in its reason ("... Reason: Unable to open file").
        std::string reason = report.text();
        const std::size_t start = reason.find("Reason: ");
        reason =
            start == std::string::npos ? "" : reason.substr(start + 8, reason.find('\n', start) - start - 8);
        throw AssetLoadException(where + " uses the image '" + imageSource + "', which cannot be loaded" +
                                     (reason.empty() ? "" : " (" + reason + ")") + "!",
                                 file);
    }
    return textures.emplace(key, std::move(loaded)).first->second;
}

void Tilemap::buildTilesets(const std::string& path) {
    for (const auto& source : tmxMap->tilesets) {
        const std::string where = "The tileset '" + source->name + "' in '" + path + "'";
        auto tileset = std::make_shared<Tileset>();
        tileset->name = source->name;
        tileset->tileWidth = source->tileWidth;
        tileset->tileHeight = source->tileHeight;
        tileset->firstGid = source->firstGid;
        flatten(source->properties, "", tileset->properties);
        for (const TmxTile& tile : source->tiles) {
            flatten(tile.properties, "", tileset->tileProperties[tile.id]);
        }
        // An image collection's tiles take their size from their images; a sheet is cut by the tile size.
        const int32_t smallest = source->imageSource.empty() ? 0 : 1;
        if (source->tileWidth < smallest || source->tileHeight < smallest) {
            throw AssetLoadException(
                where + " has tiles of " + sizeText(source->tileWidth, source->tileHeight) + " pixels!",
                path);
        }
        if (!source->imageSource.empty()) {
            if (source->margin < 0 || source->spacing < 0) {
                throw AssetLoadException(where + " has a negative margin or spacing!", path);
            }
            tileset->texture = texture(source->imageSource, source->transparentColor, where);
            const sf::Vector2u imageSize = tileset->texture->getSize();
            if (imageSize.x <
                    static_cast<unsigned>(source->tileWidth) + 2u * static_cast<unsigned>(source->margin) ||
                imageSize.y <
                    static_cast<unsigned>(source->tileHeight) + 2u * static_cast<unsigned>(source->margin)) {
                throw AssetLoadException(where + " has the image '" + source->imageSource + "' of " +
                                             sizeText(imageSize.x, imageSize.y) +
                                             " pixels, smaller than one tile of " +
                                             sizeText(source->tileWidth, source->tileHeight) + "!",
                                         path);
            }
        }
        tilesets[source->name] = tileset;
        tilesetsInOrder.push_back(std::move(tileset));
    }
}

bool Tilemap::frame(std::size_t index, int64_t local, Frame& frame) {
    const TmxTileset& source = *tmxMap->tilesets[index];
    const Tileset& tileset = *tilesetsInOrder[index];
    if (!tileset.texture) {
        for (const TmxTile& tile : source.tiles) {
            if (tile.id == local && !tile.imageSource.empty()) {
                frame.texture = texture(tile.imageSource, tile.transparentColor,
                                        "The tile " + std::to_string(tile.id) + " of the tileset '" +
                                            source.name + "' in '" + path + "'");
                const sf::Vector2u size = frame.texture->getSize();
                frame.textureRect = sf::IntRect(0, 0, static_cast<int>(size.x), static_cast<int>(size.y));
                return true;
            }
        }
        return false;
    }
    // Tiles are cut left to right, top to bottom, inside the margin and with the spacing between them.
    const sf::Vector2u imageSize = tileset.texture->getSize();
    const int64_t stepX = int64_t{tileset.tileWidth} + source.spacing;
    const int64_t stepY = int64_t{tileset.tileHeight} + source.spacing;
    const int64_t columns = (int64_t{imageSize.x} - 2 * source.margin + source.spacing) / stepX;
    const int64_t rows = (int64_t{imageSize.y} - 2 * source.margin + source.spacing) / stepY;
    if (local < 0 || local >= columns * rows) {
        return false;
    }
    frame.texture = tileset.texture;
    frame.textureRect = sf::IntRect(static_cast<int>(source.margin + stepX * (local % columns)),
                                    static_cast<int>(source.margin + stepY * (local / columns)),
                                    tileset.tileWidth, tileset.tileHeight);
    return true;
}

std::shared_ptr<Tilemap::Tile> Tilemap::makeTile(int32_t gid, int32_t column, int32_t row,
                                                 const std::string& where) {
    const auto bits = static_cast<uint32_t>(gid);
    // The top four bits are flips (the fourth, a hexagonal rotation, means nothing on a square grid).
    const int64_t id = bits & 0x0FFFFFFFu;
    if (id == 0) {
        return nullptr;
    }
    // Tilesets come in ascending first ids, as the editor writes them.
    std::size_t owner = tilesetsInOrder.size();
    for (std::size_t i = 0; i < tmxMap->tilesets.size(); ++i) {
        if (tmxMap->tilesets[i]->firstGid > id) {
            break;
        }
        owner = i;
    }
    if (owner == tilesetsInOrder.size()) {
        throw AssetLoadException(
            where + " uses the tile id '" + gidText(gid) + "', below the first id of every tileset!", path);
    }
    const TmxTileset& source = *tmxMap->tilesets[owner];
    auto tile = std::make_shared<Tile>();
    tile->tileset = tilesetsInOrder[owner];
    const int64_t local = id - source.firstGid;
    Frame still;
    if (!frame(owner, local, still)) {
        throw AssetLoadException(where + " uses the tile id '" + gidText(gid) +
                                     "', outside the image of the tileset '" + source.name + "'!",
                                 path);
    }
    tile->texture = still.texture;
    tile->textureRect = still.textureRect;
    for (const TmxTile& described : source.tiles) {
        if (described.id != local) {
            continue;
        }
        for (const TmxFrame& step : described.animation) {
            Frame next;
            if (!frame(owner, step.tileId, next)) {
                throw AssetLoadException(where + " animates the tile id '" + gidText(gid) +
                                             "' with the tile '" + std::to_string(step.tileId) +
                                             "', outside the tileset '" + source.name + "'!",
                                         path);
            }
            next.duration = std::max(step.duration, 0);
            tile->animation.push_back(std::move(next));
        }
    }
    // The tile's bottom-left corner sits on its cell's bottom-left corner.
    const int64_t left = int64_t{column} * tmxMap->tileWidth + source.offsetX;
    const int64_t top = (int64_t{row} + 1) * tmxMap->tileHeight - still.textureRect.height + source.offsetY;
    constexpr int64_t limit = std::numeric_limits<int32_t>::max();
    if (left > limit || top > limit || left < -limit || top < -limit) {
        throw AssetLoadException(where + " places a tile too far out for pixel positions!", path);
    }
    tile->x = static_cast<int32_t>(left);
    tile->y = static_cast<int32_t>(top);
    tile->gid = gid;
    tile->column = column;
    tile->row = row;
    tile->flipHorizontally = (bits & 0x80000000u) != 0;
    tile->flipVertically = (bits & 0x40000000u) != 0;
    tile->flipDiagonally = (bits & 0x20000000u) != 0;
    return tile;
}

void Tilemap::buildLayers(const std::string& path) {
    for (const auto& source : tmxMap->layers) {
        const std::string where = "The layer '" + source->name + "' in '" + path + "'";
        // The walk below reads width x height ids, whatever produced the record.
        if (source->width < 0 || source->height < 0 ||
            source->data.size() != static_cast<std::size_t>(source->width) * source->height) {
            throw AssetLoadException(where + " holds " + std::to_string(source->data.size()) +
                                         " tile ids for " + sizeText(source->width, source->height) +
                                         " cells!",
                                     path);
        }
        auto layer = std::make_shared<Layer>();
        bool overlapping = false;
        for (int32_t x = 0; x < source->width; ++x) {
            for (int32_t y = 0; y < source->height; ++y) {
                const int32_t gid = source->data[static_cast<std::size_t>(y) * source->width + x];
                std::shared_ptr<Tile> tile = makeTile(gid, source->originX + x, source->originY + y, where);
                if (!tile) {
                    continue;
                }
                const sf::IntRect& rect = tile->textureRect;
                overlapping =
                    overlapping || rect.width != tmxMap->tileWidth || rect.height != tmxMap->tileHeight ||
                    tile->x != tile->column * tmxMap->tileWidth || tile->y != tile->row * tmxMap->tileHeight;
                layer->tiles.push_back(std::move(tile));
            }
        }
        layer->drawOrder.resize(layer->tiles.size());
        std::iota(layer->drawOrder.begin(), layer->drawOrder.end(), std::size_t{0});
        if (overlapping) {
            // Cells are drawn row by row, rows and columns in the directions the render order names.
            const std::string& order = tmxMap->renderOrder;
            const int rowStep = order == "right-up" || order == "left-up" ? -1 : 1;
            const int columnStep = order == "left-down" || order == "left-up" ? -1 : 1;
            std::stable_sort(layer->drawOrder.begin(), layer->drawOrder.end(),
                             [&](std::size_t a, std::size_t b) {
                                 const Tile& first = *layer->tiles[a];
                                 const Tile& second = *layer->tiles[b];
                                 if (first.row != second.row) {
                                     return (first.row - second.row) * rowStep < 0;
                                 }
                                 return (first.column - second.column) * columnStep < 0;
                             });
        }
        layer->offsetX = source->offsetX;
        layer->offsetY = source->offsetY;
        // The tint's own alpha darkens its colour rather than making the tiles translucent; the opacity does.
        const uint32_t tint = source->tint;
        const auto channel = [tint](int shift) {
            return static_cast<sf::Uint8>((((tint >> shift) & 0xFF) * (tint >> 24) + 127) / 255);
        };
        layer->color =
            sf::Color(channel(16), channel(8), channel(0),
                      static_cast<sf::Uint8>(std::lround(255.f * std::clamp(source->opacity, 0.f, 1.f))));
        layer->visible = source->visible;
        flatten(source->properties, "", layer->properties);
        layer->name = source->name;
        layers[source->name] = layer;
        layersInOrder.push_back(std::move(layer));
    }
}

void Tilemap::buildObjectGroups() {
    for (const auto& source : tmxMap->objectGroups) {
        auto group = std::make_shared<ObjectGroup>();
        group->visible = source->visible;
        flatten(source->properties, "", group->properties);
        group->objects.reserve(source->objects.size());
        for (const auto& tmxObject : source->objects) {
            auto object = std::make_shared<Object>();
            object->name = tmxObject->name;
            object->type = tmxObject->type;
            object->x = tmxObject->x;
            object->y = tmxObject->y;
            object->width = tmxObject->width;
            object->height = tmxObject->height;
            object->rotation = tmxObject->rotation;
            flatten(tmxObject->properties, "", object->properties);
            object->id = tmxObject->id;
            object->shape = tmxObject->shape;
            for (const auto& [x, y] : tmxObject->points) {
                object->points.emplace_back(x, y);
            }
            object->text = tmxObject->text;
            object->visible = tmxObject->visible;
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
