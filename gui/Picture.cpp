#include "gui/Picture.hpp"

#include "gui/RendererData.hpp"

namespace gui {

Picture::Ptr Picture::create(const sf::Texture& texture) {
    return Ptr(new Picture(Texture(texture)));
}

Picture::Ptr Picture::create(const Texture& texture) {
    return Ptr(new Picture(texture));
}

Picture::Picture(const Texture& texture) : m_texture(texture) {
    enableAutoSize();
}

void Picture::setTexture(const Texture& texture) {
    m_texture = texture;
}

const Texture& Picture::getTexture() const {
    return m_texture;
}

void Picture::setRenderer(const RendererData& renderer) {
    Widget::setRenderer(renderer);
    const Texture texture = renderer.getTexture("Texture");
    if (!texture.isEmpty()) {
        m_texture = texture;
    }
}

sf::Vector2f Picture::getAutoSize() const {
    return m_texture.getSize();
}

void Picture::draw(sf::RenderTarget& target, sf::RenderStates states) const {
    m_texture.draw(target, states, sf::FloatRect(getPosition(), getSize()), applyOpacity(sf::Color::White));
}

}  // namespace gui
