#pragma once

#include <memory>

#include "gui/Outline.hpp"
#include "gui/TextWidget.hpp"
#include "gui/Texture.hpp"

namespace gui {

// A text, left-aligned inside its padding. Without a size the label is as large as its text plus padding
// and borders.
//
// Renderer properties: TextColor, TextStyle, TextOutlineColor, TextOutlineThickness, BackgroundColor,
// BorderColor, Borders, Padding, TextureBackground, Opacity.
class Label : public TextWidget {
public:
    using Ptr = std::shared_ptr<Label>;

    static Ptr create(const sf::String& text = "");

    void setRenderer(const RendererData& renderer) override;
    void draw(sf::RenderTarget& target, sf::RenderStates states) const override;

protected:
    explicit Label(const sf::String& text);

    sf::Vector2f getAutoSize() const override;

private:
    sf::Color m_background = sf::Color::Transparent;
    sf::Color m_border = sf::Color(60, 60, 60);
    Outline m_borders;
    Outline m_padding;
    Texture m_backgroundTexture;
};

}  // namespace gui
