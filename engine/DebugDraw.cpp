#include "engine/DebugDraw.hpp"

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Text.hpp>
#include <algorithm>
#include <cmath>

#include "engine/AssetManager.hpp"
#include "engine/SceneManager.hpp"

namespace orn {

bool DebugDraw::enabled = false;
sf::Color DebugDraw::color = sf::Color::White;

void DebugDraw::drawText(const std::string& text, sf::Vector2f position, const std::string& fontKey) {
    sf::RenderWindow& window = SceneManager::getInstance().requireWindow();
    sf::Font* font = AssetManager::getInstance().getFont(fontKey);
    constexpr unsigned characterSize = 16;
    sf::Text shape(sf::String(text, std::locale()), *font, characterSize);
    shape.setFillColor(color);
    shape.setPosition(position);
    // Pixel fonts stay sharp under a zoomed view only without filtering.
    const_cast<sf::Texture&>(font->getTexture(characterSize)).setSmooth(false);
    window.draw(shape);
}

void DebugDraw::drawLine(sf::Vector2f from, sf::Vector2f to, float thickness) {
    sf::RenderWindow& window = SceneManager::getInstance().requireWindow();
    const sf::Vector2f delta = to - from;
    const float length = std::sqrt(delta.x * delta.x + delta.y * delta.y);
    sf::RectangleShape bar({length, thickness});
    bar.setOrigin(0.f, thickness * 0.5f);
    bar.setPosition(from);
    bar.setRotation(std::atan2(delta.y, delta.x) * 57.295776f);
    bar.setOutlineThickness(0.f);
    bar.setFillColor(color);
    window.draw(bar);
}

void DebugDraw::drawCircle(sf::Vector2f centre, float radius, float thickness) {
    sf::RenderWindow& window = SceneManager::getInstance().requireWindow();
    sf::CircleShape circle(radius, 30);
    circle.setOrigin(radius, radius);
    circle.setPosition(centre);
    circle.setFillColor(sf::Color::Transparent);
    circle.setOutlineColor(color);
    circle.setOutlineThickness(std::max(thickness, 1.f));
    window.draw(circle);
}

}  // namespace orn
