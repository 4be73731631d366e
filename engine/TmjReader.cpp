#include "engine/TmjReader.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <stdexcept>

#include "engine/Json.hpp"
#include "engine/TileDataDecoder.hpp"

namespace orn {

namespace {

using Value = rapidjson::Value;
using Where = TmjReader::Where;

/// The deepest nesting of arrays and objects in the JSON text, strings skipped.
std::size_t jsonDepth(const char* text, std::size_t size) {
    std::size_t depth = 0;
    std::size_t deepest = 0;
    bool inString = false;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = text[i];
        if (inString) {
            i += c == '\\' ? 1 : 0;
            inString = c != '"';
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return deepest;
}

std::string textOf(const Value& value) {
    return std::string(value.GetString(), value.GetStringLength());
}

/// value as a whole number within [low, high]; false for anything else (text, fractions, values out of
/// range).
bool wholeNumber(const Value& value, int64_t low, int64_t high, int64_t& result) {
    if (value.IsInt64()) {
        result = value.GetInt64();
    } else if (value.IsDouble()) {
        const double number = value.GetDouble();
        if (!(number >= static_cast<double>(low) && number <= static_cast<double>(high)) ||
            number != std::floor(number)) {
            return false;
        }
        result = static_cast<int64_t>(number);
    } else {
        return false;
    }
    return result >= low && result <= high;
}

constexpr int64_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr int64_t kIntMax = std::numeric_limits<int32_t>::max();
constexpr int64_t kIdMax = std::numeric_limits<uint32_t>::max();

std::string range(int64_t low, int64_t high) {
    return "a whole number from " + std::to_string(low) + " to " + std::to_string(high);
}

const Value* find(const Value& object, const char* name) {
    return Json::findMember(object, name);
}

const Value& require(const Value& object, const char* name, const Where& where) {
    const Value* value = find(object, name);
    if (value == nullptr) {
        where.fail("has no member '" + std::string(name) + "'!");
    }
    return *value;
}

/// A member holding a whole number of 32 bits; fallback when it is absent, or a refusal without one.
int32_t integer(const Value& object, const char* name, const Where& where,
                std::optional<int32_t> fallback = std::nullopt) {
    const Value* value = fallback ? find(object, name) : &require(object, name, where);
    if (value == nullptr) {
        return *fallback;
    }
    int64_t result = 0;
    if (!wholeNumber(*value, kIntMin, kIntMax, result)) {
        where.fail("has a member '" + std::string(name) + "' that is not " + range(kIntMin, kIntMax) + "!");
    }
    return static_cast<int32_t>(result);
}

/// A tile id: unsigned, the flip bits in the top four, kept in 32 bits.
int32_t tileId(const Value& value, const Where& where, const std::string& what) {
    int64_t result = 0;
    if (!wholeNumber(value, 0, kIdMax, result)) {
        where.fail("has " + what + " that is not " + range(0, kIdMax) + "!");
    }
    return static_cast<int32_t>(static_cast<uint32_t>(result));
}

float decimal(const Value& object, const char* name, const Where& where, float fallback = 0.f) {
    const Value* value = find(object, name);
    if (value == nullptr) {
        return fallback;
    }
    if (!value->IsNumber()) {
        where.fail("has a member '" + std::string(name) + "' that is not a number!");
    }
    return MapLoader::toFloat(value->GetDouble());
}

bool flag(const Value& object, const char* name, const Where& where, bool fallback) {
    const Value* value = find(object, name);
    if (value == nullptr) {
        return fallback;
    }
    if (!value->IsBool()) {
        where.fail("has a member '" + std::string(name) + "' that is neither true nor false!");
    }
    return value->GetBool();
}

std::string string(const Value& object, const char* name, const Where& where,
                   std::optional<std::string> fallback = std::string()) {
    const Value* value = fallback ? find(object, name) : &require(object, name, where);
    if (value == nullptr) {
        return *fallback;
    }
    if (!value->IsString()) {
        where.fail("has a member '" + std::string(name) + "' that is not text!");
    }
    return textOf(*value);
}

std::string requiredString(const Value& object, const char* name, const Where& where) {
    return string(object, name, where, std::nullopt);
}

/// An array member; null when absent.
const Value* list(const Value& object, const char* name, const Where& where) {
    const Value* value = find(object, name);
    if (value != nullptr && !value->IsArray()) {
        where.fail("has a member '" + std::string(name) + "' that is not a list!");
    }
    return value;
}

/// An object member; null when absent.
const Value* record(const Value& object, const char* name, const Where& where) {
    const Value* value = find(object, name);
    if (value != nullptr && !value->IsObject()) {
        where.fail("has a member '" + std::string(name) + "' that is not an object!");
    }
    return value;
}

/// Calls read(item, where) for every item of the list member name of owner (none when it is absent), each an
/// object, named kind in messages.
template <typename Read>
void forEach(const Value& owner, const char* name, const char* kind, const Where& where, Read&& read) {
    const Value* items = list(owner, name, where);
    for (rapidjson::SizeType i = 0; items != nullptr && i < items->Size(); ++i) {
        const Value& item = (*items)[i];
        const Where at = where.inner(kind, item, i);
        if (!item.IsObject()) {
            at.fail("is not an object!");
        }
        read(item, at);
    }
}

/// Refuses a root that is not an object, or whose "type" names another kind of file.
void checkKind(const Value& root, const char* kind, const std::string& file) {
    if (!root.IsObject()) {
        MapLoader::fail(file, "The file '" + file + "' holds no " + kind + ": it is not a JSON object!");
    }
    const Value* type = find(root, "type");
    if (type != nullptr && (!type->IsString() || textOf(*type) != kind)) {
        MapLoader::fail(file, "The file '" + file + "' has the type '" +
                                  (type->IsString() ? textOf(*type) : "") + "'; a " + kind + " is expected!");
    }
}

/// The shortest text that reads back as value, as the editor writes numbers in TMX files.
std::string numberText(double value) {
    char text[32] = "";
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, value);
        if (std::strtod(text, nullptr) == value) {
            break;
        }
    }
    return text;
}

}  // namespace

void TmjReader::Where::fail(const std::string& rest) const {
    MapLoader::fail(file, text() + " " + rest);
}

TmjReader::Where TmjReader::Where::inner(const char* kind, const Value& value, std::size_t index) const {
    const Value* name = find(value, "name");
    std::string described = kind;
    if (name != nullptr && name->IsString() && name->GetStringLength() > 0) {
        described += " '" + textOf(*name) + "'";
    } else {
        described += " number " + std::to_string(index + 1);
    }
    return {element == "map" ? described : described + " of the " + element, file};
}

void TmjReader::parse(MapLoader::File& file) {
    const char* text = file.text.data();
    std::size_t size = file.text.size() - 1;
    if (size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) {
        text += 3;
        size -= 3;
    }
    if (jsonDepth(text, size) > MapLoader::maxDepth) {
        MapLoader::fail(file.path, "The file '" + file.path + "' nests values deeper than " +
                                       std::to_string(MapLoader::maxDepth) + " levels!");
    }
    file.json = std::make_unique<rapidjson::Document>(Json::parse(text, size, file.path));
}

std::shared_ptr<TmxMap> TmjReader::readMap(const MapLoader::File& file) {
    const Value& root = *file.json;
    checkKind(root, "map", file.path);
    const Where where{"map", file.path};
    auto map = std::make_shared<TmxMap>();
    map->width = integer(root, "width", where);
    map->height = integer(root, "height", where);
    map->tileWidth = integer(root, "tilewidth", where);
    map->tileHeight = integer(root, "tileheight", where);
    MapLoader::checkTileSize(*map, file.path);
    MapLoader::readOrientation(*map, string(root, "orientation", where), string(root, "staggeraxis", where),
                               string(root, "staggerindex", where), integer(root, "hexsidelength", where, 0),
                               "member", file.path);
    map->infinite = flag(root, "infinite", where, false);
    map->renderOrder = string(root, "renderorder", where, map->renderOrder);
    readProperties(root, map->properties, where);
    forEach(root, "tilesets", "tileset", where, [&](const Value& value, const Where& at) {
        auto tileset = std::make_unique<TmxTileset>();
        tileset->firstGid = integer(value, "firstgid", at);
        if (find(value, "source") != nullptr) {
            tileset->source = requiredString(value, "source", at);
            loader.readExternalTileset(at.text(), *tileset);
        } else {
            readTilesetBody(value, at, "", *tileset);
        }
        map->tilesets.push_back(std::move(tileset));
    });
    readLayers(root, where, MapLoader::Inherited(), *map);
    return map;
}

void TmjReader::readProperties(const Value& owner, TmxProperties& properties, const Where& where) {
    const Value* list = find(owner, "properties");
    if (list == nullptr) {
        return;
    }
    if (list->IsObject()) {
        // Files of editors before 1.2: names to values, with the types in a second object.
        const Value* types = find(owner, "propertytypes");
        for (auto member = list->MemberBegin(); member != list->MemberEnd(); ++member) {
            auto property = std::make_unique<TmxProperty>();
            property->name = textOf(member->name);
            const Value* type = types != nullptr ? find(*types, property->name.c_str()) : nullptr;
            property->type = type != nullptr && type->IsString() ? textOf(*type) : "";
            readValue(member->value, *property, where, property->type.empty());
            properties.push_back(std::move(property));
        }
    } else {
        forEach(owner, "properties", "property", where, [&](const Value& entry, const Where& at) {
            auto property = std::make_unique<TmxProperty>();
            property->name = requiredString(entry, "name", at);
            property->type = string(entry, "type", at);
            property->propertyType = string(entry, "propertytype", at);
            if (const Value* value = find(entry, "value")) {
                readValue(*value, *property, at, false);
            }
            properties.push_back(std::move(property));
        });
    }
    // TMX files leave out the type of text properties.
    for (auto& property : properties) {
        if (property->type == "string") {
            property->type.clear();
        }
    }
}

/// The value as the text a TMX file would hold, or a class's members. inferType: the property's type is
/// not stated (a class's members) and follows the value.
void TmjReader::readValue(const Value& value, TmxProperty& property, const Where& where, bool inferType) {
    if (value.IsObject()) {
        property.type = inferType ? "class" : property.type;
        for (auto member = value.MemberBegin(); member != value.MemberEnd(); ++member) {
            auto inner = std::make_unique<TmxProperty>();
            inner->name = textOf(member->name);
            readValue(member->value, *inner, where, true);
            property.members.push_back(std::move(inner));
        }
    } else if (value.IsString()) {
        property.value = textOf(value);
    } else if (value.IsBool()) {
        property.type = inferType ? "bool" : property.type;
        property.value = value.GetBool() ? "true" : "false";
    } else if (value.IsInt64() || value.IsUint64()) {
        property.type = inferType ? "int" : property.type;
        property.value =
            value.IsInt64() ? std::to_string(value.GetInt64()) : std::to_string(value.GetUint64());
    } else if (value.IsNumber()) {
        property.type = inferType ? "float" : property.type;
        property.value = numberText(value.GetDouble());
    } else {
        where.fail("has a value that is neither text, a number, a flag nor an object of members!");
    }
}

void TmjReader::readTileset(const MapLoader::File& file, const std::string& base, TmxTileset& tileset) {
    const Value& root = *file.json;
    checkKind(root, "tileset", file.path);
    if (const Value* source = find(root, "source")) {
        MapLoader::refersOn(file.path, false, source->IsString() ? textOf(*source) : "");
    }
    readTilesetBody(root, {"tileset", file.path}, base, tileset);
}

void TmjReader::readTilesetBody(const Value& value, const Where& where, const std::string& base,
                                TmxTileset& tileset) {
    tileset.name = requiredString(value, "name", where);
    tileset.tileWidth = integer(value, "tilewidth", where);
    tileset.tileHeight = integer(value, "tileheight", where);
    tileset.margin = integer(value, "margin", where, 0);
    tileset.spacing = integer(value, "spacing", where, 0);
    tileset.columns = integer(value, "columns", where, 0);
    tileset.tileCount = integer(value, "tilecount", where, 0);
    if (const Value* offset = record(value, "tileoffset", where)) {
        tileset.offsetX = integer(*offset, "x", where, 0);
        tileset.offsetY = integer(*offset, "y", where, 0);
    }
    readProperties(value, tileset.properties, where);
    bool tileImages = false;
    forEach(value, "tiles", "tile", where, [&](const Value& entry, const Where& at) {
        TmxTile tile;
        tile.id = integer(entry, "id", at);
        tile.type = find(entry, "type") != nullptr ? string(entry, "type", at) : string(entry, "class", at);
        if (find(entry, "image") != nullptr) {
            tile.imageSource = TmxMap::joinPath(base, requiredString(entry, "image", at));
            tile.imageWidth = integer(entry, "imagewidth", at, 0);
            tile.imageHeight = integer(entry, "imageheight", at, 0);
            tileImages = true;
        }
        forEach(entry, "animation", "frame", at, [&](const Value& frame, const Where& frameAt) {
            tile.animation.push_back(
                {integer(frame, "tileid", frameAt), integer(frame, "duration", frameAt)});
        });
        readProperties(entry, tile.properties, at);
        tileset.tiles.push_back(std::move(tile));
    });
    // An image collection names one image per tile instead of one for the tileset.
    if (!tileImages || find(value, "image") != nullptr) {
        tileset.imageSource = TmxMap::joinPath(base, requiredString(value, "image", where));
        // TMX files write the colour without its '#'.
        tileset.transparentColor = string(value, "transparentcolor", where);
        if (!tileset.transparentColor.empty() && tileset.transparentColor[0] == '#') {
            tileset.transparentColor.erase(0, 1);
        }
    }
}

/// Tile layers and object groups in the "layers" of owner, groups descended into, in document order.
void TmjReader::readLayers(const Value& owner, const Where& where, const MapLoader::Inherited& inherited,
                           TmxMap& map) {
    // Layers are named alone, not through their groups, as TMX maps name them.
    forEach(owner, "layers", "layer", Where{"map", where.file}, [&](const Value& value, const Where& at) {
        const std::string kind = requiredString(value, "type", at);
        const MapLoader::Inherited combined = inherited.within(
            decimal(value, "offsetx", at), decimal(value, "offsety", at), decimal(value, "opacity", at, 1.f),
            flag(value, "visible", at, true), string(value, "tintcolor", at));
        if (kind == "tilelayer") {
            map.layers.push_back(readLayer(value, at, combined, map.infinite));
        } else if (kind == "objectgroup") {
            map.objectGroups.push_back(readObjectGroup(value, at, map));
            map.objectGroups.back()->offsetX = combined.offsetX;
            map.objectGroups.back()->offsetY = combined.offsetY;
        } else if (kind == "group" || kind == "imagelayer") {
            combined.addPlainLayer(map, kind == "group", string(value, "name", at),
                                   kind == "imagelayer" ? string(value, "image", at) : "");
            if (kind == "group") {
                readLayers(value, at, combined, map);
            }
        }
    });
}

std::unique_ptr<TmxLayer> TmjReader::readLayer(const Value& value, const Where& where,
                                               const MapLoader::Inherited& combined, bool infinite) {
    auto layer = std::make_unique<TmxLayer>();
    layer->name = string(value, "name", where);
    layer->width = integer(value, "width", where);
    layer->height = integer(value, "height", where);
    combined.applyTo(*layer);
    readProperties(value, layer->properties, where);
    if (infinite || find(value, "chunks") != nullptr) {
        // Every chunk's size is checked before any is decoded.
        std::vector<MapLoader::Chunk> placed;
        std::vector<const Value*> data;
        forEach(value, "chunks", "chunk", where, [&](const Value& chunk, const Where& at) {
            MapLoader::addChunk(placed,
                                {integer(chunk, "x", at),
                                 integer(chunk, "y", at),
                                 integer(chunk, "width", at),
                                 integer(chunk, "height", at),
                                 {}},
                                where.text(), where.file);
            data.push_back(&require(chunk, "data", at));
        });
        for (std::size_t i = 0; i < placed.size(); ++i) {
            placed[i].ids =
                readIds(value, *data[i], static_cast<std::size_t>(placed[i].width * placed[i].height), where);
        }
        MapLoader::placeChunks(placed, *layer);
    } else {
        MapLoader::checkLayerSize(layer->width, layer->height, where.text(), where.file);
        layer->data =
            readIds(value, require(value, "data", where),
                    static_cast<std::size_t>(layer->width) * static_cast<std::size_t>(layer->height), where);
    }
    loader.countCells(*layer, where.text());
    return layer;
}

/// The count ids of data: an array of numbers, or base64 text in the layer's compression.
std::vector<int32_t> TmjReader::readIds(const Value& layer, const Value& data, std::size_t count,
                                        const Where& where) {
    const std::string encoding = string(layer, "encoding", where);
    if (!encoding.empty() && encoding != "csv" && encoding != "base64") {
        where.fail("stores its tiles with the unknown encoding '" + encoding + "'!");
    }
    std::vector<int32_t> ids;
    if (data.IsArray()) {
        if (data.Size() != count) {
            where.fail("holds " + std::to_string(data.Size()) + " tile ids instead of " +
                       std::to_string(count) + "!");
        }
        ids.reserve(count);
        for (rapidjson::SizeType i = 0; i < data.Size(); ++i) {
            ids.push_back(tileId(data[i], where, "the tile id number " + std::to_string(i + 1)));
        }
        return ids;
    }
    if (!data.IsString()) {
        where.fail("has a member 'data' that is neither a list nor text!");
    }
    if (encoding != "base64") {
        where.fail("stores its tiles as text without the encoding 'base64'!");
    }
    try {
        return TileDataDecoder::decodeBase64(data.GetString(), data.GetStringLength(),
                                             string(layer, "compression", where), count);
    } catch (const std::runtime_error& error) {
        where.fail(error.what());
    }
}

std::unique_ptr<TmxObjectGroup> TmjReader::readObjectGroup(const Value& value, const Where& where,
                                                           const TmxMap& map) {
    auto group = std::make_unique<TmxObjectGroup>();
    group->name = string(value, "name", where);
    group->visible = flag(value, "visible", where, true);
    readProperties(value, group->properties, where);
    forEach(value, "objects", "object", where, [&](const Value& entry, const Where& at) {
        auto object = std::make_unique<TmxObject>();
        if (find(entry, "template") != nullptr) {
            object->templatePath = requiredString(entry, "template", at);
            loader.mergeTemplate(at.text(), map, *object);
        } else {
            require(entry, "x", at);
            require(entry, "y", at);
        }
        readObjectBody(entry, at, *object);
        group->objects.push_back(std::move(object));
    });
    return group;
}

/// Reads what value states over object: members, shape and properties (which go before those already
/// there, so that an instance's properties win over its template's).
void TmjReader::readObjectBody(const Value& value, const Where& where, TmxObject& object) {
    object.name = string(value, "name", where, object.name);
    object.type = find(value, "type") != nullptr ? string(value, "type", where)
                                                 : string(value, "class", where, object.type);
    object.id = integer(value, "id", where, object.id);
    if (const Value* gid = find(value, "gid")) {
        object.gid = tileId(*gid, where, "a member 'gid'");
    }
    object.x = decimal(value, "x", where, object.x);
    object.y = decimal(value, "y", where, object.y);
    object.width = decimal(value, "width", where, object.width);
    object.height = decimal(value, "height", where, object.height);
    object.rotation = decimal(value, "rotation", where, object.rotation);
    object.visible = flag(value, "visible", where, object.visible);
    if (flag(value, "ellipse", where, false)) {
        object.shape = TmxObject::Shape::Ellipse;
    } else if (flag(value, "point", where, false)) {
        object.shape = TmxObject::Shape::Point;
    } else if (const Value* text = record(value, "text", where)) {
        object.shape = TmxObject::Shape::Text;
        object.text = string(*text, "text", where);
    } else {
        const bool polygon = find(value, "polygon") != nullptr;
        if (const Value* points = list(value, polygon ? "polygon" : "polyline", where)) {
            object.shape = polygon ? TmxObject::Shape::Polygon : TmxObject::Shape::Polyline;
            object.points.clear();
            for (rapidjson::SizeType i = 0; i < points->Size(); ++i) {
                const Value& point = (*points)[i];
                if (!point.IsObject()) {
                    where.fail("has a point that is not an object!");
                }
                object.points.emplace_back(decimal(point, "x", where), decimal(point, "y", where));
            }
        }
    }
    TmxProperties own;
    readProperties(value, own, where);
    MapLoader::prependProperties(std::move(own), object);
}

MapLoader::TemplateTileset TmjReader::readTemplate(const MapLoader::File& file, TmxObject& target) {
    const Value& root = *file.json;
    checkKind(root, "template", file.path);
    const Where where{"template", file.path};
    const Value* object = record(root, "object", where);
    if (object == nullptr) {
        where.fail("has no member 'object'!");
    }
    const Value& source = *object;
    if (const Value* nested = find(source, "template")) {
        MapLoader::refersOn(file.path, true, nested->IsString() ? textOf(*nested) : "");
    }
    readObjectBody(source, {"object of the template", file.path}, target);
    MapLoader::TemplateTileset tileset;
    if (const Value* reference = record(root, "tileset", where)) {
        tileset.firstGid = integer(*reference, "firstgid", where, 1);
        tileset.source = string(*reference, "source", where);
    }
    return tileset;
}

}  // namespace orn
