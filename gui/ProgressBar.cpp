#include "gui/ProgressBar.hpp"

#include <algorithm>

#include "gui/RendererData.hpp"

namespace gui {

ProgressBar::Ptr ProgressBar::create() {
    return Ptr(new ProgressBar());
}

ProgressBar::ProgressBar() {
    addSignal("ValueChanged");
    setSize(160, 20);
}

void ProgressBar::setMinimum(unsigned minimum) {
    m_minimum = minimum;
    m_maximum = std::max(m_maximum, minimum);
    clampValue();
}

unsigned ProgressBar::getMinimum() const {
    return m_minimum;
}

void ProgressBar::setMaximum(unsigned maximum) {
    m_maximum = maximum;
    m_minimum = std::min(m_minimum, maximum);
    clampValue();
}

unsigned ProgressBar::getMaximum() const {
    return m_maximum;
}

void ProgressBar::setValue(unsigned value) {
    const unsigned previous = m_value;
    m_value = std::clamp(value, m_minimum, m_maximum);
    if (m_value != previous) {
        emit("ValueChanged");
    }
}

unsigned ProgressBar::getValue() const {
    return m_value;
}

void ProgressBar::clampValue() {
    setValue(m_value);
}

void ProgressBar::setRenderer(const RendererData& renderer) {
    Widget::setRenderer(renderer);
    m_background = renderer.getColor("BackgroundColor", m_background);
    m_fill = renderer.getColor("FillColor", m_fill);
    m_border = renderer.getColor("BorderColor", m_border);
    // As in TGUI 0.8, a renderer without Borders draws none.
    m_borders = renderer.getOutline("Borders");
    const Texture background = renderer.getTexture("TextureBackground");
    if (!background.isEmpty()) {
        m_backgroundTexture = background;
    }
    const Texture fill = renderer.getTexture("TextureFill");
    if (!fill.isEmpty()) {
        m_fillTexture = fill;
    }
}

void ProgressBar::draw(sf::RenderTarget& target, sf::RenderStates states) const {
    const sf::FloatRect rect(getPosition(), getSize());
    const sf::FloatRect inner = shrink(rect, m_borders);
    if (m_backgroundTexture.isEmpty()) {
        drawBox(target, states, rect, m_borders, applyOpacity(m_border), applyOpacity(m_background));
    } else {
        drawBox(target, states, rect, m_borders, applyOpacity(m_border), sf::Color::Transparent);
        m_backgroundTexture.draw(target, states, inner, applyOpacity(sf::Color::White));
    }

    const unsigned range = m_maximum - m_minimum;
    const float fraction =
        range == 0 ? 1.f : static_cast<float>(m_value - m_minimum) / static_cast<float>(range);
    const sf::FloatRect filled(inner.left, inner.top, inner.width * fraction, inner.height);
    if (m_fillTexture.isEmpty()) {
        drawBox(target, states, filled, {}, sf::Color::Transparent, applyOpacity(m_fill));
    } else {
        m_fillTexture.draw(target, states, filled, applyOpacity(sf::Color::White));
    }
}

}  // namespace gui
