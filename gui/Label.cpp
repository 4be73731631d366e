#include "gui/Label.hpp"

#include "gui/RendererData.hpp"

namespace gui {

Label::Ptr Label::create(const sf::String& text) {
    return Ptr(new Label(text));
}

Label::Label(const sf::String& text) : TextWidget(text, sf::Color(60, 60, 60)) {}

void Label::setRenderer(const RendererData& renderer) {
    TextWidget::setRenderer(renderer);
    m_background = renderer.getColor("BackgroundColor", m_background);
    m_border = renderer.getColor("BorderColor", m_border);
    m_borders = renderer.getOutline("Borders");
    m_padding = renderer.getOutline("Padding", m_padding);
    const Texture texture = renderer.getTexture("TextureBackground");
    if (!texture.isEmpty()) {
        m_backgroundTexture = texture;
    }
}

sf::Vector2f Label::getAutoSize() const {
    const sf::Vector2f text = getTextExtent();
    return {text.x + m_padding.left + m_padding.right + m_borders.left + m_borders.right,
            text.y + m_padding.top + m_padding.bottom + m_borders.top + m_borders.bottom};
}

void Label::draw(sf::RenderTarget& target, sf::RenderStates states) const {
    const sf::FloatRect rect(getPosition(), getSize());
    drawBox(target, states, rect, m_borders, applyOpacity(m_border), applyOpacity(m_background));
    const sf::FloatRect inner = shrink(rect, m_borders);
    m_backgroundTexture.draw(target, states, inner, applyOpacity(sf::Color::White));
    const sf::FloatRect content = shrink(inner, m_padding);
    drawText(target, states, {content.left, content.top}, getTextColor(), getTextStyle());
}

}  // namespace gui
