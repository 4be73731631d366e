#include "engine/Sprite.hpp"

#include <SFML/Graphics/RenderWindow.hpp>

#include "engine/AssetManager.hpp"
#include "engine/GameObject.hpp"
#include "engine/SceneManager.hpp"
#include "engine/SpriteBatch.hpp"
#include "engine/Transform.hpp"
#include "engine/Visibility.hpp"

namespace orn {

Sprite::Sprite(const std::string& textureKey) {
    sprite.setTexture(*AssetManager::getInstance().getTexture(textureKey));
}

Sprite::Sprite(const sf::Texture& texture, const sf::IntRect& textureRect) : sprite(texture, textureRect) {}

Sprite::~Sprite() = default;

void Sprite::prepare() {
    if (auto transform = gameObject->getTransform().lock()) {
        const sf::Vector2f worldScale = transform->getScale();
        sprite.setPosition(transform->getPosition());
        sprite.setRotation(transform->getRotation());
        sprite.setScale(scale.x * worldScale.x, scale.y * worldScale.y);
    }
    const sf::IntRect rect = sprite.getTextureRect();
    sprite.setOrigin(pivotInPixels(rect));
    if (flipX) {
        sprite.setTextureRect({rect.left + rect.width, rect.top, -rect.width, rect.height});
    }
}

sf::Vector2f Sprite::pivotInPixels(const sf::IntRect& rect) const {
    return {static_cast<float>(rect.width) * origin.x, static_cast<float>(rect.height) * origin.y};
}

void Sprite::draw() {
    prepare();
    sf::RenderWindow& window = SceneManager::getInstance().requireWindow();
    // A level holds thousands of tile sprites; only those in view are worth a draw call.
    if (Visibility::inView(window, sprite.getGlobalBounds())) {
        window.draw(sprite);
    }
}

void Sprite::drawInto(SpriteBatch& batch) {
    prepare();
    batch.add(sprite, SceneManager::getInstance().requireWindow());
}

}  // namespace orn
