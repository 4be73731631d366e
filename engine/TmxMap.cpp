#include "engine/TmxMap.hpp"

#include <SFML/System/Err.hpp>
#include <SFML/System/FileInputStream.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <ostream>
#include <rapidxml/rapidxml.hpp>
#include <stdexcept>

#include "engine/AssetLoadException.hpp"
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
    const std::string value = text(attribute);
    const double parsed = std::strtod(value.c_str(), nullptr);
    return std::isfinite(parsed) && std::fabs(parsed) <= std::numeric_limits<float>::max()
               ? static_cast<float>(parsed)
               : 0.f;
}

/// "<layer 'ground'>": the element's name and, when it has one, its "name" attribute.
std::string describe(const Node& node) {
    std::string description = "<" + std::string(node.name(), node.name_size());
    if (const Attribute* name = node.first_attribute("name")) {
        description += " '" + text(*name) + "'";
    }
    return description + ">";
}

[[noreturn]] void fail(const std::string& path, const std::string& message) {
    throw AssetLoadException(message, path);
}

const Attribute& requireAttribute(const Node& node, const char* name, const std::string& path) {
    const Attribute* attribute = node.first_attribute(name);
    if (!attribute) {
        fail(path, "The element " + describe(node) + " in '" + path + "' has no attribute '" + name + "'!");
    }
    return *attribute;
}

const Node& requireChild(const Node& node, const char* name, const std::string& path) {
    const Node* child = node.first_node(name);
    if (!child) {
        fail(path, "The element " + describe(node) + " in '" + path + "' has no element '" + name + "'!");
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

/// "#RRGGBB" or "#AARRGGBB" (the '#' optional) as 0xAARRGGBB; white for anything else.
uint32_t parseColor(const std::string& value) {
    const std::string digits = !value.empty() && value[0] == '#' ? value.substr(1) : value;
    if ((digits.size() != 6 && digits.size() != 8) ||
        digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return 0xFFFFFFFF;
    }
    const auto parsed = static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
    return digits.size() == 6 ? 0xFF000000 | parsed : parsed;
}

/// Component-wise product of two 0xAARRGGBB colours, as Tiled combines a group's tint with its layers'.
uint32_t multiplyColors(uint32_t a, uint32_t b) {
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t product = ((a >> shift) & 0xFF) * ((b >> shift) & 0xFF);
        result |= ((product + 127) / 255) << shift;
    }
    return result;
}

/// The whole file followed by a 0 byte, or false when it cannot be opened or read.
bool readFile(const std::string& path, std::vector<char>& buffer) {
    // A directory opens as a stream whose size reads as the largest file offset.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return false;
    }
    sf::FileInputStream stream;
    if (!stream.open(path)) {
        return false;
    }
    const sf::Int64 size = stream.getSize();
    if (size < 0) {
        return false;
    }
    buffer.resize(static_cast<std::size_t>(size) + 1);
    const sf::Int64 read = size > 0 ? stream.read(buffer.data(), size) : 0;
    if (read < 0) {
        return false;
    }
    buffer[static_cast<std::size_t>(read)] = '\0';
    return true;
}

/// Deeper nesting than any map needs; the parser recurses once per level, so deeper files are refused
/// before it runs out of stack.
constexpr std::size_t maxElementDepth = 256;

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
        !readFile(path, original)) {
        return 0;
    }
    const auto offset = std::min(static_cast<std::size_t>(where - buffer.data()), original.size());
    return 1 + static_cast<std::size_t>(std::count(original.begin(), original.begin() + offset, '\n'));
}

/// A parsed XML file: the buffer the document points into and the document itself.
struct XmlFile {
    std::vector<char> buffer;
    std::unique_ptr<rapidxml::xml_document<>> document;
};

/// Reads a whole XML file and parses it in place; null when it cannot be opened. Raises TmxParseException
/// for malformed XML and AssetLoadException for nesting too deep for the parser's recursion.
std::unique_ptr<XmlFile> parseXml(const std::string& path) {
    auto file = std::make_unique<XmlFile>();
    if (!readFile(path, file->buffer)) {
        return nullptr;
    }
    if (elementDepth(file->buffer.data()) > maxElementDepth) {
        fail(path, "The file '" + path + "' nests elements deeper than " + std::to_string(maxElementDepth) +
                       " levels!");
    }
    // The document holds a sizeable memory pool, too big for the stack.
    file->document = std::make_unique<rapidxml::xml_document<>>();
    try {
        file->document->parse<0>(file->buffer.data());
    } catch (const rapidxml::parse_error& error) {
        throw TmxParseException(error.what(), path, lineOf(path, file->buffer, error.where<char>()));
    }
    return file;
}

/// The group attributes that layers inherit: offsets add up, opacities and tints multiply, and a hidden
/// group hides everything in it.
struct Inherited {
    float offsetX = 0.f;
    float offsetY = 0.f;
    float opacity = 1.f;
    bool visible = true;
    uint32_t tint = 0xFFFFFFFF;

    Inherited within(const Node& node) const {
        Inherited inner = *this;
        inner.offsetX += optionalDecimal(node, "offsetx");
        inner.offsetY += optionalDecimal(node, "offsety");
        inner.opacity *= std::clamp(optionalDecimal(node, "opacity", 1.f), 0.f, 1.f);
        inner.visible = inner.visible && optionalNumber(node, "visible", 1) != 0;
        inner.tint = multiplyColors(inner.tint, parseColor(optionalText(node, "tintcolor")));
        return inner;
    }
};

/// One load of a map: the map's path, and the tileset and template files read so far (each is read once,
/// however many elements name it).
class MapReader {
public:
    explicit MapReader(std::string path) : path(std::move(path)), folder(TmxMap::folderOf(this->path)) {}

    std::shared_ptr<TmxMap> read(const Node& root) {
        // Tiles are placed on a square grid; other layouts would not show as the editor draws them.
        const std::string orientation = optionalText(root, "orientation");
        if (!orientation.empty() && orientation != "orthogonal") {
            fail(path, "The map '" + path + "' has the orientation '" + orientation +
                           "'; only orthogonal maps are supported!");
        }
        auto map = std::make_shared<TmxMap>();
        map->width = number(requireAttribute(root, "width", path));
        map->height = number(requireAttribute(root, "height", path));
        map->tileWidth = number(requireAttribute(root, "tilewidth", path));
        map->tileHeight = number(requireAttribute(root, "tileheight", path));
        map->infinite = optionalNumber(root, "infinite") != 0;
        if (const Attribute* order = root.first_attribute("renderorder")) {
            map->renderOrder = text(*order);
        }
        readProperties(root, map->properties, path);
        for (const Node* node = root.first_node("tileset"); node; node = node->next_sibling("tileset")) {
            map->tilesets.push_back(readTileset(*node));
        }
        readLayers(root, Inherited(), *map);
        return map;
    }

private:
    /// The parsed file at fullPath (relative to the working directory), read on first use; raises
    /// AssetLoadException naming the map and the element that refers to it when it cannot be opened.
    const Node& external(const std::string& fullPath, const Node& reference, const char* rootName) {
        auto found = files.find(fullPath);
        if (found == files.end()) {
            std::unique_ptr<XmlFile> file = parseXml(fullPath);
            if (!file) {
                fail(path, "The element " + describe(reference) + " in '" + path + "' refers to the file '" +
                               fullPath + "', which cannot be opened!");
            }
            found = files.emplace(fullPath, std::move(file)).first;
        }
        const Node* root = found->second->document->first_node(rootName);
        if (!root) {
            fail(fullPath, "The file '" + fullPath + "' has no element '" + rootName + "'!");
        }
        return *root;
    }

    static void readProperties(const Node& node, TmxProperties& properties, const std::string& file) {
        if (const Node* list = node.first_node("properties")) {
            for (const Node* property = list->first_node("property"); property;
                 property = property->next_sibling("property")) {
                properties.push_back(readProperty(*property, file));
            }
        }
    }

    static std::unique_ptr<TmxProperty> readProperty(const Node& node, const std::string& file) {
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

    std::unique_ptr<TmxTileset> readTileset(const Node& node) {
        auto tileset = std::make_unique<TmxTileset>();
        tileset->firstGid = number(requireAttribute(node, "firstgid", path));
        if (const Attribute* source = node.first_attribute("source")) {
            tileset->source = text(*source);
            const std::string fullPath = TmxMap::joinPath(folder, tileset->source);
            const Node& root = external(fullPath, node, "tileset");
            if (root.first_attribute("source")) {
                fail(fullPath, "The tileset file '" + fullPath + "' refers on to the file '" +
                                   optionalText(root, "source") + "'; a tileset file must hold the tileset!");
            }
            readTilesetBody(root, fullPath, TmxMap::folderOf(tileset->source), *tileset);
        } else {
            readTilesetBody(node, path, "", *tileset);
        }
        return tileset;
    }

    /// file: the file that holds node, named in errors; base: that file's folder relative to the map's.
    static void readTilesetBody(const Node& node, const std::string& file, const std::string& base,
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
    void readLayers(const Node& node, const Inherited& inherited, TmxMap& map) {
        for (const Node* child = node.first_node(); child; child = child->next_sibling()) {
            if (child->type() != rapidxml::node_element) {
                continue;
            }
            const std::string kind(child->name(), child->name_size());
            const Inherited combined = inherited.within(*child);
            if (kind == "layer") {
                map.layers.push_back(readLayer(*child, combined, map.infinite));
            } else if (kind == "objectgroup") {
                map.objectGroups.push_back(readObjectGroup(*child, map));
                map.objectGroups.back()->offsetX = combined.offsetX;
                map.objectGroups.back()->offsetY = combined.offsetY;
            } else if (kind == "group" || kind == "imagelayer") {
                auto plain = std::make_unique<TmxPlainLayer>();
                plain->kind = kind == "group" ? TmxPlainLayer::Kind::Group : TmxPlainLayer::Kind::Image;
                plain->name = optionalText(*child, "name");
                if (const Node* image = child->first_node("image")) {
                    plain->imageSource = TmxMap::joinPath("", optionalText(*image, "source"));
                }
                plain->offsetX = combined.offsetX;
                plain->offsetY = combined.offsetY;
                plain->opacity = combined.opacity;
                plain->visible = combined.visible;
                map.plainLayers.push_back(std::move(plain));
                if (kind == "group") {
                    readLayers(*child, combined, map);
                }
            }
        }
    }

    std::unique_ptr<TmxLayer> readLayer(const Node& node, const Inherited& combined, bool infinite) {
        auto layer = std::make_unique<TmxLayer>();
        layer->name = optionalText(node, "name");
        layer->width = number(requireAttribute(node, "width", path));
        layer->height = number(requireAttribute(node, "height", path));
        layer->offsetX = combined.offsetX;
        layer->offsetY = combined.offsetY;
        layer->opacity = combined.opacity;
        layer->visible = combined.visible;
        layer->tint = combined.tint;
        readProperties(node, layer->properties, path);
        const Node& data = requireChild(node, "data", path);
        const std::string where = "The layer '" + layer->name + "' in '" + path + "'";
        if (infinite || data.first_node("chunk")) {
            readChunks(data, where, *layer);
        } else {
            checkSize(layer->width, layer->height, where);
            layer->data = decode(data, *layer, where);
        }
        return layer;
    }

    /// Refuses negative sizes and more cells than a layer may hold.
    void checkSize(int64_t width, int64_t height, const std::string& where) const {
        if (width < 0 || height < 0) {
            fail(path, where + " has the invalid size " + std::to_string(width) + " x " +
                           std::to_string(height) + "!");
        }
        if (width * height > TmxMap::maxLayerCells) {
            fail(path, where + " spans " + std::to_string(width) + " x " + std::to_string(height) +
                           " cells, more than the " + std::to_string(TmxMap::maxLayerCells) +
                           " a layer may hold!");
        }
    }

    /// The ids of a data or chunk element of width x height cells, in the layer's encoding.
    std::vector<int32_t> decode(const Node& data, const TmxLayer& layer, const std::string& where) const {
        const Node& owner =
            data.parent() != nullptr && std::strcmp(data.name(), "chunk") == 0 ? *data.parent() : data;
        const std::string encoding = optionalText(owner, "encoding");
        const std::string compression = optionalText(owner, "compression");
        const auto width =
            data.first_attribute("width") ? number(*data.first_attribute("width")) : layer.width;
        const auto height =
            data.first_attribute("height") ? number(*data.first_attribute("height")) : layer.height;
        const auto count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        try {
            if (encoding == "csv") {
                return TileDataDecoder::decodeCsv(data.value(), data.value_size(), count);
            }
            if (encoding == "base64") {
                return TileDataDecoder::decodeBase64(data.value(), data.value_size(), compression, count);
            }
        } catch (const std::runtime_error& error) {
            fail(path, where + " " + error.what());
        }
        if (!encoding.empty()) {
            fail(path, where + " stores its tiles with the unknown encoding '" + encoding + "'!");
        }
        std::vector<int32_t> ids;
        std::size_t found = 0;
        for (const Node* tile = data.first_node("tile"); tile; tile = tile->next_sibling("tile"), ++found) {
            if (found < count) {
                ids.push_back(optionalNumber(*tile, "gid"));
            }
        }
        if (found != count) {
            fail(path, where + " holds " + std::to_string(found) + " tile ids instead of " +
                           std::to_string(count) + "!");
        }
        return ids;
    }

    /// An infinite map's layer: its chunks copied into one array over their bounding box.
    void readChunks(const Node& data, const std::string& where, TmxLayer& layer) const {
        int64_t left = 0;
        int64_t top = 0;
        int64_t right = 0;
        int64_t bottom = 0;
        bool any = false;
        std::vector<std::pair<const Node*, std::vector<int32_t>>> chunks;
        for (const Node* chunk = data.first_node("chunk"); chunk; chunk = chunk->next_sibling("chunk")) {
            const int64_t x = number(requireAttribute(*chunk, "x", path));
            const int64_t y = number(requireAttribute(*chunk, "y", path));
            const int64_t width = number(requireAttribute(*chunk, "width", path));
            const int64_t height = number(requireAttribute(*chunk, "height", path));
            checkSize(width, height, where);
            left = any ? std::min(left, x) : x;
            top = any ? std::min(top, y) : y;
            right = any ? std::max(right, x + width) : x + width;
            bottom = any ? std::max(bottom, y + height) : y + height;
            any = true;
            checkSize(right - left, bottom - top, where);
            chunks.emplace_back(chunk, decode(*chunk, layer, where));
        }
        layer.originX = static_cast<int32_t>(left);
        layer.originY = static_cast<int32_t>(top);
        layer.width = static_cast<int32_t>(right - left);
        layer.height = static_cast<int32_t>(bottom - top);
        layer.data.assign(static_cast<std::size_t>(layer.width) * static_cast<std::size_t>(layer.height), 0);
        for (const auto& [chunk, ids] : chunks) {
            const int64_t x = number(*chunk->first_attribute("x")) - left;
            const int64_t y = number(*chunk->first_attribute("y")) - top;
            const int64_t width = number(*chunk->first_attribute("width"));
            for (std::size_t i = 0; i < ids.size(); ++i) {
                const int64_t row = y + static_cast<int64_t>(i) / width;
                const int64_t column = x + static_cast<int64_t>(i) % width;
                layer.data[static_cast<std::size_t>(row * layer.width + column)] = ids[i];
            }
        }
    }

    std::unique_ptr<TmxObjectGroup> readObjectGroup(const Node& node, const TmxMap& map) {
        auto group = std::make_unique<TmxObjectGroup>();
        group->name = optionalText(node, "name");
        group->visible = optionalNumber(node, "visible", 1) != 0;
        readProperties(node, group->properties, path);
        for (const Node* object = node.first_node("object"); object;
             object = object->next_sibling("object")) {
            group->objects.push_back(readObject(*object, map));
        }
        return group;
    }

    /// Reads what node states over object: attributes, shape and properties (which go before those
    /// already there, so that an instance's properties win over its template's).
    static void readObjectBody(const Node& node, const std::string& file, TmxObject& object) {
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
        for (auto& inherited : object.properties) {
            own.push_back(std::move(inherited));
        }
        object.properties = std::move(own);
    }

    /// "x1,y1 x2,y2 ...": pairs separated by white space, each number by a comma.
    static std::vector<std::pair<float, float>> readPoints(const Attribute& attribute) {
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
            const auto finite = [](double v) {
                return std::isfinite(v) && std::fabs(v) <= std::numeric_limits<float>::max()
                           ? static_cast<float>(v)
                           : 0.f;
            };
            points.emplace_back(finite(x), finite(y));
        }
        return points;
    }

    std::unique_ptr<TmxObject> readObject(const Node& node, const TmxMap& map) {
        auto object = std::make_unique<TmxObject>();
        if (const Attribute* templateFile = node.first_attribute("template")) {
            object->templatePath = text(*templateFile);
            mergeTemplate(node, map, *object);
        } else {
            requireAttribute(node, "x", path);
            requireAttribute(node, "y", path);
        }
        readObjectBody(node, path, *object);
        return object;
    }

    /// Fills object from the template that node names; its tile id is moved into the map's ids through the
    /// tileset that both name.
    void mergeTemplate(const Node& node, const TmxMap& map, TmxObject& object) {
        const std::string fullPath = TmxMap::joinPath(folder, object.templatePath);
        const Node& root = external(fullPath, node, "template");
        const Node& source = requireChild(root, "object", fullPath);
        if (source.first_attribute("template")) {
            fail(fullPath, "The template '" + fullPath + "' refers on to the template '" +
                               optionalText(source, "template") + "'; a template must hold its object!");
        }
        readObjectBody(source, fullPath, object);
        if (object.gid == 0) {
            return;
        }
        const Node* tileset = root.first_node("tileset");
        const uint32_t flags = static_cast<uint32_t>(object.gid) & 0xF0000000u;
        const int64_t id = static_cast<uint32_t>(object.gid) & 0x0FFFFFFFu;
        object.gid = 0;
        if (tileset == nullptr) {
            return;
        }
        const std::string tilesetFile =
            TmxMap::joinPath(TmxMap::folderOf(object.templatePath), optionalText(*tileset, "source"));
        for (const auto& candidate : map.tilesets) {
            if (!candidate->source.empty() && TmxMap::joinPath("", candidate->source) == tilesetFile) {
                const int64_t gid = id - optionalNumber(*tileset, "firstgid", 1) + candidate->firstGid;
                if (gid > 0 && gid <= 0x0FFFFFFF) {
                    object.gid = static_cast<int32_t>(static_cast<uint32_t>(gid) | flags);
                }
                return;
            }
        }
    }

    std::string path;
    std::string folder;
    std::map<std::string, std::unique_ptr<XmlFile>> files;
};

}  // namespace

std::string TmxMap::joinPath(const std::string& folder, const std::string& relative) {
    const std::filesystem::path written(relative);
    if (written.is_absolute() || folder.empty()) {
        return written.lexically_normal().generic_string();
    }
    return (std::filesystem::path(folder) / written).lexically_normal().generic_string();
}

std::string TmxMap::folderOf(const std::string& path) {
    return std::filesystem::path(path).parent_path().generic_string();
}

std::shared_ptr<TmxMap> TmxMap::loadMap(const std::string& path) {
    std::unique_ptr<XmlFile> file = parseXml(path);
    if (!file) {
        sf::err() << "loadMap: could not open file " << path << std::endl;
        return nullptr;
    }
    const Node* root = file->document->first_node("map");
    if (!root) {
        fail(path, "The file '" + path + "' has no element 'map'!");
    }
    return MapReader(path).read(*root);
}

}  // namespace orn
