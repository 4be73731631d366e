#include "engine/MapLoader.hpp"

#include <SFML/System/FileInputStream.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <stdexcept>

#include "engine/AssetLoadException.hpp"
#include "engine/TileDataDecoder.hpp"
#include "engine/TmjReader.hpp"
#include "engine/TmxReader.hpp"

namespace orn {

namespace {

/// Component-wise product of two 0xAARRGGBB colours, as Tiled combines a group's tint with its layers'.
uint32_t multiplyColors(uint32_t a, uint32_t b) {
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t product = ((a >> shift) & 0xFF) * ((b >> shift) & 0xFF);
        result |= ((product + 127) / 255) << shift;
    }
    return result;
}

std::string sizeText(int64_t width, int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

}  // namespace

MapLoader::Inherited MapLoader::Inherited::within(float x, float y, float ownOpacity, bool ownVisible,
                                                  const std::string& ownTint) const {
    Inherited inner = *this;
    inner.offsetX += x;
    inner.offsetY += y;
    inner.opacity *= std::clamp(ownOpacity, 0.f, 1.f);
    inner.visible = inner.visible && ownVisible;
    inner.tint = multiplyColors(inner.tint, parseColor(ownTint));
    return inner;
}

void MapLoader::Inherited::applyTo(TmxLayer& layer) const {
    layer.offsetX = offsetX;
    layer.offsetY = offsetY;
    layer.opacity = opacity;
    layer.visible = visible;
    layer.tint = tint;
}

void MapLoader::Inherited::addPlainLayer(TmxMap& map, bool group, const std::string& name,
                                         const std::string& imageSource) const {
    auto plain = std::make_unique<TmxPlainLayer>();
    plain->kind = group ? TmxPlainLayer::Kind::Group : TmxPlainLayer::Kind::Image;
    plain->name = name;
    plain->imageSource = imageSource.empty() ? "" : TmxMap::joinPath("", imageSource);
    plain->offsetX = offsetX;
    plain->offsetY = offsetY;
    plain->opacity = opacity;
    plain->visible = visible;
    map.plainLayers.push_back(std::move(plain));
}

MapLoader::MapLoader(std::string path) : path(std::move(path)), folder(TmxMap::folderOf(this->path)) {}

bool MapLoader::readFile(const std::string& fullPath, std::vector<char>& text) {
    if (!readBytes(fullPath, text)) {
        return false;
    }
    // gzip's magic number; a map's text starts with neither byte.
    if (text.size() < 3 || static_cast<unsigned char>(text[0]) != 0x1F ||
        static_cast<unsigned char>(text[1]) != 0x8B) {
        return true;
    }
    std::vector<unsigned char> packed(text.begin(), text.end() - 1);
    std::vector<unsigned char> unpacked;
    try {
        unpacked = TileDataDecoder::inflate(packed, true, maxUnpackedBytes);
    } catch (const std::runtime_error& error) {
        fail(fullPath, "The file '" + fullPath + "' " + error.what());
    }
    if (unpacked.size() > maxUnpackedBytes) {
        fail(fullPath, "The file '" + fullPath + "' unpacks to more than " +
                           std::to_string(maxUnpackedBytes) + " bytes!");
    }
    text.assign(unpacked.begin(), unpacked.end());
    text.push_back('\0');
    return true;
}

bool MapLoader::readBytes(const std::string& fullPath, std::vector<char>& text) {
    // A directory opens as a stream whose size reads as the largest file offset.
    std::error_code error;
    if (!std::filesystem::is_regular_file(fullPath, error)) {
        return false;
    }
    sf::FileInputStream stream;
    if (!stream.open(fullPath)) {
        return false;
    }
    const sf::Int64 size = stream.getSize();
    if (size < 0) {
        return false;
    }
    text.resize(static_cast<std::size_t>(size) + 1);
    const sf::Int64 read = size > 0 ? stream.read(text.data(), size) : 0;
    if (read < 0) {
        return false;
    }
    text.resize(static_cast<std::size_t>(read) + 1);
    text.back() = '\0';
    return true;
}

const MapLoader::File* MapLoader::open(const std::string& fullPath) {
    const auto found = files.find(fullPath);
    if (found != files.end()) {
        return found->second.get();
    }
    auto file = std::make_unique<File>();
    file->path = fullPath;
    if (!readFile(fullPath, file->text)) {
        return nullptr;
    }
    // The format shows in the first character that is not blank, after an optional UTF-8 byte order mark.
    const char* start = file->text.data();
    if (std::strncmp(start, "\xEF\xBB\xBF", 3) == 0) {
        start += 3;
    }
    start += std::strspn(start, " \t\r\n");
    if (*start == '{' || *start == '[') {
        TmjReader::parse(*file);
    } else {
        TmxReader::parse(*file);
    }
    return files.emplace(fullPath, std::move(file)).first->second.get();
}

const MapLoader::File& MapLoader::openReferenced(const std::string& fullPath, const std::string& referrer) {
    const File* file = open(fullPath);
    if (file == nullptr) {
        fail(path, referrer + " refers to the file '" + fullPath + "', which cannot be opened!");
    }
    return *file;
}

std::shared_ptr<TmxMap> MapLoader::load() {
    const File* file = open(path);
    if (file == nullptr) {
        return nullptr;
    }
    return file->json ? TmjReader(*this).readMap(*file) : TmxReader(*this).readMap(*file);
}

void MapLoader::readExternalTileset(const std::string& referrer, TmxTileset& tileset) {
    const File& file = openReferenced(TmxMap::joinPath(folder, tileset.source), referrer);
    const std::string base = TmxMap::folderOf(tileset.source);
    if (file.json) {
        TmjReader::readTileset(file, base, tileset);
    } else {
        TmxReader::readTileset(file, base, tileset);
    }
}

void MapLoader::mergeTemplate(const std::string& referrer, const TmxMap& map, TmxObject& object) {
    const File& file = openReferenced(TmxMap::joinPath(folder, object.templatePath), referrer);
    const TemplateTileset tileset =
        file.json ? TmjReader::readTemplate(file, object) : TmxReader::readTemplate(file, object);
    if (object.gid == 0) {
        return;
    }
    // The template numbers its tile in its own tileset reference; the map's reference to the same file
    // gives the map's number.
    const uint32_t flags = static_cast<uint32_t>(object.gid) & 0xF0000000u;
    const int64_t id = static_cast<uint32_t>(object.gid) & 0x0FFFFFFFu;
    object.gid = 0;
    if (tileset.source.empty()) {
        return;
    }
    const std::string tilesetFile = TmxMap::joinPath(TmxMap::folderOf(object.templatePath), tileset.source);
    for (const auto& candidate : map.tilesets) {
        if (!candidate->source.empty() && TmxMap::joinPath("", candidate->source) == tilesetFile) {
            const int64_t gid = id - tileset.firstGid + candidate->firstGid;
            if (gid > 0 && gid <= 0x0FFFFFFF) {
                object.gid = static_cast<int32_t>(static_cast<uint32_t>(gid) | flags);
            }
            return;
        }
    }
}

void MapLoader::countCells(const TmxLayer& layer, const std::string& where) {
    cells += int64_t{layer.width} * layer.height;
    if (cells > maxMapCells) {
        fail(path, where + " brings the map's layers to more than " + std::to_string(maxMapCells) +
                       " cells together!");
    }
}

void MapLoader::readOrientation(TmxMap& map, const std::string& orientation, const std::string& axis,
                                const std::string& index, int64_t side, const char* attribute,
                                const std::string& file) {
    using Orientation = TmxMap::Orientation;
    const std::map<std::string, Orientation> orientations{{"", Orientation::Orthogonal},
                                                          {"orthogonal", Orientation::Orthogonal},
                                                          {"isometric", Orientation::Isometric},
                                                          {"staggered", Orientation::Staggered},
                                                          {"hexagonal", Orientation::Hexagonal}};
    const auto found = orientations.find(orientation);
    if (found == orientations.end()) {
        fail(file, "The map '" + file + "' has the orientation '" + orientation +
                       "'; only orthogonal, isometric, staggered and hexagonal maps are supported!");
    }
    map.orientation = found->second;
    if (map.orientation != Orientation::Staggered && map.orientation != Orientation::Hexagonal) {
        return;
    }
    const auto refuse = [&](const std::string& what, const std::string& value, const char* name,
                            const std::string& allowed) {
        fail(file, "The map '" + file + "' has the " + what + " " + value + " in its " + attribute + " '" +
                       name + "'; it must be " + allowed + "!");
    };
    if (axis != "" && axis != "x" && axis != "y") {
        refuse("stagger axis", "'" + axis + "'", "staggeraxis", "'x' or 'y'");
    }
    if (index != "" && index != "odd" && index != "even") {
        refuse("stagger index", "'" + index + "'", "staggerindex", "'odd' or 'even'");
    }
    map.staggerAxis = axis == "x" ? TmxMap::StaggerAxis::X : TmxMap::StaggerAxis::Y;
    map.staggerIndex = index == "even" ? TmxMap::StaggerIndex::Even : TmxMap::StaggerIndex::Odd;
    if (map.orientation != Orientation::Hexagonal) {
        return;
    }
    // The sides along the stagger axis fit within the tile, or the hexagons' corners would turn inside out.
    const bool alongX = map.staggerAxis == TmxMap::StaggerAxis::X;
    const int32_t longest = alongX ? map.tileWidth : map.tileHeight;
    if (side < 0 || side > longest) {
        refuse("hexagonal side length", std::to_string(side), "hexsidelength",
               "from 0 to the tile " + std::string(alongX ? "width" : "height") + " of " +
                   std::to_string(longest) + " pixels");
    }
    map.hexSideLength = static_cast<int32_t>(side);
}

void MapLoader::checkTileSize(const TmxMap& map, const std::string& file) {
    if (map.tileWidth <= 0 || map.tileHeight <= 0) {
        fail(file,
             "The map '" + file + "' has tiles of " + sizeText(map.tileWidth, map.tileHeight) + " pixels!");
    }
}

void MapLoader::checkLayerSize(int64_t width, int64_t height, const std::string& where,
                               const std::string& file) {
    if (width < 0 || height < 0) {
        fail(file, where + " has the invalid size " + sizeText(width, height) + "!");
    }
    if (width * height > TmxMap::maxLayerCells) {
        fail(file, where + " spans " + sizeText(width, height) + " cells, more than the " +
                       std::to_string(TmxMap::maxLayerCells) + " a layer may hold!");
    }
}

void MapLoader::addChunk(std::vector<Chunk>& chunks, Chunk chunk, const std::string& where,
                         const std::string& file) {
    checkLayerSize(chunk.width, chunk.height, where, file);
    constexpr int64_t last = std::numeric_limits<int32_t>::max();
    if (chunk.x + chunk.width > last || chunk.y + chunk.height > last) {
        fail(file, where + " has a chunk reaching beyond the tile coordinate " + std::to_string(last) + "!");
    }
    // Chunks do not overlap, so together they hold no more cells than their bounding box; counting them
    // bounds what is decoded before the box is filled.
    int64_t left = chunk.x;
    int64_t top = chunk.y;
    int64_t right = chunk.x + chunk.width;
    int64_t bottom = chunk.y + chunk.height;
    int64_t total = chunk.width * chunk.height;
    for (const Chunk& other : chunks) {
        left = std::min(left, other.x);
        top = std::min(top, other.y);
        right = std::max(right, other.x + other.width);
        bottom = std::max(bottom, other.y + other.height);
        total += other.width * other.height;
    }
    checkLayerSize(right - left, bottom - top, where, file);
    if (total > TmxMap::maxLayerCells) {
        fail(file, where + " has chunks of more than " + std::to_string(TmxMap::maxLayerCells) +
                       " cells together!");
    }
    chunks.push_back(std::move(chunk));
}

void MapLoader::placeChunks(const std::vector<Chunk>& chunks, TmxLayer& layer) {
    int64_t left = 0;
    int64_t top = 0;
    int64_t right = 0;
    int64_t bottom = 0;
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        const Chunk& chunk = chunks[i];
        left = i > 0 ? std::min(left, chunk.x) : chunk.x;
        top = i > 0 ? std::min(top, chunk.y) : chunk.y;
        right = i > 0 ? std::max(right, chunk.x + chunk.width) : chunk.x + chunk.width;
        bottom = i > 0 ? std::max(bottom, chunk.y + chunk.height) : chunk.y + chunk.height;
    }
    layer.originX = static_cast<int32_t>(left);
    layer.originY = static_cast<int32_t>(top);
    layer.width = static_cast<int32_t>(right - left);
    layer.height = static_cast<int32_t>(bottom - top);
    layer.data.assign(static_cast<std::size_t>(layer.width) * static_cast<std::size_t>(layer.height), 0);
    for (const Chunk& chunk : chunks) {
        for (std::size_t i = 0; i < chunk.ids.size(); ++i) {
            const int64_t row = chunk.y - top + static_cast<int64_t>(i) / chunk.width;
            const int64_t column = chunk.x - left + static_cast<int64_t>(i) % chunk.width;
            layer.data[static_cast<std::size_t>(row * layer.width + column)] = chunk.ids[i];
        }
    }
}

void MapLoader::refersOn(const std::string& file, bool isTemplate, const std::string& target) {
    fail(file, isTemplate ? "The template '" + file + "' refers on to the template '" + target +
                                "'; a template must hold its object!"
                          : "The tileset file '" + file + "' refers on to the file '" + target +
                                "'; a tileset file must hold the tileset!");
}

void MapLoader::prependProperties(TmxProperties own, TmxObject& object) {
    for (auto& inherited : object.properties) {
        own.push_back(std::move(inherited));
    }
    object.properties = std::move(own);
}

uint32_t MapLoader::parseColor(const std::string& value) {
    const std::string digits = !value.empty() && value[0] == '#' ? value.substr(1) : value;
    if ((digits.size() != 6 && digits.size() != 8) ||
        digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return 0xFFFFFFFF;
    }
    const auto parsed = static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
    return digits.size() == 6 ? 0xFF000000 | parsed : parsed;
}

float MapLoader::toFloat(double value) {
    return std::isfinite(value) && std::fabs(value) <= std::numeric_limits<float>::max()
               ? static_cast<float>(value)
               : 0.f;
}

void MapLoader::fail(const std::string& file, const std::string& message) {
    throw AssetLoadException(message, file);
}

}  // namespace orn
