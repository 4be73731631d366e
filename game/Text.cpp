#include "game/Text.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <locale>

#include "engine/AssetManager.hpp"
#include "engine/GameObject.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Transform.hpp"
#include "engine/Visibility.hpp"

namespace {
/// The letters' outline: one world pixel of the night's darkest ink, so that stars and lamps behind a
/// text do not break up its letters.
const sf::Color outlineColor(7, 8, 13);
}  // namespace

Text::Text(std::string content, unsigned size, std::string font)
    : text(std::move(content)), fontKey(std::move(font)), characterSize(size) {}

Text::~Text() = default;

void Text::draw() {
    sf::Font* font = orn::AssetManager::getInstance().getFont(fontKey);
    renderText.setPosition(gameObject->getTransform().lock()->getPosition());
    renderText.setString(sf::String(text, std::locale()));
    renderText.setFont(*font);
    renderText.setCharacterSize(characterSize);
    // Small pixel fonts stay sharp under the zoomed view only without filtering.
    const_cast<sf::Texture&>(font->getTexture(characterSize)).setSmooth(false);
    sf::RenderWindow& window = orn::SceneManager::getInstance().requireWindow();
    // The level's hints lie along its whole length; only those in view are worth a draw.
    sf::FloatRect bounds = renderText.getGlobalBounds();
    bounds = {bounds.left - 1.f, bounds.top - 1.f, bounds.width + 2.f, bounds.height + 2.f};
    if (!orn::Visibility::inView(window, bounds)) {
        return;
    }
    // The outline is the text itself drawn dark one pixel off in the eight directions: it follows the
    // pixel font's square steps exactly, where a stroked outline would round and blur them.
    const sf::Vector2f position = renderText.getPosition();
    const sf::Color fill = renderText.getFillColor();
    renderText.setFillColor(outlineColor);
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (dx != 0 || dy != 0) {
                renderText.setPosition(position +
                                       sf::Vector2f(static_cast<float>(dx), static_cast<float>(dy)));
                window.draw(renderText);
            }
        }
    }
    renderText.setFillColor(fill);
    renderText.setPosition(position);
    window.draw(renderText);
}
