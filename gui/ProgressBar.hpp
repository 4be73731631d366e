#pragma once

#include <memory>

#include "gui/Outline.hpp"
#include "gui/Texture.hpp"
#include "gui/Widget.hpp"

namespace gui {

// A bar filled from the left in proportion to its value between minimum and maximum (default 0 to 100,
// value 0, size 160 x 20). The value is kept within the range. Signal "ValueChanged": fired when the value
// changes.
//
// Renderer properties: BackgroundColor, FillColor, BorderColor, Borders (none when the renderer has none),
// TextureBackground, TextureFill, Opacity.
class ProgressBar : public Widget {
public:
    using Ptr = std::shared_ptr<ProgressBar>;

    static Ptr create();

    // Raising the minimum above the maximum raises the maximum with it, and lowering the maximum below the
    // minimum lowers the minimum; the value is clamped again in both cases.
    void setMinimum(unsigned minimum);
    unsigned getMinimum() const;
    void setMaximum(unsigned maximum);
    unsigned getMaximum() const;

    void setValue(unsigned value);
    unsigned getValue() const;

    void setRenderer(const RendererData& renderer) override;
    void draw(sf::RenderTarget& target, sf::RenderStates states) const override;

protected:
    ProgressBar();

private:
    void clampValue();

    unsigned m_minimum = 0;
    unsigned m_maximum = 100;
    unsigned m_value = 0;
    sf::Color m_background = sf::Color(245, 245, 245);
    sf::Color m_fill = sf::Color(0, 110, 255);
    sf::Color m_border = sf::Color(60, 60, 60);
    Outline m_borders{1.f, 1.f, 1.f, 1.f};
    Texture m_backgroundTexture;
    Texture m_fillTexture;
};

}  // namespace gui
