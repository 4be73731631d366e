#include "engine/SpriteBatch.hpp"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <cmath>

#include "engine/Visibility.hpp"

namespace orn {

void SpriteBatch::add(const sf::Sprite& sprite, sf::RenderTarget& where) {
    const sf::Texture* spriteTexture = sprite.getTexture();
    if (!spriteTexture || !Visibility::inView(where, sprite.getGlobalBounds())) {
        return;
    }
    if (!exactOnCpu(sprite.getTransform())) {
        flush();
        where.draw(sprite);
        ++drawCalls;
        return;
    }
    if (spriteTexture != texture || &where != target || vertices.size() + 6 > maxCallVertices) {
        flush();
        texture = spriteTexture;
        target = &where;
    }
    // The corners and texture coordinates a lone sprite draws as a strip, as two triangles.
    const sf::IntRect rect = sprite.getTextureRect();
    const sf::FloatRect local = sprite.getLocalBounds();
    const float left = static_cast<float>(rect.left);
    const float right = left + static_cast<float>(rect.width);
    const float top = static_cast<float>(rect.top);
    const float bottom = top + static_cast<float>(rect.height);
    const sf::Transform& transform = sprite.getTransform();
    const sf::Color color = sprite.getColor();
    const sf::Vertex corners[4] = {
        {transform.transformPoint(0.f, 0.f), color, {left, top}},
        {transform.transformPoint(0.f, local.height), color, {left, bottom}},
        {transform.transformPoint(local.width, 0.f), color, {right, top}},
        {transform.transformPoint(local.width, local.height), color, {right, bottom}},
    };
    vertices.insert(vertices.end(), {corners[0], corners[1], corners[2], corners[2], corners[1], corners[3]});
}

void SpriteBatch::flush() {
    if (!vertices.empty()) {
        sf::RenderStates states;
        states.texture = texture;
        target->draw(vertices.data(), vertices.size(), sf::Triangles, states);
        ++drawCalls;
        vertices.clear();
    }
    texture = nullptr;
    target = nullptr;
}

bool SpriteBatch::exactOnCpu(const sf::Transform& transform) {
    // Column-major 4 x 4: [0] and [5] scale, [1] and [4] rotate or shear.
    const float* m = transform.getMatrix();
    return m[1] == 0.f && m[4] == 0.f && std::trunc(m[0]) == m[0] && std::trunc(m[5]) == m[5];
}

}  // namespace orn
