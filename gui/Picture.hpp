#pragma once

#include <SFML/Graphics/Texture.hpp>
#include <memory>

#include "gui/Texture.hpp"
#include "gui/Widget.hpp"

namespace gui {

// Shows a texture (or a part of one) stretched over the widget's box; a texture with a middle rectangle is
// drawn nine-sliced so that frames keep their borders. Without a size the picture is as large as the part.
//
// Renderer properties: Texture, Opacity.
class Picture : public Widget {
public:
    using Ptr = std::shared_ptr<Picture>;

    // The whole texture, which is not owned and must outlive the picture.
    static Ptr create(const sf::Texture& texture);
    static Ptr create(const Texture& texture = Texture());

    void setTexture(const Texture& texture);
    const Texture& getTexture() const;

    void setRenderer(const RendererData& renderer) override;
    void draw(sf::RenderTarget& target, sf::RenderStates states) const override;

protected:
    explicit Picture(const Texture& texture);

    sf::Vector2f getAutoSize() const override;

private:
    Texture m_texture;
};

}  // namespace gui
