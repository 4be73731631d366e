#pragma once

#include <SFML/Config.hpp>
#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>
#include <map>
#include <memory>
#include <string>
#include <variant>

#include "gui/Outline.hpp"
#include "gui/Texture.hpp"

namespace gui {

// The properties of one renderer (one section of a theme file): the colours, textures, outlines, numbers
// and strings that give a widget its looks. Property names are case-insensitive. A value's kind follows
// from its property's name, as in the theme format: names containing "Texture" hold textures, "Color"
// colours, "TextStyle" text styles, names ending in "Borders" or "Padding" outlines; other values are
// numbers when they read as one (`PaddingBetweenButtons = 2`) and strings otherwise.
//
// The properties that the library's widgets read (Button, Label, ProgressBar, Picture and the text looks)
// must hold a value of their kind. A theme may also carry properties of widgets that the library does not
// have; those are read by the same rules, but a value that does not read as its kind (or a texture whose
// image cannot be read) is kept as a plain string instead of failing, since nothing here draws with it.
class RendererData {
public:
    // The images read for texture values, by path, so that a theme reads each image file once.
    using ImageCache = std::map<std::string, std::shared_ptr<const sf::Image>>;

    RendererData();

    // Parses `value` as written in a theme file. Texture files are read from `directory` (which ends in
    // a separator or is empty) at once, or taken from `images` when given and read before; a missing file
    // is reported here. Raises gui::Exception naming the value or file when a property the widgets read
    // cannot be read; the renderer is unchanged then.
    void setProperty(const std::string& property, const std::string& value, const std::string& directory = "",
                     ImageCache* images = nullptr);
    // A nested renderer, as written `Scrollbar = { ... };` in a theme file.
    void setRenderer(const std::string& property, std::shared_ptr<const RendererData> renderer);

    bool hasProperty(const std::string& property) const;

    // Each getter returns `fallback` when the property is missing or of another kind.
    sf::Color getColor(const std::string& property, sf::Color fallback) const;
    float getNumber(const std::string& property, float fallback) const;
    Outline getOutline(const std::string& property, Outline fallback = {}) const;
    // An empty Texture when missing.
    Texture getTexture(const std::string& property) const;
    // A combination of sf::Text::Style flags.
    sf::Uint32 getTextStyle(const std::string& property, sf::Uint32 fallback) const;
    std::string getString(const std::string& property, const std::string& fallback) const;
    // Null when missing.
    std::shared_ptr<const RendererData> getRenderer(const std::string& property) const;

private:
    struct TextStyle {
        sf::Uint32 flags;
    };
    using Value = std::variant<sf::Color, float, Outline, Texture, TextStyle, std::string,
                               std::shared_ptr<const RendererData>>;

    static Value parseValue(const std::string& name, const std::string& property, const std::string& value,
                            const std::string& directory, ImageCache* images);
    const Value* find(const std::string& property) const;

    std::map<std::string, Value> m_properties;
};

}  // namespace gui
