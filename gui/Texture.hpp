#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderStates.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <memory>

namespace gui {

// A rectangle of a texture, optionally split for nine-slice stretching: the middle rectangle (relative to
// the part) is stretched, the corners keep their size and the edges stretch along one axis only, so frames
// keep their borders at any size.
//
// The pixels come either from an sf::Texture that the caller owns (it must outlive every copy of this
// Texture and every widget using it), or from an image that a Theme loaded, which is shared by the copies
// and turned into a GL texture the first time it is drawn.
class Texture {
public:
    // No pixels; draws nothing.
    Texture();
    // `part` with zero width or height means the whole texture; `middle` with zero width or height means
    // no nine-slice. Both are clipped to what they lie in.
    explicit Texture(const sf::Texture& texture, const sf::IntRect& part = {},
                     const sf::IntRect& middle = {});
    Texture(std::shared_ptr<const sf::Image> image, const sf::IntRect& part, const sf::IntRect& middle,
            bool smooth);

    // The GL texture, null for an empty Texture. For an image from a theme this creates the texture on the
    // first call and needs a GL context then.
    const sf::Texture* getTexture() const;
    bool isEmpty() const;
    // In pixels of the texture.
    sf::IntRect getPartRect() const;
    // Relative to the part; zero size when there is no nine-slice.
    sf::IntRect getMiddleRect() const;
    // The size of the part.
    sf::Vector2f getSize() const;

    // Draws the part stretched over `rect`, modulated by `color`.
    void draw(sf::RenderTarget& target, sf::RenderStates states, const sf::FloatRect& rect,
              sf::Color color = sf::Color::White) const;

private:
    struct ImageSource;
    void clipRects(sf::Vector2u textureSize, const sf::IntRect& part, const sf::IntRect& middle);

    // Non-owning; see the class comment.
    const sf::Texture* m_texture = nullptr;
    std::shared_ptr<ImageSource> m_image;
    sf::IntRect m_part;
    sf::IntRect m_middle;
};

}  // namespace gui
