#pragma once

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/System/String.hpp>

#include "gui/Widget.hpp"

namespace gui {

// Base of the widgets that show one text (Button, Label): the text, its font and size, and the text
// properties shared by their renderers (TextColor, TextStyle, TextOutlineColor, TextOutlineThickness).
// Such widgets size themselves to their text until setSize is called. Measuring the text renders glyphs,
// which needs a GL context once a font is set.
class TextWidget : public Widget {
public:
    void setText(const sf::String& text);
    const sf::String& getText() const;

    // Character size in pixels.
    void setTextSize(unsigned size);
    unsigned getTextSize() const;

    // `font` is not owned and must outlive the widget (or be replaced first). Without a font no text is
    // drawn and the text measures 0 wide and one text size high.
    void setFont(const sf::Font& font);
    const sf::Font* getFont() const;

    void setRenderer(const RendererData& renderer) override;

protected:
    TextWidget(const sf::String& text, sf::Color defaultTextColor);

    // Width of the widest line and height of all lines (line spacing times line count), in pixels.
    sf::Vector2f getTextExtent() const;
    // Draws the text with its extent's top-left corner at `position` (rounded to whole pixels so that
    // pixel fonts stay sharp).
    void drawText(sf::RenderTarget& target, sf::RenderStates states, sf::Vector2f position, sf::Color color,
                  sf::Uint32 style) const;

    sf::Color getTextColor() const;
    sf::Uint32 getTextStyle() const;

private:
    float lineHeight() const;

    // Reused for measuring and drawing; the font it points to is not owned (see setFont).
    mutable sf::Text m_text;
    sf::String m_string;
    unsigned m_textSize = 18;
    sf::Color m_textColor;
    sf::Uint32 m_textStyle = sf::Text::Regular;
    sf::Color m_outlineColor = sf::Color::Black;
    float m_outlineThickness = 0.f;
};

}  // namespace gui
