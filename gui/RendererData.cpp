#include "gui/RendererData.hpp"

#include <SFML/Graphics/Text.hpp>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "gui/Exception.hpp"
#include "gui/Strings.hpp"

namespace gui {

namespace {

std::string trim(const std::string& text) {
    const auto isSpace = [](unsigned char c) { return std::isspace(c) != 0; };
    auto begin = std::find_if_not(text.begin(), text.end(), isSpace);
    auto end = std::find_if_not(text.rbegin(), std::string::const_reverse_iterator(begin), isSpace).base();
    return std::string(begin, end);
}

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Whether the widgets of this library read the property (lower case): Button, Label, ProgressBar and
// Picture, with the looks of every widget state.
bool isWidgetProperty(const std::string& name) {
    static const std::set<std::string> properties = [] {
        std::set<std::string> names = {"borders",
                                       "padding",
                                       "fillcolor",
                                       "texturebackground",
                                       "texturefill",
                                       "textoutlinecolor",
                                       "textoutlinethickness",
                                       "opacity",
                                       "opacitydisabled",
                                       "font"};
        for (const char* look : {"textcolor", "backgroundcolor", "bordercolor", "texture", "textstyle"}) {
            for (const char* state : {"", "hover", "down", "disabled", "focused"}) {
                names.insert(std::string(look) + state);
            }
        }
        return names;
    }();
    return properties.count(name) > 0;
}

bool readNumber(const std::string& text, float& number) {
    const std::string trimmed = trim(text);
    if (trimmed.empty()) {
        return false;
    }
    char* end = nullptr;
    number = std::strtof(trimmed.c_str(), &end);
    return end == trimmed.c_str() + trimmed.size() && std::isfinite(number);
}

// Splits "a, b, c" into numbers; false when a piece is not a number.
bool readNumberList(const std::string& text, std::vector<float>& numbers) {
    numbers.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        float number = 0.f;
        if (!readNumber(text.substr(start, comma - start), number)) {
            return false;
        }
        numbers.push_back(number);
        if (comma == std::string::npos) {
            return true;
        }
        start = comma + 1;
    }
}

[[noreturn]] void invalid(const std::string& property, const std::string& value) {
    throw Exception("Invalid value '" + value + "' for the property '" + property + "'!");
}

bool readColorComponent(float value, sf::Uint8& component) {
    if (value < 0.f || value > 255.f) {
        return false;
    }
    component = static_cast<sf::Uint8>(value + 0.5f);
    return true;
}

sf::Color parseColor(const std::string& property, const std::string& value) {
    const std::string text = toLower(value);
    static const std::map<std::string, sf::Color> names = {{"black", sf::Color::Black},
                                                           {"white", sf::Color::White},
                                                           {"red", sf::Color::Red},
                                                           {"green", sf::Color::Green},
                                                           {"blue", sf::Color::Blue},
                                                           {"yellow", sf::Color::Yellow},
                                                           {"magenta", sf::Color::Magenta},
                                                           {"cyan", sf::Color::Cyan},
                                                           {"transparent", sf::Color::Transparent}};
    const auto named = names.find(text);
    if (named != names.end()) {
        return named->second;
    }
    if (!text.empty() && text[0] == '#') {
        std::string digits = text.substr(1);
        if (!std::all_of(digits.begin(), digits.end(),
                         [](unsigned char c) { return std::isxdigit(c) != 0; })) {
            invalid(property, value);
        }
        if (digits.size() == 3 || digits.size() == 4) {
            std::string doubled;
            for (char c : digits) {
                doubled += std::string(2, c);
            }
            digits = doubled;
        }
        if (digits.size() != 6 && digits.size() != 8) {
            invalid(property, value);
        }
        const auto byte = [&](std::size_t index) {
            return static_cast<sf::Uint8>(std::stoul(digits.substr(index * 2, 2), nullptr, 16));
        };
        return sf::Color(byte(0), byte(1), byte(2), digits.size() == 8 ? byte(3) : 255);
    }
    // Either form takes three values (opaque) or four (alpha last), as the TGUI 0.8 loader does.
    if ((text.rfind("rgba(", 0) == 0 || text.rfind("rgb(", 0) == 0) && text.back() == ')') {
        const std::size_t open = text.find('(');
        std::vector<float> numbers;
        sf::Color color;
        if (readNumberList(text.substr(open + 1, text.size() - open - 2), numbers) &&
            (numbers.size() == 3 || numbers.size() == 4) && readColorComponent(numbers[0], color.r) &&
            readColorComponent(numbers[1], color.g) && readColorComponent(numbers[2], color.b) &&
            (numbers.size() == 3 || readColorComponent(numbers[3], color.a))) {
            return color;
        }
    }
    invalid(property, value);
}

Outline parseOutline(const std::string& property, const std::string& value) {
    std::string text = value;
    if (text.size() >= 2 && text.front() == '(' && text.back() == ')') {
        text = text.substr(1, text.size() - 2);
    }
    std::vector<float> n;
    if (!readNumberList(text, n)) {
        invalid(property, value);
    }
    switch (n.size()) {
        case 1:
            return {n[0], n[0], n[0], n[0]};
        case 2:
            return {n[0], n[1], n[0], n[1]};
        case 4:
            return {n[0], n[1], n[2], n[3]};
        default:
            invalid(property, value);
    }
}

sf::Uint32 parseTextStyle(const std::string& property, const std::string& value) {
    static const std::map<std::string, sf::Uint32> styles = {{"regular", sf::Text::Regular},
                                                             {"bold", sf::Text::Bold},
                                                             {"italic", sf::Text::Italic},
                                                             {"underlined", sf::Text::Underlined},
                                                             {"strikethrough", sf::Text::StrikeThrough}};
    sf::Uint32 flags = sf::Text::Regular;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = value.find('|', start);
        const auto style = styles.find(toLower(trim(value.substr(start, bar - start))));
        if (style == styles.end()) {
            invalid(property, value);
        }
        flags |= style->second;
        if (bar == std::string::npos) {
            return flags;
        }
        start = bar + 1;
    }
}

std::string parseString(const std::string& property, const std::string& value) {
    if (value.empty() || value[0] != '"') {
        return value;
    }
    std::size_t pos = 0;
    std::string result;
    if (!readQuoted(value, pos, result) || pos != value.size()) {
        invalid(property, value);
    }
    return result;
}

// Reads "Name(l, t, w, h)" at `pos` into `rect`.
bool readRect(const std::string& text, std::size_t& pos, sf::IntRect& rect) {
    const std::size_t open = text.find('(', pos);
    const std::size_t close = text.find(')', pos);
    std::vector<float> n;
    if (open == std::string::npos || close == std::string::npos || close < open ||
        !trim(text.substr(pos, open - pos)).empty() ||
        !readNumberList(text.substr(open + 1, close - open - 1), n) || n.size() != 4 ||
        std::any_of(n.begin(), n.end(), [](float v) { return v < 0.f || v > 1e6f; })) {
        return false;
    }
    rect = sf::IntRect(static_cast<int>(n[0]), static_cast<int>(n[1]), static_cast<int>(n[2]),
                       static_cast<int>(n[3]));
    pos = close + 1;
    return true;
}

Texture parseTexture(const std::string& property, const std::string& value, const std::string& directory,
                     RendererData::ImageCache* images) {
    if (value.empty() || toLower(value) == "none" || value == "\"\"") {
        return Texture();
    }
    std::size_t pos = 0;
    std::string file;
    if (value[0] == '"') {
        if (!readQuoted(value, pos, file)) {
            invalid(property, value);
        }
    } else {
        while (pos < value.size() && !std::isspace(static_cast<unsigned char>(value[pos]))) {
            ++pos;
        }
        file = value.substr(0, pos);
    }
    sf::IntRect part;
    sf::IntRect middle;
    bool smooth = false;
    for (;;) {
        while (pos < value.size() && std::isspace(static_cast<unsigned char>(value[pos]))) {
            ++pos;
        }
        if (pos >= value.size()) {
            break;
        }
        std::size_t end = pos;
        while (end < value.size() && std::isalpha(static_cast<unsigned char>(value[end]))) {
            ++end;
        }
        const std::string word = toLower(value.substr(pos, end - pos));
        pos = end;
        if (word == "smooth") {
            smooth = true;
        } else if (word == "nosmooth") {
            smooth = false;
        } else if (!(word == "part" && readRect(value, pos, part)) &&
                   !(word == "middle" && readRect(value, pos, middle))) {
            invalid(property, value);
        }
    }

    const std::string path = directory + file;
    const auto cached = images != nullptr ? images->find(path) : RendererData::ImageCache::iterator();
    std::shared_ptr<const sf::Image> image =
        images != nullptr && cached != images->end() ? cached->second : nullptr;
    if (image == nullptr) {
        auto loaded = std::make_shared<sf::Image>();
        if (file.empty() || !loaded->loadFromFile(path)) {
            throw Exception("Failed to load the texture '" + path + "' of the property '" + property + "'!");
        }
        image = loaded;
        if (images != nullptr) {
            images->emplace(path, image);
        }
    }
    const sf::Vector2u size = image->getSize();
    const bool hasPart = part.width > 0 && part.height > 0;
    if (hasPart && (part.left + part.width > static_cast<int>(size.x) ||
                    part.top + part.height > static_cast<int>(size.y))) {
        throw Exception("The part of the texture '" + file + "' lies outside the image!");
    }
    const sf::Vector2i partSize = hasPart ? sf::Vector2i(part.width, part.height) : sf::Vector2i(size);
    if (middle.left + middle.width > partSize.x || middle.top + middle.height > partSize.y) {
        throw Exception("The middle of the texture '" + file + "' lies outside its part!");
    }
    return Texture(std::move(image), part, middle, smooth);
}

}  // namespace

RendererData::RendererData() = default;

void RendererData::setProperty(const std::string& property, const std::string& rawValue,
                               const std::string& directory, ImageCache* images) {
    const std::string name = toLower(trim(property));
    const std::string value = trim(rawValue);
    if (name.empty()) {
        throw Exception("A property without a name cannot be set to '" + value + "'!");
    }
    try {
        m_properties[name] = parseValue(name, property, value, directory, images);
    } catch (const Exception&) {
        if (isWidgetProperty(name)) {
            throw;
        }
        m_properties[name] = value;
    }
}

RendererData::Value RendererData::parseValue(const std::string& name, const std::string& property,
                                             const std::string& value, const std::string& directory,
                                             ImageCache* images) {
    if (contains(name, "texture")) {
        return parseTexture(property, value, directory, images);
    }
    if (contains(name, "color")) {
        return parseColor(property, value);
    }
    if (endsWith(name, "borders") || endsWith(name, "padding")) {
        return parseOutline(property, value);
    }
    if (contains(name, "textstyle")) {
        return TextStyle{parseTextStyle(property, value)};
    }
    float number = 0.f;
    if (readNumber(value, number)) {
        return number;
    }
    return parseString(property, value);
}

void RendererData::setRenderer(const std::string& property, std::shared_ptr<const RendererData> renderer) {
    m_properties[toLower(trim(property))] = std::move(renderer);
}

bool RendererData::hasProperty(const std::string& property) const {
    return find(property) != nullptr;
}

const RendererData::Value* RendererData::find(const std::string& property) const {
    const auto found = m_properties.find(toLower(property));
    return found != m_properties.end() ? &found->second : nullptr;
}

sf::Color RendererData::getColor(const std::string& property, sf::Color fallback) const {
    const Value* value = find(property);
    const sf::Color* color = value != nullptr ? std::get_if<sf::Color>(value) : nullptr;
    return color != nullptr ? *color : fallback;
}

float RendererData::getNumber(const std::string& property, float fallback) const {
    const Value* value = find(property);
    const float* number = value != nullptr ? std::get_if<float>(value) : nullptr;
    return number != nullptr ? *number : fallback;
}

Outline RendererData::getOutline(const std::string& property, Outline fallback) const {
    const Value* value = find(property);
    const Outline* outline = value != nullptr ? std::get_if<Outline>(value) : nullptr;
    return outline != nullptr ? *outline : fallback;
}

Texture RendererData::getTexture(const std::string& property) const {
    const Value* value = find(property);
    const Texture* texture = value != nullptr ? std::get_if<Texture>(value) : nullptr;
    return texture != nullptr ? *texture : Texture();
}

sf::Uint32 RendererData::getTextStyle(const std::string& property, sf::Uint32 fallback) const {
    const Value* value = find(property);
    const TextStyle* style = value != nullptr ? std::get_if<TextStyle>(value) : nullptr;
    return style != nullptr ? style->flags : fallback;
}

std::string RendererData::getString(const std::string& property, const std::string& fallback) const {
    const Value* value = find(property);
    const std::string* text = value != nullptr ? std::get_if<std::string>(value) : nullptr;
    return text != nullptr ? *text : fallback;
}

std::shared_ptr<const RendererData> RendererData::getRenderer(const std::string& property) const {
    const Value* value = find(property);
    const auto* renderer =
        value != nullptr ? std::get_if<std::shared_ptr<const RendererData>>(value) : nullptr;
    return renderer != nullptr ? *renderer : nullptr;
}

}  // namespace gui
