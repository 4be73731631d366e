#include "game/Text.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <locale>

#include "engine/AssetManager.hpp"
#include "engine/GameObject.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Transform.hpp"
#include "engine/Visibility.hpp"

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
    if (orn::Visibility::inView(window, renderText.getGlobalBounds())) {
        window.draw(renderText);
    }
}
