#pragma once

#include <memory>

#include "gui/Outline.hpp"
#include "gui/TextWidget.hpp"
#include "gui/Texture.hpp"

namespace gui {

// A push button with a centred text. Signal "pressed": fired once when the left mouse button went down
// over the button and comes up over it again, or when the Gui activates it while it has the focus.
// The focused button shows its hover look (the mouse focuses the button it moves onto), and its down look
// while the mouse holds it down.
//
// Renderer properties: TextColor, BackgroundColor, BorderColor, Texture and TextStyle, each also with the
// suffixes Hover, Down and Disabled (a missing Down look falls back to Hover, a missing Hover or Disabled
// look to the normal one), Borders (none when the renderer has none), TextOutlineColor, TextOutlineThickness,
// Opacity. A texture replaces the background colour of its state.
//
// Without a size the button is as high as 1.25 text lines plus its borders and as wide as its text plus
// one text line, plus its borders.
class Button : public TextWidget {
public:
    using Ptr = std::shared_ptr<Button>;

    static Ptr create(const sf::String& text = "");

    void setRenderer(const RendererData& renderer) override;
    void draw(sf::RenderTarget& target, sf::RenderStates states) const override;
    bool canFocus() const override;

protected:
    explicit Button(const sf::String& text);

    sf::Vector2f getAutoSize() const override;
    bool handlesMouse() const override;
    void onClick() override;

private:
    enum State { Normal, Hover, Down, Disabled, StateCount };
    struct Look {
        sf::Color text;
        sf::Color background;
        sf::Color border;
        Texture texture;
        sf::Uint32 style;
    };

    State currentState() const;

    Look m_looks[StateCount];
    Outline m_borders{2.f, 2.f, 2.f, 2.f};
};

}  // namespace gui
