#pragma once

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <stdexcept>

/// What the window shows now, read back through a texture of the window's size. A texture that cannot be
/// made throws, which fails the calling test.
inline sf::Image captureWindow(const sf::RenderWindow& window) {
    sf::Texture texture;
    if (!texture.create(window.getSize().x, window.getSize().y)) {
        throw std::runtime_error("cannot make a texture of the window's size");
    }
    texture.update(window);
    return texture.copyToImage();
}
