#include "engine/TmxReader.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>

#include "engine/TileDataDecoder.hpp"
#include "engine/TmxParseException.hpp"

namespace orn {

namespace {

using Node = rapidxml::xml_node<>;
using Attribute = rapidxml::xml_attribute<>;

std::string text(const Attribute& attribute) {
    return std::string(attribute.value(), attribute.value_size());
}

int32_t number(const Attribute& attribute) {
    return TileDataDecoder::toInt(attribute.value(), attribute.value() + attribute.value_size());
}

/// strtod of the text; 0 for text that is not a finite number, so no infinity or NaN reaches the model.
float decimal(const Attribute& attribute) {
    return MapLoader::toFloat(std::strtod(text(attribute).c_str(), nullptr));
}

/// "<layer 'ground'>": the element's name and, when it has one, its "name" attribute.
std::string describe(const Node& node) {
    std::string description = "<" + std::string(node.name(), node.name_size());
    if (const Attribute* name = node.first_attribute("name")) {
        description += " '" + text(*name) + "'";
    }
    return description + ">";
}

/// "The element <layer 'ground'> in 'map.tmx'".
std::string element(const Node& node, const std::string& file) {
    return "The element " + describe(node) + " in '" + file + "'";
}

const Attribute& requireAttribute(const Node& node, const char* name, const std::string& file) {
    const Attribute* attribute = node.first_attribute(name);
    if (!attribute) {
        MapLoader::fail(file, element(node, file) + " has no attribute '" + name + "'!");
    }
    return *attribute;
}

const Node& requireChild(const Node& node, const char* name, const std::string& file) {
    const Node* child = node.first_node(name);
    if (!child) {
        MapLoader::fail(file, element(node, file) + " has no element '" + name + "'!");
    }
    return *child;
}

std::string optionalText(const Node& node, const char* name) {
    const Attribute* attribute = node.first_attribute(name);
    return attribute ? text(*attribute) : std::string();
}

int32_t optionalNumber(const Node& node, const char* name, int32_t fallback = 0) {
    const Attribute* attribute = node.first_attribute(name);
    return attribute ? number(*attribute) : fallback;
}

float optionalDecimal(const Node& node, const char* name, float fallback = 0.f) {
    const Attribute* attribute = node.first_attribute(name);
    return attribute ? decimal(*attribute) : fallback;
}

bool hasChildElements(const Node& node) {
    for (const Node* child = node.first_node(); child; child = child->next_sibling()) {
        if (child->type() == rapidxml::node_element) {
            return true;
        }
    }
    return false;
}

MapLoader::Inherited within(const MapLoader::Inherited& outer, const Node& node) {
    return outer.within(optionalDecimal(node, "offsetx"), optionalDecimal(node, "offsety"),
                        optionalDecimal(node, "opacity", 1.f), optionalNumber(node, "visible", 1) != 0,
                        optionalText(node, "tintcolor"));
}

/// The deepest nesting of elements in the 0-terminated XML text, counted as the parser meets them: comments,
/// CDATA sections, declarations and quoted attribute values are skipped, and each end tag closes one element.
std::size_t elementDepth(const char* text) {
    std::size_t depth = 0;
    std::size_t deepest = 0;
    const auto skipPast = [&text](const char* end) {
        const char* const found = std::strstr(text, end);
        text = found != nullptr ? found + std::strlen(end) : text + std::strlen(text);
    };
    while ((text = std::strchr(text, '<')) != nullptr) {
        if (std::strncmp(text, "<!--", 4) == 0) {
            skipPast("-->");
        } else if (std::strncmp(text, "<![CDATA[", 9) == 0) {
            skipPast("]]>");
        } else if (text[1] == '?') {
            skipPast("?>");
        } else if (text[1] == '!') {
            skipPast(">");
        } else if (text[1] == '/') {
            depth -= depth > 0 ? 1 : 0;
            skipPast(">");
        } else {
            // A start tag, up to its '>' outside quoted values; "/>" closes it at once.
            char quote = 0;
            char last = 0;
            for (++text; *text != '\0' && (quote != 0 || *text != '>'); ++text) {
                if (quote != 0) {
                    quote = *text == quote ? 0 : quote;
                } else if (*text == '"' || *text == '\'') {
                    quote = *text;
                }
                last = *text;
            }
            if (last != '/') {
                deepest = std::max(deepest, ++depth);
            }
        }
    }
    return deepest;
}

/// The line (from 1) of the file at path that holds the parser's position where in buffer. The parser
/// rewrites text behind its position, so the lines are counted in the file as it is on disk.
std::size_t lineOf(const std::string& path, const std::vector<char>& buffer, const char* where) {
    std::vector<char> original;
    const std::less<const char*> before;
    if (before(where, buffer.data()) || !before(where, buffer.data() + buffer.size()) ||
        !MapLoader::readFile(path, original)) {
        return 0;
    }
    const auto offset = std::min(static_cast<std::size_t>(where - buffer.data()), original.size());
    return 1 + static_cast<std::size_t>(std::count(original.begin(), original.begin() + offset, '\n'));
}

/// "x1,y1 x2,y2 ...": pairs separated by white space, each number by a comma.
std::vector<std::pair<float, float>> readPoints(const Attribute& attribute) {
    std::vector<std::pair<float, float>> points;
    const std::string value = text(attribute);
    const char* cursor = value.c_str();
    while (*cursor != '\0') {
        char* end = nullptr;
        const double x = std::strtod(cursor, &end);
        if (end == cursor || *end != ',') {
            break;
        }
        cursor = end + 1;
        const double y = std::strtod(cursor, &end);
        if (end == cursor) {
            break;
        }
        cursor = end;
        points.emplace_back(MapLoader::toFloat(x), MapLoader::toFloat(y));
    }
    return points;
}

}  // namespace

void TmxReader::parse(MapLoader::File& file) {
    if (elementDepth(file.text.data()) > MapLoader::maxDepth) {
        MapLoader::fail(file.path, "The file '" + file.path + "' nests elements deeper than " +
                                       std::to_string(MapLoader::maxDepth) + " levels!");
    }
    // The document holds a sizeable memory pool, too big for the stack.
    file.xml = std::make_unique<rapidxml::xml_document<>>();
    try {
        file.xml->parse<0>(file.text.data());
    } catch (const rapidxml::parse_error& error) {
        throw TmxParseException(error.what(), file.path, lineOf(file.path, file.text, error.where<char>()));
    }
}

const TmxReader::Node& TmxReader::root(const MapLoader::File& file, const char* name) {
    const Node* node = file.xml->first_node(name);
    if (!node) {
        MapLoader::fail(file.path, "The file '" + file.path + "' has no element '" + name + "'!");
    }
    return *node;
}

std::shared_ptr<TmxMap> TmxReader::readMap(const MapLoader::File& file) {
    const Node& node = root(file, "map");
    const std::string& path = file.path;
    auto map = std::make_shared<TmxMap>();
    map->width = number(requireAttribute(node, "width", path));
    map->height = number(requireAttribute(node, "height", path));
    map->tileWidth = number(requireAttribute(node, "tilewidth", path));
    map->tileHeight = number(requireAttribute(node, "tileheight", path));
    MapLoader::checkTileSize(*map, path);
    MapLoader::readOrientation(*map, optionalText(node, "orientation"), optionalText(node, "staggeraxis"),
                               optionalText(node, "staggerindex"), optionalNumber(node, "hexsidelength"),
                               "attribute", path);
    map->infinite = optionalNumber(node, "infinite") != 0;
    if (const Attribute* order = node.first_attribute("renderorder")) {
        map->renderOrder = text(*order);
    }
    readProperties(node, map->properties, path);
    for (const Node* tileset = node.first_node("tileset"); tileset;
         tileset = tileset->next_sibling("tileset")) {
        map->tilesets.push_back(readTilesetReference(*tileset));
    }
    readLayers(node, MapLoader::Inherited(), *map);
    return map;
}

void TmxReader::readProperties(const Node& node, TmxProperties& properties, const std::string& file) {
    if (const Node* list = node.first_node("properties")) {
        for (const Node* property = list->first_node("property"); property;
             property = property->next_sibling("property")) {
            properties.push_back(readProperty(*property, file));
        }
    }
}

std::unique_ptr<TmxProperty> TmxReader::readProperty(const Node& node, const std::string& file) {
    auto property = std::make_unique<TmxProperty>();
    property->name = text(requireAttribute(node, "name", file));
    property->type = optionalText(node, "type");
    property->propertyType = optionalText(node, "propertytype");
    if (const Attribute* value = node.first_attribute("value")) {
        property->value = text(*value);
    } else if (property->type == "class") {
        readProperties(node, property->members, file);
    } else if (hasChildElements(node)) {
        requireAttribute(node, "value", file);
    } else {
        // The editor writes multi-line strings as the element's text.
        property->value = std::string(node.value(), node.value_size());
    }
    return property;
}

std::unique_ptr<TmxTileset> TmxReader::readTilesetReference(const Node& node) {
    const std::string& path = loader.mapPath();
    auto tileset = std::make_unique<TmxTileset>();
    tileset->firstGid = number(requireAttribute(node, "firstgid", path));
    if (const Attribute* source = node.first_attribute("source")) {
        tileset->source = text(*source);
        loader.readExternalTileset(element(node, path), *tileset);
    } else {
        readTilesetBody(node, path, "", *tileset);
    }
    return tileset;
}

void TmxReader::readTileset(const MapLoader::File& file, const std::string& base, TmxTileset& tileset) {
    const Node& node = root(file, "tileset");
    if (node.first_attribute("source")) {
        MapLoader::refersOn(file.path, false, optionalText(node, "source"));
    }
    readTilesetBody(node, file.path, base, tileset);
}

/// file: the file that holds node, named in errors; base: that file's folder relative to the map's.
void TmxReader::readTilesetBody(const Node& node, const std::string& file, const std::string& base,
                                TmxTileset& tileset) {
    tileset.name = text(requireAttribute(node, "name", file));
    tileset.tileWidth = number(requireAttribute(node, "tilewidth", file));
    tileset.tileHeight = number(requireAttribute(node, "tileheight", file));
    tileset.margin = optionalNumber(node, "margin");
    tileset.spacing = optionalNumber(node, "spacing");
    tileset.columns = optionalNumber(node, "columns");
    tileset.tileCount = optionalNumber(node, "tilecount");
    if (const Node* offset = node.first_node("tileoffset")) {
        tileset.offsetX = optionalNumber(*offset, "x");
        tileset.offsetY = optionalNumber(*offset, "y");
    }
    readProperties(node, tileset.properties, file);
    bool tileImages = false;
    for (const Node* child = node.first_node("tile"); child; child = child->next_sibling("tile")) {
        TmxTile tile;
        tile.id = number(requireAttribute(*child, "id", file));
        tile.type =
            child->first_attribute("type") ? optionalText(*child, "type") : optionalText(*child, "class");
        if (const Node* image = child->first_node("image")) {
            tile.imageSource = TmxMap::joinPath(base, text(requireAttribute(*image, "source", file)));
            tile.imageWidth = optionalNumber(*image, "width");
            tile.imageHeight = optionalNumber(*image, "height");
            tile.transparentColor = optionalText(*image, "trans");
            tileImages = true;
        }
        if (const Node* animation = child->first_node("animation")) {
            for (const Node* frame = animation->first_node("frame"); frame;
                 frame = frame->next_sibling("frame")) {
                tile.animation.push_back({number(requireAttribute(*frame, "tileid", file)),
                                          number(requireAttribute(*frame, "duration", file))});
            }
        }
        readProperties(*child, tile.properties, file);
        tileset.tiles.push_back(std::move(tile));
    }
    // An image collection names one image per tile instead of one for the tileset.
    if (!tileImages || node.first_node("image")) {
        const Node& image = requireChild(node, "image", file);
        tileset.imageSource = TmxMap::joinPath(base, text(requireAttribute(image, "source", file)));
        tileset.transparentColor = optionalText(image, "trans");
    }
}

/// Tile layers and object groups among the children of node, groups descended into, in document order.
void TmxReader::readLayers(const Node& node, const MapLoader::Inherited& inherited, TmxMap& map) {
    for (const Node* child = node.first_node(); child; child = child->next_sibling()) {
        if (child->type() != rapidxml::node_element) {
            continue;
        }
        const std::string kind(child->name(), child->name_size());
        const MapLoader::Inherited combined = within(inherited, *child);
        if (kind == "layer") {
            map.layers.push_back(readLayer(*child, combined, map.infinite));
        } else if (kind == "objectgroup") {
            map.objectGroups.push_back(readObjectGroup(*child, map));
            map.objectGroups.back()->offsetX = combined.offsetX;
            map.objectGroups.back()->offsetY = combined.offsetY;
        } else if (kind == "group" || kind == "imagelayer") {
            const Node* image = child->first_node("image");
            combined.addPlainLayer(map, kind == "group", optionalText(*child, "name"),
                                   image != nullptr ? optionalText(*image, "source") : "");
            if (kind == "group") {
                readLayers(*child, combined, map);
            }
        }
    }
}

std::unique_ptr<TmxLayer> TmxReader::readLayer(const Node& node, const MapLoader::Inherited& combined,
                                               bool infinite) {
    const std::string& path = loader.mapPath();
    auto layer = std::make_unique<TmxLayer>();
    layer->name = optionalText(node, "name");
    layer->width = number(requireAttribute(node, "width", path));
    layer->height = number(requireAttribute(node, "height", path));
    combined.applyTo(*layer);
    readProperties(node, layer->properties, path);
    const Node& data = requireChild(node, "data", path);
    const std::string where = "The layer '" + layer->name + "' in '" + path + "'";
    if (infinite || data.first_node("chunk")) {
        // Every chunk's size is checked before any is decoded.
        std::vector<MapLoader::Chunk> chunks;
        std::vector<const Node*> nodes;
        for (const Node* chunk = data.first_node("chunk"); chunk; chunk = chunk->next_sibling("chunk")) {
            MapLoader::addChunk(chunks,
                                {number(requireAttribute(*chunk, "x", path)),
                                 number(requireAttribute(*chunk, "y", path)),
                                 number(requireAttribute(*chunk, "width", path)),
                                 number(requireAttribute(*chunk, "height", path)),
                                 {}},
                                where, path);
            nodes.push_back(chunk);
        }
        for (std::size_t i = 0; i < chunks.size(); ++i) {
            chunks[i].ids =
                decode(*nodes[i], static_cast<std::size_t>(chunks[i].width * chunks[i].height), where);
        }
        MapLoader::placeChunks(chunks, *layer);
    } else {
        MapLoader::checkLayerSize(layer->width, layer->height, where, path);
        // The ids fill the layer's cells, whatever size the data element itself claims.
        layer->data = decode(
            data, static_cast<std::size_t>(layer->width) * static_cast<std::size_t>(layer->height), where);
    }
    loader.countCells(*layer, where);
    return layer;
}

/// The count ids of a data or chunk element, in the layer's encoding.
std::vector<int32_t> TmxReader::decode(const Node& data, std::size_t count, const std::string& where) const {
    const std::string& path = loader.mapPath();
    const Node& owner =
        data.parent() != nullptr && std::strcmp(data.name(), "chunk") == 0 ? *data.parent() : data;
    const std::string encoding = optionalText(owner, "encoding");
    const std::string compression = optionalText(owner, "compression");
    try {
        if (encoding == "csv") {
            return TileDataDecoder::decodeCsv(data.value(), data.value_size(), count);
        }
        if (encoding == "base64") {
            return TileDataDecoder::decodeBase64(data.value(), data.value_size(), compression, count);
        }
    } catch (const std::runtime_error& error) {
        MapLoader::fail(path, where + " " + error.what());
    }
    if (!encoding.empty()) {
        MapLoader::fail(path, where + " stores its tiles with the unknown encoding '" + encoding + "'!");
    }
    std::vector<int32_t> ids;
    std::size_t found = 0;
    for (const Node* tile = data.first_node("tile"); tile; tile = tile->next_sibling("tile"), ++found) {
        if (found < count) {
            ids.push_back(optionalNumber(*tile, "gid"));
        }
    }
    if (found != count) {
        MapLoader::fail(path, where + " holds " + std::to_string(found) + " tile ids instead of " +
                                  std::to_string(count) + "!");
    }
    return ids;
}

std::unique_ptr<TmxObjectGroup> TmxReader::readObjectGroup(const Node& node, const TmxMap& map) {
    auto group = std::make_unique<TmxObjectGroup>();
    group->name = optionalText(node, "name");
    group->visible = optionalNumber(node, "visible", 1) != 0;
    readProperties(node, group->properties, loader.mapPath());
    for (const Node* object = node.first_node("object"); object; object = object->next_sibling("object")) {
        group->objects.push_back(readObject(*object, map));
    }
    return group;
}

/// Reads what node states over object: attributes, shape and properties (which go before those already
/// there, so that an instance's properties win over its template's).
void TmxReader::readObjectBody(const Node& node, const std::string& file, TmxObject& object) {
    if (const Attribute* name = node.first_attribute("name")) {
        object.name = text(*name);
    }
    if (const Attribute* type =
            node.first_attribute("type") ? node.first_attribute("type") : node.first_attribute("class")) {
        object.type = text(*type);
    }
    object.id = optionalNumber(node, "id", object.id);
    object.gid = optionalNumber(node, "gid", object.gid);
    object.x = optionalDecimal(node, "x", object.x);
    object.y = optionalDecimal(node, "y", object.y);
    object.width = optionalDecimal(node, "width", object.width);
    object.height = optionalDecimal(node, "height", object.height);
    object.rotation = optionalDecimal(node, "rotation", object.rotation);
    object.visible = optionalNumber(node, "visible", object.visible ? 1 : 0) != 0;
    if (node.first_node("ellipse")) {
        object.shape = TmxObject::Shape::Ellipse;
    } else if (node.first_node("point")) {
        object.shape = TmxObject::Shape::Point;
    } else if (const Node* text = node.first_node("text")) {
        object.shape = TmxObject::Shape::Text;
        object.text.assign(text->value(), text->value_size());
    } else {
        const bool polygon = node.first_node("polygon") != nullptr;
        if (const Node* points = polygon ? node.first_node("polygon") : node.first_node("polyline")) {
            object.shape = polygon ? TmxObject::Shape::Polygon : TmxObject::Shape::Polyline;
            object.points = readPoints(requireAttribute(*points, "points", file));
        }
    }
    TmxProperties own;
    readProperties(node, own, file);
    MapLoader::prependProperties(std::move(own), object);
}

std::unique_ptr<TmxObject> TmxReader::readObject(const Node& node, const TmxMap& map) {
    const std::string& path = loader.mapPath();
    auto object = std::make_unique<TmxObject>();
    if (const Attribute* templateFile = node.first_attribute("template")) {
        object->templatePath = text(*templateFile);
        loader.mergeTemplate(element(node, path), map, *object);
    } else {
        requireAttribute(node, "x", path);
        requireAttribute(node, "y", path);
    }
    readObjectBody(node, path, *object);
    return object;
}

MapLoader::TemplateTileset TmxReader::readTemplate(const MapLoader::File& file, TmxObject& object) {
    const Node& node = root(file, "template");
    const Node& source = requireChild(node, "object", file.path);
    if (source.first_attribute("template")) {
        MapLoader::refersOn(file.path, true, optionalText(source, "template"));
    }
    readObjectBody(source, file.path, object);
    MapLoader::TemplateTileset tileset;
    if (const Node* reference = node.first_node("tileset")) {
        tileset.firstGid = optionalNumber(*reference, "firstgid", 1);
        tileset.source = optionalText(*reference, "source");
    }
    return tileset;
}

}  // namespace orn
