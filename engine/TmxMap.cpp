#include "engine/TmxMap.hpp"

#include <SFML/System/Err.hpp>
#include <SFML/System/FileInputStream.hpp>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <functional>
#include <ostream>
#include <rapidxml/rapidxml.hpp>

#include "engine/AssetLoadException.hpp"
#include "engine/TmxParseException.hpp"

namespace orn {

namespace {

using Node = rapidxml::xml_node<>;
using Attribute = rapidxml::xml_attribute<>;

/// atoi rules on [begin, end): leading white space, an optional sign and the longest run of digits; the rest
/// is ignored. Values beyond 32 bits keep their low 32 bits, so an id with the editor's flip bits set comes
/// out negative instead of overflowing.
int32_t toInt(const char* begin, const char* end) {
    while (begin != end && std::isspace(static_cast<unsigned char>(*begin))) {
        ++begin;
    }
    bool negative = false;
    if (begin != end && (*begin == '+' || *begin == '-')) {
        negative = *begin == '-';
        ++begin;
    }
    uint64_t value = 0;
    for (; begin != end && *begin >= '0' && *begin <= '9'; ++begin) {
        value = value * 10 + static_cast<uint64_t>(*begin - '0');
    }
    if (negative) {
        value = 0 - value;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

std::string text(const Attribute& attribute) {
    return std::string(attribute.value(), attribute.value_size());
}

int32_t number(const Attribute& attribute) {
    return toInt(attribute.value(), attribute.value() + attribute.value_size());
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

int32_t optionalNumber(const Node& node, const char* name) {
    const Attribute* attribute = node.first_attribute(name);
    return attribute ? number(*attribute) : 0;
}

bool hasChildElements(const Node& node) {
    for (const Node* child = node.first_node(); child; child = child->next_sibling()) {
        if (child->type() == rapidxml::node_element) {
            return true;
        }
    }
    return false;
}

bool isCsvDelimiter(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == '\n' || c == '\r';
}

std::unique_ptr<TmxTileset> readTileset(const Node& node, const std::string& path) {
    auto tileset = std::make_unique<TmxTileset>();
    tileset->firstGid = number(requireAttribute(node, "firstgid", path));
    if (const Attribute* source = node.first_attribute("source")) {
        fail(path, "The tileset with the first id '" + std::to_string(tileset->firstGid) + "' in '" + path +
                       "' is stored in the external file '" + text(*source) +
                       "'; only embedded tilesets are supported!");
    }
    tileset->name = text(requireAttribute(node, "name", path));
    tileset->tileWidth = number(requireAttribute(node, "tilewidth", path));
    tileset->tileHeight = number(requireAttribute(node, "tileheight", path));
    // Tiles are cut from the image edge to edge; a margin or spacing would shift every tile.
    const int32_t margin = optionalNumber(node, "margin");
    const int32_t spacing = optionalNumber(node, "spacing");
    if (margin != 0 || spacing != 0) {
        fail(path, "The tileset '" + tileset->name + "' in '" + path + "' has a margin of " +
                       std::to_string(margin) + " and a spacing of " + std::to_string(spacing) +
                       " pixels; only tiles packed edge to edge are supported!");
    }
    tileset->imageSource = text(requireAttribute(requireChild(node, "image", path), "source", path));
    return tileset;
}

std::unique_ptr<TmxLayer> readLayer(const Node& node, const std::string& path) {
    auto layer = std::make_unique<TmxLayer>();
    layer->name = optionalText(node, "name");
    layer->width = number(requireAttribute(node, "width", path));
    layer->height = number(requireAttribute(node, "height", path));
    const Node& data = requireChild(node, "data", path);
    const std::string where = "The layer '" + layer->name + "' in '" + path + "'";

    const std::string encoding = optionalText(data, "encoding");
    const std::string compression = optionalText(data, "compression");
    if (encoding != "csv" || !compression.empty()) {
        const std::string form = encoding.empty()      ? "as XML elements"
                                 : compression.empty() ? "with the encoding '" + encoding + "'"
                                                       : "with the encoding '" + encoding +
                                                             "' compressed by '" + compression + "'";
        fail(path, where + " stores its tiles " + form + "; only CSV is supported!");
    }
    if (data.first_node("chunk")) {
        fail(path, where + " is stored in chunks of an infinite map; only fixed-size maps are supported!");
    }
    if (layer->width < 0 || layer->height < 0) {
        fail(path, where + " has the invalid size " + std::to_string(layer->width) + " x " +
                       std::to_string(layer->height) + "!");
    }

    // Each id takes at least two characters with its delimiter, which bounds the reservation by the text
    // even when the attributes claim a huge layer.
    const auto expected = static_cast<std::size_t>(layer->width) * static_cast<std::size_t>(layer->height);
    const char* cursor = data.value();
    const char* const end = cursor + data.value_size();
    layer->data.reserve(std::min(expected, data.value_size() / 2 + 1));
    std::size_t count = 0;
    while (cursor != end) {
        if (isCsvDelimiter(*cursor)) {
            ++cursor;
            continue;
        }
        const char* tokenEnd = cursor;
        while (tokenEnd != end && !isCsvDelimiter(*tokenEnd)) {
            ++tokenEnd;
        }
        if (count < expected) {
            layer->data.push_back(toInt(cursor, tokenEnd));
        }
        ++count;
        cursor = tokenEnd;
    }
    if (count != expected) {
        fail(path, where + " holds " + std::to_string(count) + " tile ids instead of " +
                       std::to_string(layer->width) + " x " + std::to_string(layer->height) + "!");
    }
    return layer;
}

std::unique_ptr<TmxProperty> readProperty(const Node& node, const std::string& path) {
    auto property = std::make_unique<TmxProperty>();
    property->name = text(requireAttribute(node, "name", path));
    if (const Attribute* value = node.first_attribute("value")) {
        property->value = text(*value);
    } else if (hasChildElements(node)) {
        // A class-typed property nests its members instead of holding a value.
        requireAttribute(node, "value", path);
    } else {
        // The editor writes multi-line strings as the element's text.
        property->value = std::string(node.value(), node.value_size());
    }
    return property;
}

std::unique_ptr<TmxObject> readObject(const Node& node, const std::string& path) {
    auto object = std::make_unique<TmxObject>();
    object->name = optionalText(node, "name");
    object->gid = optionalNumber(node, "gid");
    object->type = node.first_attribute("type") ? optionalText(node, "type") : optionalText(node, "class");
    object->x = number(requireAttribute(node, "x", path));
    object->y = number(requireAttribute(node, "y", path));
    object->width = optionalNumber(node, "width");
    object->height = optionalNumber(node, "height");
    object->rotation = optionalNumber(node, "rotation");
    if (const Node* properties = node.first_node("properties")) {
        for (const Node* property = properties->first_node("property"); property;
             property = property->next_sibling("property")) {
            object->properties.push_back(readProperty(*property, path));
        }
    }
    return object;
}

std::unique_ptr<TmxObjectGroup> readObjectGroup(const Node& node, const std::string& path) {
    auto group = std::make_unique<TmxObjectGroup>();
    group->name = optionalText(node, "name");
    if (const Attribute* visible = node.first_attribute("visible")) {
        group->visible = number(*visible) != 0;
    }
    for (const Node* object = node.first_node("object"); object; object = object->next_sibling("object")) {
        group->objects.push_back(readObject(*object, path));
    }
    return group;
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

}  // namespace

std::shared_ptr<TmxMap> TmxMap::loadMap(const std::string& path) {
    std::vector<char> buffer;
    if (!readFile(path, buffer)) {
        sf::err() << "loadMap: could not open file " << path << std::endl;
        return nullptr;
    }

    if (elementDepth(buffer.data()) > maxElementDepth) {
        fail(path, "The file '" + path + "' nests elements deeper than " + std::to_string(maxElementDepth) +
                       " levels!");
    }
    // The document holds a sizeable memory pool, too big for the stack.
    auto document = std::make_unique<rapidxml::xml_document<>>();
    try {
        document->parse<0>(buffer.data());
    } catch (const rapidxml::parse_error& error) {
        throw TmxParseException(error.what(), path, lineOf(path, buffer, error.where<char>()));
    }
    const Node* root = document->first_node("map");
    if (!root) {
        fail(path, "The file '" + path + "' has no element 'map'!");
    }

    // Tiles are placed on a square grid; other layouts would not show as the editor draws them.
    const std::string orientation = optionalText(*root, "orientation");
    if (!orientation.empty() && orientation != "orthogonal") {
        fail(path, "The map '" + path + "' has the orientation '" + orientation +
                       "'; only orthogonal maps are supported!");
    }
    auto map = std::make_shared<TmxMap>();
    map->width = number(requireAttribute(*root, "width", path));
    map->height = number(requireAttribute(*root, "height", path));
    map->tileWidth = number(requireAttribute(*root, "tilewidth", path));
    map->tileHeight = number(requireAttribute(*root, "tileheight", path));
    for (const Node* node = root->first_node("tileset"); node; node = node->next_sibling("tileset")) {
        map->tilesets.push_back(readTileset(*node, path));
    }
    for (const Node* node = root->first_node("layer"); node; node = node->next_sibling("layer")) {
        map->layers.push_back(readLayer(*node, path));
    }
    for (const Node* node = root->first_node("objectgroup"); node; node = node->next_sibling("objectgroup")) {
        map->objectGroups.push_back(readObjectGroup(*node, path));
    }
    return map;
}

}  // namespace orn
