#include "gui/TextWidget.hpp"

#include <algorithm>
#include <cmath>

#include "gui/RendererData.hpp"

namespace gui {

TextWidget::TextWidget(const sf::String& text, sf::Color defaultTextColor)
    : m_string(text), m_textColor(defaultTextColor) {
    m_text.setString(text);
    m_text.setCharacterSize(m_textSize);
    enableAutoSize();
}

void TextWidget::setText(const sf::String& text) {
    m_string = text;
    m_text.setString(text);
}

const sf::String& TextWidget::getText() const {
    return m_string;
}

void TextWidget::setTextSize(unsigned size) {
    m_textSize = size;
    m_text.setCharacterSize(size);
}

unsigned TextWidget::getTextSize() const {
    return m_textSize;
}

void TextWidget::setFont(const sf::Font& font) {
    m_text.setFont(font);
}

const sf::Font* TextWidget::getFont() const {
    return m_text.getFont();
}

void TextWidget::setRenderer(const RendererData& renderer) {
    Widget::setRenderer(renderer);
    m_textColor = renderer.getColor("TextColor", m_textColor);
    m_textStyle = renderer.getTextStyle("TextStyle", m_textStyle);
    m_outlineColor = renderer.getColor("TextOutlineColor", m_outlineColor);
    m_outlineThickness = std::max(renderer.getNumber("TextOutlineThickness", m_outlineThickness), 0.f);
}

float TextWidget::lineHeight() const {
    const sf::Font* font = m_text.getFont();
    return font != nullptr ? font->getLineSpacing(m_textSize) : static_cast<float>(m_textSize);
}

sf::Vector2f TextWidget::getTextExtent() const {
    const std::size_t lines = 1 + static_cast<std::size_t>(std::count(m_string.begin(), m_string.end(),
                                                                      static_cast<sf::Uint32>('\n')));
    float width = 0.f;
    if (m_text.getFont() != nullptr && !m_string.isEmpty()) {
        m_text.setStyle(m_textStyle);
        m_text.setOutlineThickness(m_outlineThickness);
        const sf::FloatRect bounds = m_text.getLocalBounds();
        width = std::max(bounds.left + bounds.width, 0.f);
    }
    return {width, lineHeight() * static_cast<float>(lines) + 2.f * m_outlineThickness};
}

void TextWidget::drawText(sf::RenderTarget& target, sf::RenderStates states, sf::Vector2f position,
                          sf::Color color, sf::Uint32 style) const {
    if (m_text.getFont() == nullptr || m_string.isEmpty()) {
        return;
    }
    m_text.setStyle(style);
    m_text.setFillColor(applyOpacity(color));
    m_text.setOutlineColor(applyOpacity(m_outlineColor));
    m_text.setOutlineThickness(m_outlineThickness);
    m_text.setPosition(std::round(position.x + m_outlineThickness),
                       std::round(position.y + m_outlineThickness));
    target.draw(m_text, states);
}

sf::Color TextWidget::getTextColor() const {
    return m_textColor;
}

sf::Uint32 TextWidget::getTextStyle() const {
    return m_textStyle;
}

}  // namespace gui
