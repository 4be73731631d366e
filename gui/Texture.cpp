#include "gui/Texture.hpp"

#include <SFML/Graphics/VertexArray.hpp>
#include <algorithm>

namespace gui {

struct Texture::ImageSource {
    std::shared_ptr<const sf::Image> image;
    bool smooth = false;
    std::unique_ptr<sf::Texture> texture;
    bool failed = false;
};

Texture::Texture() = default;

Texture::Texture(const sf::Texture& texture, const sf::IntRect& part, const sf::IntRect& middle)
    : m_texture(&texture) {
    clipRects(texture.getSize(), part, middle);
}

Texture::Texture(std::shared_ptr<const sf::Image> image, const sf::IntRect& part, const sf::IntRect& middle,
                 bool smooth) {
    if (image == nullptr) {
        return;
    }
    const sf::Vector2u size = image->getSize();
    m_image = std::make_shared<ImageSource>();
    m_image->image = std::move(image);
    m_image->smooth = smooth;
    clipRects(size, part, middle);
}

const sf::Texture* Texture::getTexture() const {
    if (m_texture != nullptr || m_image == nullptr) {
        return m_texture;
    }
    if (m_image->texture == nullptr && !m_image->failed) {
        auto texture = std::make_unique<sf::Texture>();
        if (texture->loadFromImage(*m_image->image)) {
            texture->setSmooth(m_image->smooth);
            m_image->texture = std::move(texture);
        } else {
            m_image->failed = true;
        }
    }
    return m_image->texture.get();
}

bool Texture::isEmpty() const {
    return m_texture == nullptr && m_image == nullptr;
}

sf::IntRect Texture::getPartRect() const {
    return m_part;
}

sf::IntRect Texture::getMiddleRect() const {
    return m_middle;
}

sf::Vector2f Texture::getSize() const {
    return {static_cast<float>(m_part.width), static_cast<float>(m_part.height)};
}

void Texture::clipRects(sf::Vector2u textureSize, const sf::IntRect& part, const sf::IntRect& middle) {
    const sf::IntRect whole(0, 0, static_cast<int>(textureSize.x), static_cast<int>(textureSize.y));
    m_part = whole;
    if (part.width > 0 && part.height > 0 && !whole.intersects(part, m_part)) {
        m_part = {};
    }
    m_middle = {};
    if (middle.width > 0 && middle.height > 0) {
        if (!sf::IntRect(0, 0, m_part.width, m_part.height).intersects(middle, m_middle)) {
            m_middle = {};
        }
    }
}

void Texture::draw(sf::RenderTarget& target, sf::RenderStates states, const sf::FloatRect& rect,
                   sf::Color color) const {
    const sf::Texture* texture = getTexture();
    if (texture == nullptr || m_part.width <= 0 || m_part.height <= 0 || rect.width <= 0.f ||
        rect.height <= 0.f) {
        return;
    }
    // Column and row edges in texture pixels and on screen: without a middle rectangle there is one cell.
    float srcX[4] = {0.f, 0.f, 0.f, static_cast<float>(m_part.width)};
    float srcY[4] = {0.f, 0.f, 0.f, static_cast<float>(m_part.height)};
    float dstX[4] = {0.f, 0.f, 0.f, rect.width};
    float dstY[4] = {0.f, 0.f, 0.f, rect.height};
    const bool sliced = m_middle.width > 0 && m_middle.height > 0;
    if (sliced) {
        srcX[1] = static_cast<float>(m_middle.left);
        srcX[2] = static_cast<float>(m_middle.left + m_middle.width);
        srcY[1] = static_cast<float>(m_middle.top);
        srcY[2] = static_cast<float>(m_middle.top + m_middle.height);
        // Borders keep their pixel size, shrinking evenly only when the target is smaller than both together.
        const float left = srcX[1];
        const float right = srcX[3] - srcX[2];
        const float top = srcY[1];
        const float bottom = srcY[3] - srcY[2];
        const float scaleX = left + right > rect.width ? rect.width / (left + right) : 1.f;
        const float scaleY = top + bottom > rect.height ? rect.height / (top + bottom) : 1.f;
        dstX[1] = left * scaleX;
        dstX[2] = rect.width - right * scaleX;
        dstY[1] = top * scaleY;
        dstY[2] = rect.height - bottom * scaleY;
    } else {
        srcX[1] = srcX[2] = srcX[3];
        srcY[1] = srcY[2] = srcY[3];
        dstX[1] = dstX[2] = dstX[3];
        dstY[1] = dstY[2] = dstY[3];
    }

    sf::VertexArray vertices(sf::Triangles);
    const sf::Vector2f offset(static_cast<float>(m_part.left), static_cast<float>(m_part.top));
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            if (dstX[column + 1] <= dstX[column] || dstY[row + 1] <= dstY[row]) {
                continue;
            }
            const auto corner = [&](int c, int r) {
                return sf::Vertex({rect.left + dstX[c], rect.top + dstY[r]}, color,
                                  {offset.x + srcX[c], offset.y + srcY[r]});
            };
            vertices.append(corner(column, row));
            vertices.append(corner(column + 1, row));
            vertices.append(corner(column + 1, row + 1));
            vertices.append(corner(column, row));
            vertices.append(corner(column + 1, row + 1));
            vertices.append(corner(column, row + 1));
        }
    }
    states.texture = texture;
    target.draw(vertices, states);
}

}  // namespace gui
