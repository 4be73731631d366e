#include "engine/Sprite.hpp"

#include <SFML/Graphics/RenderWindow.hpp>

#include "engine/AssetManager.hpp"
#include "engine/GameObject.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Transform.hpp"

namespace orn {

Sprite::Sprite(const std::string& textureKey) {
    sprite.setTexture(*AssetManager::getInstance().getTexture(textureKey));
}

Sprite::Sprite(const sf::Texture& texture, const sf::IntRect& textureRect) : sprite(texture, textureRect) {}

Sprite::~Sprite() = default;

void Sprite::draw() {
    if (auto transform = gameObject->getTransform().lock()) {
        const sf::Vector2f worldScale = transform->getScale();
        sprite.setPosition(transform->getPosition());
        sprite.setRotation(transform->getRotation());
        sprite.setScale(scale.x * worldScale.x, scale.y * worldScale.y);
    }
    const sf::IntRect rect = sprite.getTextureRect();
    sprite.setOrigin(static_cast<float>(rect.width) * origin.x, static_cast<float>(rect.height) * origin.y);
    if (flipX) {
        sprite.setTextureRect({rect.left + rect.width, rect.top, -rect.width, rect.height});
    }
    sf::RenderWindow& window = SceneManager::getInstance().requireWindow();
    // A level holds thousands of tile sprites; those wholly outside the view would cost a draw call each.
    const sf::View& view = window.getView();
    const sf::FloatRect visible(view.getCenter() - view.getSize() / 2.f, view.getSize());
    if (view.getRotation() == 0.f && !visible.intersects(sprite.getGlobalBounds())) {
        return;
    }
    window.draw(sprite);
}

}  // namespace orn
