#include "gui/Button.hpp"

#include <cmath>

#include "gui/RendererData.hpp"

namespace gui {

namespace {

const sf::Color defaultTextColor(60, 60, 60);

}  // namespace

Button::Ptr Button::create(const sf::String& text) {
    return Ptr(new Button(text));
}

Button::Button(const sf::String& text) : TextWidget(text, defaultTextColor) {
    addSignal("pressed");
    m_looks[Normal] = {
        defaultTextColor, sf::Color(245, 245, 245), sf::Color(60, 60, 60), {}, sf::Text::Regular};
    m_looks[Hover] = {sf::Color::Black, sf::Color::White, sf::Color::Black, {}, sf::Text::Regular};
    m_looks[Down] = {sf::Color::Black, sf::Color(235, 235, 235), sf::Color::Black, {}, sf::Text::Regular};
    m_looks[Disabled] = {
        sf::Color(125, 125, 125), sf::Color(230, 230, 230), sf::Color(125, 125, 125), {}, sf::Text::Regular};
}

void Button::setRenderer(const RendererData& renderer) {
    TextWidget::setRenderer(renderer);
    // As in TGUI 0.8, a renderer without Borders draws none (a textured face brings its own frame).
    m_borders = renderer.getOutline("Borders");

    const auto read = [&renderer](const std::string& suffix, const Look& fallback) {
        Look look;
        look.text = renderer.getColor("TextColor" + suffix, fallback.text);
        look.background = renderer.getColor("BackgroundColor" + suffix, fallback.background);
        look.border = renderer.getColor("BorderColor" + suffix, fallback.border);
        look.texture = renderer.getTexture("Texture" + suffix);
        if (look.texture.isEmpty()) {
            look.texture = fallback.texture;
        }
        look.style = renderer.getTextStyle("TextStyle" + suffix, fallback.style);
        return look;
    };
    const Look normal = read("", m_looks[Normal]);
    // The other states fall back on the renderer's normal look, not on the built-in defaults, so a theme
    // that sets only the normal look gets it in every state.
    const Look hover = read("Hover", normal);
    m_looks[Down] = read("Down", hover);
    m_looks[Disabled] = read("Disabled", normal);
    m_looks[Hover] = hover;
    m_looks[Normal] = normal;
}

sf::Vector2f Button::getAutoSize() const {
    const sf::Vector2f text = getTextExtent();
    const float line = text.y;
    return {std::round(text.x + line) + m_borders.left + m_borders.right,
            std::round(line * 1.25f) + m_borders.top + m_borders.bottom};
}

bool Button::handlesMouse() const {
    return true;
}

bool Button::canFocus() const {
    return true;
}

void Button::onClick() {
    emit("pressed");
}

Button::State Button::currentState() const {
    if (!isEnabled()) {
        return Disabled;
    }
    if (isMouseHovering() && isMouseDown()) {
        return Down;
    }
    // The mouse moves the focus (Gui::handleEvent), so the focus alone decides the highlight.
    return isFocused() ? Hover : Normal;
}

void Button::draw(sf::RenderTarget& target, sf::RenderStates states) const {
    const Look& look = m_looks[currentState()];
    const sf::FloatRect rect(getPosition(), getSize());
    if (look.texture.isEmpty()) {
        drawBox(target, states, rect, m_borders, applyOpacity(look.border), applyOpacity(look.background));
    } else {
        drawBox(target, states, rect, m_borders, applyOpacity(look.border), sf::Color::Transparent);
        look.texture.draw(target, states, shrink(rect, m_borders), applyOpacity(sf::Color::White));
    }
    const sf::Vector2f extent = getTextExtent();
    drawText(target, states,
             {rect.left + (rect.width - extent.x) / 2.f, rect.top + (rect.height - extent.y) / 2.f},
             look.text, look.style);
}

}  // namespace gui
