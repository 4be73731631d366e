#include "gui/Widget.hpp"

#include <SFML/Graphics/VertexArray.hpp>
#include <algorithm>

#include "gui/Exception.hpp"
#include "gui/Gui.hpp"
#include "gui/RendererData.hpp"
#include "gui/Strings.hpp"

namespace gui {

Widget::Widget() = default;

Widget::~Widget() = default;

void Widget::setPosition(Layout x, Layout y) {
    m_x = std::move(x);
    m_y = std::move(y);
}

sf::Vector2f Widget::getPosition() const {
    return {evaluate(m_x, Layout::Axis::Horizontal, X), evaluate(m_y, Layout::Axis::Vertical, Y)};
}

void Widget::setSize(Layout width, Layout height) {
    m_width = std::move(width);
    m_height = std::move(height);
    m_autoSize = false;
}

sf::Vector2f Widget::getSize() const {
    if (m_autoSize) {
        return getAutoSize();
    }
    return {evaluate(m_width, Layout::Axis::Horizontal, Width),
            evaluate(m_height, Layout::Axis::Vertical, Height)};
}

sf::Vector2f Widget::getFullSize() const {
    return getSize();
}

float Widget::getLayoutProperty(Layout::Property property) const {
    const auto width = [this] {
        return m_autoSize ? getAutoSize().x : evaluate(m_width, Layout::Axis::Horizontal, Width);
    };
    const auto height = [this] {
        return m_autoSize ? getAutoSize().y : evaluate(m_height, Layout::Axis::Vertical, Height);
    };
    switch (property) {
        case Layout::Property::Left:
            return evaluate(m_x, Layout::Axis::Horizontal, X);
        case Layout::Property::Top:
            return evaluate(m_y, Layout::Axis::Vertical, Y);
        case Layout::Property::Right:
            return evaluate(m_x, Layout::Axis::Horizontal, X) + width();
        case Layout::Property::Bottom:
            return evaluate(m_y, Layout::Axis::Vertical, Y) + height();
        case Layout::Property::Width:
            return width();
        case Layout::Property::Height:
            return height();
    }
    return 0.f;
}

void Widget::setVisible(bool visible) {
    m_visible = visible;
    if (!visible) {
        m_hover = false;
        m_mouseDown = false;
    }
}

bool Widget::isVisible() const {
    return m_visible;
}

void Widget::setEnabled(bool enabled) {
    m_enabled = enabled;
    if (!enabled) {
        m_hover = false;
        m_mouseDown = false;
    }
}

bool Widget::isEnabled() const {
    return m_enabled;
}

void Widget::setRenderer(const RendererData& renderer) {
    m_opacity = std::clamp(renderer.getNumber("Opacity", 1.f), 0.f, 1.f);
}

void Widget::connect(const std::string& signal, std::function<void()> handler) {
    const auto found = m_signals.find(toLower(signal));
    if (found == m_signals.end()) {
        throw Exception("There is no signal named '" + signal + "' on this widget!");
    }
    found->second.push_back(std::move(handler));
}

bool Widget::isMouseOnWidget(sf::Vector2f point) const {
    return sf::FloatRect(getPosition(), getSize()).contains(point);
}

Gui* Widget::getParent() const {
    return m_parent;
}

void Widget::addSignal(const std::string& signal) {
    m_signals[toLower(signal)];
}

void Widget::emit(const std::string& signal) {
    const auto found = m_signals.find(toLower(signal));
    if (found == m_signals.end()) {
        return;
    }
    // A handler may connect further handlers; walk a copy so the list can grow safely.
    const std::vector<std::function<void()>> handlers = found->second;
    for (const auto& handler : handlers) {
        if (handler) {
            handler();
        }
    }
}

void Widget::enableAutoSize() {
    m_autoSize = true;
}

sf::Vector2f Widget::getAutoSize() const {
    return {0.f, 0.f};
}

bool Widget::isMouseHovering() const {
    return m_hover;
}

bool Widget::isMouseDown() const {
    return m_mouseDown;
}

sf::Color Widget::applyOpacity(sf::Color color) const {
    color.a = static_cast<sf::Uint8>(static_cast<float>(color.a) * m_opacity + 0.5f);
    return color;
}

void Widget::drawBox(sf::RenderTarget& target, sf::RenderStates states, const sf::FloatRect& rect,
                     const Outline& borders, sf::Color border, sf::Color fill) {
    sf::VertexArray vertices(sf::Triangles);
    const auto addRect = [&vertices](float left, float top, float width, float height, sf::Color color) {
        if (width <= 0.f || height <= 0.f || color.a == 0) {
            return;
        }
        const sf::Vertex corners[4] = {{{left, top}, color},
                                       {{left + width, top}, color},
                                       {{left + width, top + height}, color},
                                       {{left, top + height}, color}};
        for (int index : {0, 1, 2, 0, 2, 3}) {
            vertices.append(corners[index]);
        }
    };
    const sf::FloatRect inner = shrink(rect, borders);
    addRect(inner.left, inner.top, inner.width, inner.height, fill);
    addRect(rect.left, rect.top, rect.width, inner.top - rect.top, border);
    addRect(rect.left, inner.top + inner.height, rect.width,
            rect.top + rect.height - inner.top - inner.height, border);
    addRect(rect.left, inner.top, inner.left - rect.left, inner.height, border);
    addRect(inner.left + inner.width, inner.top, rect.left + rect.width - inner.left - inner.width,
            inner.height, border);
    if (vertices.getVertexCount() > 0) {
        target.draw(vertices, states);
    }
}

sf::FloatRect Widget::shrink(const sf::FloatRect& rect, const Outline& outline) {
    const float left = std::min(std::max(outline.left, 0.f), rect.width);
    const float top = std::min(std::max(outline.top, 0.f), rect.height);
    const float width = std::max(rect.width - left - std::max(outline.right, 0.f), 0.f);
    const float height = std::max(rect.height - top - std::max(outline.bottom, 0.f), 0.f);
    return {rect.left + left, rect.top + top, width, height};
}

bool Widget::handlesMouse() const {
    return false;
}

void Widget::onClick() {}

bool Widget::isFocused() const {
    return m_focused;
}

bool Widget::canFocus() const {
    return false;
}

float Widget::evaluate(const Layout& layout, Layout::Axis axis, Slot slot) const {
    if (m_evaluating[slot]) {
        throw Exception("The layout of a widget depends on itself!");
    }
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_evaluating[slot] = true};
    return layout.evaluate(this, parentSize(), axis);
}

sf::Vector2f Widget::parentSize() const {
    return m_parent != nullptr ? m_parent->getView().getSize() : sf::Vector2f();
}

}  // namespace gui
