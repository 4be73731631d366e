#include "engine/Tilemap.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Transform.hpp>
#include <SFML/System/Err.hpp>

#include <algorithm>
#include <array>
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

/// value / divisor rounded down, for a positive divisor.
int64_t floorDiv(int64_t value, int64_t divisor) {
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

std::string sizeText(int64_t width, int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
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

Tilemap::Tilemap(const std::string& path, TileStorage storage) : path(path), storage(storage) {
    tmxMap = TmxMap::loadMap(path);
    if (!tmxMap) {
        throw AssetLoadException("Failed to load tilemap!", path);
    }
    flatten(tmxMap->properties, "", properties);
    buildTilesets(path);
    buildLayers(path);
    buildObjectGroups();
    readPixels.clear();
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
                frame.opaque = opaqueIn(*frame.texture, frame.textureRect);
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
    frame.opaque = opaqueIn(*frame.texture, frame.textureRect);
    return true;
}

bool Tilemap::opaqueIn(const sf::Texture& texture, const sf::IntRect& rect) {
    auto read = readPixels.find(&texture);
    if (read == readPixels.end()) {
        read = readPixels.emplace(&texture, texture.copyToImage()).first;
    }
    const sf::Image& pixels = read->second;
    const sf::Vector2u size = pixels.getSize();
    const auto right = std::min<int64_t>(int64_t{rect.left} + rect.width, size.x);
    const auto bottom = std::min<int64_t>(int64_t{rect.top} + rect.height, size.y);
    for (int64_t y = std::max(rect.top, 0); y < bottom; ++y) {
        for (int64_t x = std::max(rect.left, 0); x < right; ++x) {
            if (pixels.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)).a != 255) {
                return false;
            }
        }
    }
    return true;
}

const Tilemap::TileDefinition& Tilemap::define(uint32_t gid, const std::string& where) {
    const uint32_t id = gid & idMask;
    if (id < definitionsById.size() && definitionsById[id] != nullptr) {
        return *definitionsById[id];
    }
    if (id >= denseIds) {
        const auto found = definitions.find(id);
        if (found != definitions.end()) {
            return *found->second;
        }
    }
    // Tilesets come in ascending first ids, as the editor writes them.
    std::size_t owner = tilesetsInOrder.size();
    for (std::size_t i = 0; i < tmxMap->tilesets.size(); ++i) {
        if (tmxMap->tilesets[i]->firstGid > int64_t{id}) {
            break;
        }
        owner = i;
    }
    // The editor writes ids as unsigned numbers; they are named that way, flip bits included.
    const std::string named = " uses the tile id '" + std::to_string(gid);
    if (owner == tilesetsInOrder.size()) {
        throw AssetLoadException(where + named + "', below the first id of every tileset!", path);
    }
    const TmxTileset& source = *tmxMap->tilesets[owner];
    auto definition = std::make_unique<TileDefinition>();
    definition->id = id;
    definition->tileset = tilesetsInOrder[owner];
    definition->offset = {source.offsetX, source.offsetY};
    const int64_t local = int64_t{id} - source.firstGid;
    Frame still;
    if (!frame(owner, local, still)) {
        throw AssetLoadException(where + named + "', outside the image of the tileset '" + source.name + "'!",
                                 path);
    }
    definition->texture = still.texture;
    definition->textureRect = still.textureRect;
    definition->opaque = still.opaque;
    for (const TmxTile& described : source.tiles) {
        if (described.id != local) {
            continue;
        }
        for (const TmxFrame& step : described.animation) {
            Frame next;
            if (!frame(owner, step.tileId, next)) {
                throw AssetLoadException(where + " animates the tile id '" + std::to_string(gid) +
                                             "' with the tile '" + std::to_string(step.tileId) +
                                             "', outside the tileset '" + source.name + "'!",
                                         path);
            }
            next.duration = std::max(step.duration, 0);
            definition->animation.push_back(std::move(next));
        }
    }
    if (!definition->animation.empty()) {
        definition->animationIndex = animatedDefinitions.size();
        animatedDefinitions.push_back(definition.get());
    }
    const TileDefinition* made = definition.get();
    definitions.emplace(id, std::move(definition));
    if (id < denseIds) {
        if (definitionsById.size() <= id) {
            definitionsById.resize(id + 1, nullptr);
        }
        definitionsById[id] = made;
    }
    return *made;
}

const Tilemap::TileDefinition* Tilemap::definition(uint32_t gid) const {
    const uint32_t id = gid & idMask;
    if (id < definitionsById.size()) {
        return definitionsById[id];
    }
    const auto found = definitions.find(id);
    return found != definitions.end() ? found->second.get() : nullptr;
}

sf::Vector2i Tilemap::cellSize() const {
    const TmxMap& map = *tmxMap;
    if (map.orientation == TmxMap::Orientation::Staggered ||
        map.orientation == TmxMap::Orientation::Hexagonal) {
        return {map.tileWidth & ~1, map.tileHeight & ~1};
    }
    return {map.tileWidth, map.tileHeight};
}

Tilemap::Stagger Tilemap::stagger() const {
    const TmxMap& map = *tmxMap;
    const sf::Vector2i box = cellSize();
    const int64_t side = map.orientation == TmxMap::Orientation::Hexagonal ? map.hexSideLength : 0;
    Stagger stagger;
    stagger.alongX = map.staggerAxis == TmxMap::StaggerAxis::X;
    stagger.even = map.staggerIndex == TmxMap::StaggerIndex::Even;
    // The part of the box beside the hexagon's sides along the axis, rounded down as the editor does.
    const int64_t across = stagger.alongX ? box.x : box.y;
    stagger.sideOffset = (across - side) / 2;
    stagger.step = stagger.sideOffset + side;
    stagger.pair = across + side;
    stagger.half = (stagger.alongX ? box.y : box.x) / 2;
    return stagger;
}

sf::Vector2<int64_t> Tilemap::cellBottomLeft(const Layer& layer, int64_t column, int64_t row) const {
    const TmxMap& map = *tmxMap;
    const int64_t width = map.tileWidth;
    const int64_t height = map.tileHeight;
    switch (map.orientation) {
        case TmxMap::Orientation::Orthogonal:
            break;
        case TmxMap::Orientation::Isometric: {
            // The editor's walk: row after row from the start, each a whole half width (rounded down) right
            // or left of the one before and a half height lower, its left edge cut to whole pixels toward
            // zero, then whole widths from cell to cell. A bottom on half a pixel rounds down the picture.
            const RowStart& start = layer.rowStart;
            const int64_t steps = column + row - start.column - start.row;
            const int64_t right = start.shifted ? floorDiv(steps, 2) : floorDiv(steps + 1, 2);
            const int64_t rowLeft = (start.twiceX + width / 2 * 2 * (2 * right - steps)) / 2;
            return {rowLeft + (column - start.column - right) * width,
                    floorDiv(start.twiceY + steps * height + 1, 2)};
        }
        case TmxMap::Orientation::Staggered:
        case TmxMap::Orientation::Hexagonal: {
            const Stagger s = stagger();
            const sf::Vector2i box = cellSize();
            if (s.alongX) {
                // The editor steps a pair of columns (a hexagon's width and side) at a time from the column
                // its rows start at; when that is odd, each pair's extra pixel counts from there.
                const int64_t extra = s.pair - 2 * s.step;
                return {column * s.step + extra * floorDiv(column - layer.rowStart.column, 2),
                        row * box.y + (s.shifted(column) ? s.half : 0) + box.y};
            }
            return {column * box.x + (s.shifted(row) ? s.half : 0), row * s.step + box.y};
        }
    }
    return {column * width, (row + 1) * height};
}

Tilemap::RowStart Tilemap::rowStart(int64_t left, int64_t top, int64_t bottom,
                                    sf::Vector2<int64_t> margin) const {
    // The editor starts at the top-left corner of the box around the cells' diamonds (whole blocks of
    // chunkSide cells, in its integer arithmetic), moved left and up by the margin, and begins one row
    // higher when that corner lies in the upper half of its diamond.
    constexpr int64_t chunkSide = 16;
    const TmxMap& map = *tmxMap;
    const int64_t width = map.tileWidth;
    const int64_t height = map.tileHeight;
    left = floorDiv(left, chunkSide) * chunkSide;
    top = floorDiv(top, chunkSide) * chunkSide;
    bottom = (floorDiv(bottom - 1, chunkSide) + 1) * chunkSide;
    RowStart start;
    if (map.orientation != TmxMap::Orientation::Isometric) {
        start.column = staggeredStartColumn(left * stagger().step - margin.x, top * cellSize().y - margin.y);
        return start;
    }
    if (width <= 0 || height <= 0) {
        return start;
    }
    const int64_t origin = int64_t{map.height} * width / 2;
    const int64_t cornerX = (left - bottom) * width / 2 + origin - margin.x;
    const int64_t cornerY = (left + top) * height / 2 - margin.y;
    const double across = double(cornerX - origin) / double(width);
    const double down = double(cornerY) / double(height);
    start.column = static_cast<int64_t>(std::floor(down + across));
    start.row = static_cast<int64_t>(std::floor(down - across));
    start.twiceX = (start.column - start.row) * width + 2 * origin - width / 2 * 2;
    start.twiceY = (start.column + start.row) * height + 2 * height;
    const bool upper = start.twiceY - 2 * cornerY > height / 2 * 2;
    const bool leftHalf = 2 * cornerX - start.twiceX < width / 2 * 2;
    if (upper) {
        (leftHalf ? start.column : start.row) -= 1;
        start.twiceX += (leftHalf ? -1 : 1) * (width / 2 * 2);
        start.twiceY -= height / 2 * 2;
    }
    start.shifted = upper != leftHalf;
    return start;
}

int64_t Tilemap::staggeredStartColumn(int64_t left, int64_t top) const {
    const Stagger s = stagger();
    const sf::Vector2i box = cellSize();
    if (!s.alongX || s.step <= 0 || s.half <= 0) {
        return 0;
    }
    // The hexagon whose centre is nearest to the corner, found from the pair of columns and rows it lies in.
    const double x = double(left - (s.even ? box.x : s.sideOffset));
    const double y = double(top);
    const auto pairColumn = static_cast<int64_t>(std::floor(x / double(2 * s.step)));
    const auto pairRow = static_cast<int64_t>(std::floor(y / double(2 * s.half)));
    const double relativeX = x - double(pairColumn * 2 * s.step);
    const double relativeY = y - double(pairRow * 2 * s.half);
    const double sideX = double((s.step - s.sideOffset) / 2);
    const double middleY = double(box.y / 2);
    const std::array<std::array<double, 3>, 4> centres{
        {{sideX, middleY, 0.},
         {sideX + double(s.step), middleY - double(s.half), 1.},
         {sideX + double(s.step), middleY + double(s.half), 1.},
         {sideX + double(2 * s.step), middleY, 2.}}};
    double nearest = std::numeric_limits<double>::max();
    int64_t column = 0;
    for (const auto& [centreX, centreY, step] : centres) {
        const double distance =
            (centreX - relativeX) * (centreX - relativeX) + (centreY - relativeY) * (centreY - relativeY);
        if (distance < nearest) {
            nearest = distance;
            column = 2 * pairColumn + (s.even ? 1 : 0) + static_cast<int64_t>(step);
        }
    }
    // One column further left when the corner lies left of that hexagon's sides, and always on a column
    // that is not shifted down.
    column -= left - column * s.step < s.sideOffset ? 1 : 0;
    return s.shifted(column) ? column - 1 : column;
}

sf::Vector2<int64_t> Tilemap::tileTopLeft(const Layer& layer, int64_t column, int64_t row,
                                          int64_t imageHeight, sf::Vector2i offset) const {
    const sf::Vector2<int64_t> corner = cellBottomLeft(layer, column, row);
    return {corner.x + offset.x, corner.y - imageHeight + offset.y};
}

sf::Rect<int64_t> Tilemap::pixelBounds(const sf::Rect<int64_t>& cells) const {
    const TmxMap& map = *tmxMap;
    const int64_t left = cells.left;
    const int64_t top = cells.top;
    const int64_t columns = cells.width;
    const int64_t rows = cells.height;
    switch (map.orientation) {
        case TmxMap::Orientation::Orthogonal:
            break;
        case TmxMap::Orientation::Isometric: {
            // The box around the block's diamond, its corner placed where the editor's pictures put it.
            const int64_t width = map.tileWidth;
            const int64_t height = map.tileHeight;
            return {floorDiv((left + top) * width, 2), floorDiv((left + top) * height, 2),
                    floorDiv((columns + rows) * width, 2), floorDiv((columns + rows) * height, 2)};
        }
        case TmxMap::Orientation::Staggered:
        case TmxMap::Orientation::Hexagonal: {
            const Stagger s = stagger();
            const sf::Vector2i box = cellSize();
            if (s.alongX) {
                return {left * s.step, top * box.y, columns * s.step + s.sideOffset,
                        rows * box.y + (columns > 1 ? s.half : 0)};
            }
            return {left * box.x, top * s.step, columns * box.x + (rows > 1 ? s.half : 0),
                    rows * s.step + s.sideOffset};
        }
    }
    return {left * map.tileWidth, top * map.tileHeight, columns * map.tileWidth, rows * map.tileHeight};
}

sf::Rect<int64_t> Tilemap::cellsWithCornerIn(double left, double top, double right, double bottom) const {
    const TmxMap& map = *tmxMap;
    const sf::Vector2i box = cellSize();
    constexpr int64_t everywhere = int64_t{1} << 40;
    // Cells of size pixels up to the one holding the coordinate, kept within what any map can hold.
    const auto cell = [](double pixels, double size) {
        constexpr double far = 1e12;
        return static_cast<int64_t>(std::floor(std::clamp(pixels / size, -far, far)));
    };
    const auto block = [](int64_t firstColumn, int64_t firstRow, int64_t lastColumn, int64_t lastRow) {
        return sf::Rect<int64_t>(firstColumn, firstRow, std::max<int64_t>(lastColumn - firstColumn + 1, 0),
                                 std::max<int64_t>(lastRow - firstRow + 1, 0));
    };
    if (box.x <= 0 || box.y <= 0) {
        return {-everywhere, -everywhere, 2 * everywhere, 2 * everywhere};
    }
    switch (map.orientation) {
        case TmxMap::Orientation::Orthogonal:
            break;
        case TmxMap::Orientation::Isometric: {
            // Along the diagonals: the left edge follows column - row, the bottom column + row.
            const double halfWidth = map.tileWidth / 2.0;
            const double halfHeight = map.tileHeight / 2.0;
            const double origin =
                double(floorDiv(int64_t{map.height} * map.tileWidth, 2) - map.tileWidth / 2);
            const int64_t across0 = cell(left - origin, halfWidth) - 1;
            const int64_t across1 = cell(right - origin, halfWidth) + 1;
            const int64_t down0 = cell(top - map.tileHeight - 1.0, halfHeight) - 1;
            const int64_t down1 = cell(bottom - map.tileHeight, halfHeight) + 1;
            return block(floorDiv(across0 + down0, 2), floorDiv(down0 - across1, 2),
                         -floorDiv(-(across1 + down1), 2), -floorDiv(-(down1 - across0), 2));
        }
        case TmxMap::Orientation::Staggered:
        case TmxMap::Orientation::Hexagonal: {
            const Stagger s = stagger();
            if (s.pair <= 0 || s.step <= 0) {
                return {-everywhere, -everywhere, 2 * everywhere, 2 * everywhere};
            }
            if (s.alongX) {
                // Columns are half a pair apart on average, the odd pixel of a pair aside.
                const double average = double(s.pair) / 2.0;
                return block(cell(left, average) - 2, cell(top - box.y - double(s.half), box.y) - 1,
                             cell(right, average) + 2, cell(bottom - box.y, box.y) + 1);
            }
            return block(cell(left - double(s.half), box.x) - 1, cell(top - box.y, double(s.step)) - 1,
                         cell(right, box.x) + 1, cell(bottom - box.y, double(s.step)) + 1);
        }
    }
    return block(cell(left, box.x) - 1, cell(top, box.y) - 2, cell(right, box.x) + 1, cell(bottom, box.y));
}

std::pair<int64_t, int64_t> Tilemap::drawKey(int64_t column, int64_t row) const {
    switch (tmxMap->orientation) {
        case TmxMap::Orientation::Orthogonal:
            break;
        case TmxMap::Orientation::Isometric:
            return {column + row, column};
        case TmxMap::Orientation::Staggered:
        case TmxMap::Orientation::Hexagonal: {
            const Stagger s = stagger();
            return {s.alongX ? 2 * row + (s.shifted(column) ? 1 : 0) : row, column};
        }
    }
    const sf::Vector2i direction = renderDirection();
    return {row * direction.y, column * direction.x};
}

sf::Vector2f Tilemap::objectToScreen(sf::Vector2f point) const {
    const TmxMap& map = *tmxMap;
    if (map.orientation != TmxMap::Orientation::Isometric || map.tileHeight <= 0) {
        return point;
    }
    const float along = point.x / static_cast<float>(map.tileHeight);
    const float down = point.y / static_cast<float>(map.tileHeight);
    const float halfWidth = static_cast<float>(map.tileWidth) / 2.f;
    const float originX = static_cast<float>(map.height) * halfWidth;
    return {(along - down) * halfWidth + originX, (along + down) * static_cast<float>(map.tileHeight) / 2.f};
}

std::vector<sf::Vector2f> Tilemap::objectOutline(const Object& object) const {
    const sf::Vector2f position(object.x, object.y);
    std::vector<sf::Vector2f> local;
    const bool isometric = tmxMap->orientation == TmxMap::Orientation::Isometric;
    if (object.gid != 0) {
        // A tile object's picture stands upright on its position, whatever the projection.
        const sf::Vector2f anchor = objectToScreen(position);
        const float left = isometric ? -object.width / 2.f : 0.f;
        local = {{left, -object.height},
                 {left + object.width, -object.height},
                 {left + object.width, 0.f},
                 {left, 0.f}};
        for (sf::Vector2f& point : local) {
            point += anchor;
        }
    } else {
        switch (object.shape) {
            case Object::Shape::Point:
                local = {position};
                break;
            case Object::Shape::Polygon:
            case Object::Shape::Polyline:
                for (const sf::Vector2f& point : object.points) {
                    local.push_back(objectToScreen(position + point));
                }
                break;
            case Object::Shape::Ellipse: {
                constexpr int segments = 32;
                const sf::Vector2f radius(object.width / 2.f, object.height / 2.f);
                for (int i = 0; i < segments; ++i) {
                    const double angle = 2.0 * 3.14159265358979323846 * i / segments;
                    local.push_back(
                        objectToScreen(position + radius +
                                       sf::Vector2f(radius.x * static_cast<float>(std::cos(angle)),
                                                    radius.y * static_cast<float>(std::sin(angle)))));
                }
                break;
            }
            case Object::Shape::Rectangle:
            case Object::Shape::Text:
                for (const sf::Vector2f corner :
                     {sf::Vector2f(0.f, 0.f), sf::Vector2f(object.width, 0.f),
                      sf::Vector2f(object.width, object.height), sf::Vector2f(0.f, object.height)}) {
                    local.push_back(objectToScreen(position + corner));
                }
                break;
        }
    }
    if (object.rotation != 0.f) {
        sf::Transform turn;
        turn.rotate(object.rotation, objectToScreen(position));
        for (sf::Vector2f& point : local) {
            point = turn.transformPoint(point);
        }
    }
    return local;
}

sf::Vector2<int64_t> Tilemap::checkedTopLeft(const Layer& layer, const TileDefinition& definition,
                                             int64_t column, int64_t row, const std::string& where) const {
    const sf::Vector2<int64_t> topLeft =
        tileTopLeft(layer, column, row, definition.textureRect.height, definition.offset);
    constexpr int64_t limit = std::numeric_limits<int32_t>::max();
    if (topLeft.x > limit || topLeft.y > limit || topLeft.x < -limit || topLeft.y < -limit) {
        throw AssetLoadException(where + " places a tile too far out for pixel positions!", path);
    }
    return topLeft;
}

Tilemap::Placement Tilemap::placement(sf::Vector2f topLeft, sf::Vector2i imageSize, uint32_t gid,
                                      bool hexagonal) {
    Placement placement;
    const uint32_t turns = hexagonal ? flippedDiagonally | rotatedHexagonally : flippedDiagonally;
    if ((gid & (flippedHorizontally | flippedVertically | turns)) == 0) {
        placement.position = topLeft;
        return placement;
    }
    const auto width = static_cast<float>(imageSize.x);
    const auto height = static_cast<float>(imageSize.y);
    if (hexagonal) {
        // Mirrored, then turned clockwise by a sixth and a third as the flags say, about the centre.
        placement.position = {topLeft.x + width / 2.f, topLeft.y + height / 2.f};
        placement.rotation =
            ((gid & flippedDiagonally) != 0 ? 60.f : 0.f) + ((gid & rotatedHexagonally) != 0 ? 120.f : 0.f);
        placement.scale = {(gid & flippedHorizontally) != 0 ? -1.f : 1.f,
                           (gid & flippedVertically) != 0 ? -1.f : 1.f};
        placement.centred = true;
        return placement;
    }
    const bool turned = (gid & flippedDiagonally) != 0;
    const bool horizontal = (gid & flippedHorizontally) != 0;
    const bool vertical = (gid & flippedVertically) != 0;
    const float shownWidth = turned ? height : width;
    const float shownHeight = turned ? width : height;
    placement.position = {topLeft.x + shownWidth / 2.f, topLeft.y + height - shownHeight / 2.f};
    const bool mirrorX = turned ? vertical : horizontal;
    const bool mirrorY = turned ? !horizontal : vertical;
    placement.rotation = turned ? 90.f : 0.f;
    placement.scale = {mirrorX ? -1.f : 1.f, mirrorY ? -1.f : 1.f};
    placement.centred = true;
    return placement;
}

Tilemap::AnimationClock::AnimationClock(const std::vector<Frame>& frames) {
    for (const Frame& step : frames) {
        cycle += step.duration;
    }
}

bool Tilemap::AnimationClock::advance(const std::vector<Frame>& frames, float milliseconds) {
    if (cycle <= 0) {
        return false;
    }
    elapsed = std::fmod(elapsed + milliseconds, static_cast<float>(cycle));
    const std::size_t before = frame;
    while (elapsed >= static_cast<float>(frames[frame].duration)) {
        elapsed -= static_cast<float>(frames[frame].duration);
        frame = (frame + 1) % frames.size();
    }
    return frame != before;
}

sf::Vector2i Tilemap::renderDirection() const {
    const std::string& order = tmxMap->renderOrder;
    return {order == "left-down" || order == "left-up" ? -1 : 1,
            order == "right-up" || order == "left-up" ? -1 : 1};
}

bool Tilemap::bottomOnHalfPixel(const Layer& layer, int64_t column, int64_t row) const {
    const RowStart& start = layer.rowStart;
    return tmxMap->orientation == TmxMap::Orientation::Isometric &&
           ((start.twiceY + (column + row - start.column - start.row) * tmxMap->tileHeight) & 1) != 0;
}

sf::Vector2f Tilemap::pixelOffset(const Layer& layer, bool halfPixel) {
    return {std::floor(layer.offsetX + 0.5f), std::floor(layer.offsetY + (halfPixel ? 0.f : 0.5f))};
}

sf::IntRect Tilemap::Piece::in(const sf::IntRect& picture) const {
    return whole ? picture
                 : sf::IntRect(picture.left + texels.left, picture.top + texels.top, texels.width,
                               texels.height);
}

Tilemap::Pieces Tilemap::pieces(const Layer& layer, bool halfPixel, sf::Vector2f topLeft,
                                sf::Vector2i imageSize, uint32_t gid, bool opaque, bool hexagonal) {
    Pieces result;
    result.piece[0] = {{0, 0, imageSize.x, imageSize.y}, topLeft};
    result.count = 1;
    const bool horizontal = (gid & flippedHorizontally) != 0;
    const bool vertical = (gid & flippedVertically) != 0;
    const bool turned = (gid & flippedDiagonally) != 0;
    const auto onHalf = [](float value) { return value - std::floor(value) == 0.5f; };
    const bool halfX = onHalf(layer.offsetX);
    const bool halfY = onHalf(layer.offsetY + (halfPixel ? 0.5f : 0.f));
    if ((!horizontal && !vertical) || (!halfX && !halfY) ||
        (hexagonal && (gid & (flippedDiagonally | rotatedHexagonally)) != 0)) {
        return result;
    }
    // The editor rounds where a mirrored or turned picture starts half up but samples it from its unrounded
    // position, so along an axis on half a pixel every texel comes one pixel early. It does so along an
    // axis the picture runs backwards on and clamps the samples to the tile, repeating the texel shown
    // last; but a turned opaque picture it draws another way, where this happens along either axis when
    // the other runs backwards, clamping only when both do and leaving the last pixel empty otherwise (as
    // measured).
    // A run of texels along one screen axis: its first pixel, first texel (counted in the texture's own
    // direction; a backwards run shows its last texel first) and count.
    struct Run {
        int pixel;
        int texel;
        int count;
    };
    const bool byOtherAxis = turned && opaque;
    const auto runs = [byOtherAxis](bool half, bool backwards, bool otherBackwards, int size, Run* out) {
        if (!half || (byOtherAxis ? !otherBackwards : !backwards)) {
            out[0] = {0, 0, size};
            return 1;
        }
        if (!backwards) {
            out[0] = {0, 1, size - 1};  // the first texel is lost and the last pixel stays empty
            return 1;
        }
        out[0] = {0, 0, size - 1};  // the first texel shown is lost, the last repeated
        out[1] = {size - 1, 0, 1};
        return 2;
    };
    const sf::Vector2i shown = turned ? sf::Vector2i(imageSize.y, imageSize.x) : imageSize;
    Run across[2];
    Run down[2];
    const int columns = runs(halfX, horizontal, vertical, shown.x, across);
    const int rows = runs(halfY, vertical, horizontal, shown.y, down);
    // The shown picture's top-left corner: a turned picture keeps the upright one's bottom-left corner.
    const sf::Vector2f corner(topLeft.x, topLeft.y + static_cast<float>(imageSize.y - shown.y));
    result.count = 0;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            const Run& x = across[i];
            const Run& y = down[j];
            if (x.count <= 0 || y.count <= 0) {
                continue;
            }
            // A turned picture shows texel rows along the screen's x axis.
            const sf::IntRect texels = turned ? sf::IntRect(y.texel, x.texel, y.count, x.count)
                                              : sf::IntRect(x.texel, y.texel, x.count, y.count);
            result.piece[static_cast<std::size_t>(result.count++)] = {
                texels,
                {corner.x + static_cast<float>(x.pixel),
                 corner.y + static_cast<float>(y.pixel + y.count - texels.height)},
                false};
        }
    }
    return result;
}

void Tilemap::scanCells(const TmxLayer& source, Layer& layer, const std::string& where) {
    const int64_t tileWidth = cellSize().x;
    const int64_t tileHeight = cellSize().y;
    const bool orthogonal = tmxMap->orientation == TmxMap::Orientation::Orthogonal;
    layer.overlapping = !orthogonal;
    int64_t firstColumn = source.width;
    int64_t lastColumn = -1;
    int64_t firstRow = -1;
    int64_t lastRow = -1;
    // Extremes of what moves a tile, over the distinct ids: the corner cells with them bound every position.
    sf::Vector2<int64_t> lowest(std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::max());
    sf::Vector2<int64_t> highest(std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::min());
    // The editor's margin for the row start: the largest side of any tileset the layer uses (a tile may be
    // turned) beyond the map's tile width, and the largest tile offsets right and down.
    int64_t largestSide = 0;
    sf::Vector2<int64_t> margin;
    layer.rowStart =
        rowStart(source.originX, source.originY, int64_t{source.originY} + source.height, margin);
    const int32_t* cell = source.data.data();
    uint32_t previous = 0;
    try {
        for (int64_t row = 0; row < source.height; ++row) {
            bool any = false;
            for (int64_t column = 0; column < source.width; ++column, ++cell) {
                const auto gid = static_cast<uint32_t>(*cell);
                if ((gid & idMask) == 0) {
                    continue;
                }
                any = true;
                firstColumn = std::min(firstColumn, column);
                lastColumn = std::max(lastColumn, column);
                if (gid == previous) {
                    continue;
                }
                previous = gid;
                const TileDefinition& definition = define(gid, where);
                const int64_t width = definition.textureRect.width;
                const int64_t height = definition.textureRect.height;
                const bool turned = (gid & flippedDiagonally) != 0;
                const sf::Vector2<int64_t> offset(definition.offset.x, definition.offset.y);
                largestSide = std::max<int64_t>(
                    {largestSide, definition.tileset->tileWidth, definition.tileset->tileHeight});
                margin = {std::max(margin.x, offset.x), std::max(margin.y, offset.y)};
                // The picture's extent from the bottom-left corner of the cell's box (y up is negative): a
                // quarter turn keeps the bottom-left corner; a hexagonal turn by a sixth or a third stays
                // within the circle around the picture's centre.
                int64_t low = offset.x;
                int64_t high = offset.x + (turned ? height : width);
                int64_t up = offset.y - (turned ? width : height);
                int64_t down = offset.y;
                if (hexagonalTurn(gid)) {
                    const auto radius = static_cast<int64_t>(std::ceil(std::hypot(width, height) / 2.0)) + 1;
                    const int64_t x = offset.x + width / 2;
                    const int64_t y = offset.y - height / 2;
                    low = x - radius;
                    high = x + radius;
                    up = y - radius;
                    down = y + radius;
                }
                Reach& reach = layer.reach;
                reach.left = std::max(reach.left, -low);
                reach.right = std::max(reach.right, high - tileWidth);
                reach.top = std::max(reach.top, -up - tileHeight);
                reach.bottom = std::max(reach.bottom, down);
                layer.overlapping = layer.overlapping || width != tileWidth || height != tileHeight ||
                                    offset.x != 0 || offset.y != 0 || (turned && width != height);
                lowest = {std::min(lowest.x, low), std::min(lowest.y, up)};
                highest = {std::max(highest.x, high), std::max(highest.y, down)};
            }
            if (any) {
                firstRow = firstRow < 0 ? row : firstRow;
                lastRow = row;
            }
        }
    } catch (const AssetLoadException&) {
        // The first bad cell read row by row need not be the first one the tiles are built from.
        reportFirstBadCell(source, layer, where);
        throw;
    }
    if (lastRow < 0) {
        return;
    }
    const int64_t left = source.originX + firstColumn;
    const int64_t top = source.originY + firstRow;
    const int64_t right = source.originX + lastColumn;
    const int64_t bottom = source.originY + lastRow;
    layer.rowStart = rowStart(left, top, bottom + 1, {margin.x + largestSide - tmxMap->tileWidth, margin.y});
    constexpr int64_t limit = std::numeric_limits<int32_t>::max();
    // Off the square grid, a cell between the corners may lie up to a box beyond them.
    if (!orthogonal) {
        lowest -= sf::Vector2<int64_t>(tileWidth, tileHeight);
        highest += sf::Vector2<int64_t>(tileWidth, tileHeight);
    }
    bool beyond = false;
    for (const int64_t column : {left, right}) {
        for (const int64_t row : {top, bottom}) {
            const sf::Vector2<int64_t> corner = cellBottomLeft(layer, column, row);
            beyond = beyond ||
                     std::max(std::abs(corner.x + lowest.x), std::abs(corner.x + highest.x)) > limit ||
                     std::max(std::abs(corner.y + lowest.y), std::abs(corner.y + highest.y)) > limit;
        }
    }
    if (beyond) {
        reportFirstBadCell(source, layer, where);
    }
    layer.usedCells = sf::IntRect(static_cast<int>(left), static_cast<int>(top),
                                  static_cast<int>(right - left + 1), static_cast<int>(bottom - top + 1));
}

void Tilemap::reportFirstBadCell(const TmxLayer& source, const Layer& layer, const std::string& where) {
    for (int64_t column = 0; column < source.width; ++column) {
        for (int64_t row = 0; row < source.height; ++row) {
            const auto gid =
                static_cast<uint32_t>(source.data[static_cast<std::size_t>(row * source.width + column)]);
            if ((gid & idMask) != 0) {
                checkedTopLeft(layer, define(gid, where), source.originX + column, source.originY + row,
                               where);
            }
        }
    }
}

std::shared_ptr<Tilemap::Tile> Tilemap::makeTile(const Layer& layer, int32_t gid, int32_t column, int32_t row,
                                                 const std::string& where) {
    const auto bits = static_cast<uint32_t>(gid);
    const TileDefinition& definition = define(bits, where);
    const sf::Vector2<int64_t> topLeft = checkedTopLeft(layer, definition, column, row, where);
    auto tile = std::make_shared<Tile>();
    tile->tileset = definition.tileset;
    tile->texture = definition.texture;
    tile->textureRect = definition.textureRect;
    tile->opaque = definition.opaque;
    tile->animation = definition.animation;
    tile->x = static_cast<int32_t>(topLeft.x);
    tile->y = static_cast<int32_t>(topLeft.y);
    tile->gid = gid;
    tile->column = column;
    tile->row = row;
    tile->flipHorizontally = (bits & flippedHorizontally) != 0;
    tile->flipVertically = (bits & flippedVertically) != 0;
    tile->flipDiagonally = (bits & flippedDiagonally) != 0;
    tile->halfPixel = bottomOnHalfPixel(layer, column, row);
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
        layer->source = source.get();
        scanCells(*source, *layer, where);
        if (storage == TileStorage::Tiles) {
            for (int32_t x = 0; x < source->width; ++x) {
                for (int32_t y = 0; y < source->height; ++y) {
                    const int32_t gid = source->data[static_cast<std::size_t>(y) * source->width + x];
                    if ((static_cast<uint32_t>(gid) & idMask) != 0) {
                        layer->tiles.push_back(
                            makeTile(*layer, gid, static_cast<int32_t>(int64_t{source->originX} + x),
                                     static_cast<int32_t>(int64_t{source->originY} + y), where));
                    }
                }
            }
        }
        layer->drawOrder.resize(layer->tiles.size());
        std::iota(layer->drawOrder.begin(), layer->drawOrder.end(), std::size_t{0});
        if (layer->overlapping) {
            std::sort(layer->drawOrder.begin(), layer->drawOrder.end(), [&](std::size_t a, std::size_t b) {
                const Tile& first = *layer->tiles[a];
                const Tile& second = *layer->tiles[b];
                return drawKey(first.column, first.row) < drawKey(second.column, second.row);
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
        group->offset = {source->offsetX, source->offsetY};
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
            object->gid = tmxObject->gid;
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

const Tilemap::Layer& Tilemap::getLayer(const std::string& name) const {
    const auto found = layers.find(name);
    if (found == layers.end()) {
        throw TiledObjectNotFoundException("A layer with the name '" + name + "' does not exist in '" + path +
                                           "'!");
    }
    return *found->second;
}

const Tilemap::Layer& Tilemap::getLayer(std::size_t index) const {
    return *layersInOrder.at(index);
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
