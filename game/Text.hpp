#pragma once

#include <SFML/Graphics/Text.hpp>
#include <string>

#include "engine/Component.hpp"

/// A text drawn in the world with its top-left corner at the object's position (the level's tutorial hints),
/// outlined by one dark pixel all round.
class Text : public orn::Component {
public:
    /// fontKey names a font the asset manager holds while the text draws.
    Text(std::string text, unsigned characterSize, std::string fontKey);
    ~Text() override;

    void draw() override;

    std::string text;
    std::string fontKey;
    sf::Text renderText;
    unsigned characterSize;
};
