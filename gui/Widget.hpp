#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderStates.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gui/Layout.hpp"
#include "gui/Outline.hpp"

namespace gui {

class Gui;
class RendererData;

// Base of all widgets. A widget is placed in the GUI's view (one unit per window pixel when the scene sets
// the view that way) by layouts that are evaluated whenever the position or size is read, so they follow
// the view and the widgets they are bound to. Widgets are shared: the Gui holds them, and callers may keep
// pointers to change them later.
class Widget {
public:
    using Ptr = std::shared_ptr<Widget>;
    using ConstPtr = std::shared_ptr<const Widget>;

    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;
    virtual ~Widget();

    // Top-left corner in the GUI's view coordinates.
    void setPosition(Layout x, Layout y);
    sf::Vector2f getPosition() const;

    // Size in view units. Text widgets size themselves to their text until setSize is called.
    void setSize(Layout width, Layout height);
    sf::Vector2f getSize() const;
    // One edge (in view coordinates) or dimension, evaluating only the layouts that it needs, so that one
    // coordinate may depend on another of the same widget.
    float getLayoutProperty(Layout::Property property) const;

    // Size including everything drawn outside the widget's box; the same as getSize for these widgets.
    sf::Vector2f getFullSize() const;

    // Invisible widgets are neither drawn nor reached by the mouse; their layouts still evaluate.
    void setVisible(bool visible);
    bool isVisible() const;

    // Disabled widgets are drawn with their disabled look and ignore the mouse.
    void setEnabled(bool enabled);
    bool isEnabled() const;

    // Takes the looks of the widget from a renderer of a Theme (or one filled by hand). The values are
    // copied; textures stay shared with the theme. Properties the widget does not know are ignored.
    virtual void setRenderer(const RendererData& renderer);

    // Calls `handler` each time the widget fires `signal` (names are case-insensitive). Raises
    // gui::Exception naming the signal when the widget has no such signal.
    void connect(const std::string& signal, std::function<void()> handler);

    // Whether `point` (view coordinates) lies inside the widget's box.
    bool isMouseOnWidget(sf::Vector2f point) const;

    // The Gui the widget was added to, null when it is in none.
    Gui* getParent() const;

    // Whether the widget has the keyboard focus of its Gui (see Gui::focusNext).
    bool isFocused() const;
    // Whether the widget can take the keyboard focus while it is visible and enabled.
    virtual bool canFocus() const;

    // Draws the widget in view coordinates; `states` carries the GUI's render states.
    virtual void draw(sf::RenderTarget& target, sf::RenderStates states) const = 0;

protected:
    Widget();

    // Makes `signal` available to connect().
    void addSignal(const std::string& signal);
    void emit(const std::string& signal);

    // Size used until setSize is called, for widgets that size themselves; call enableAutoSize() in the
    // constructor of such a widget.
    void enableAutoSize();
    virtual sf::Vector2f getAutoSize() const;

    bool isMouseHovering() const;
    bool isMouseDown() const;
    // Opacity (0 to 1) from the renderer, applied to every colour the widget draws.
    sf::Color applyOpacity(sf::Color color) const;

    // Fills `rect` with `fill` inside `borders` and draws the borders around it in `border`; fully
    // transparent parts are skipped.
    static void drawBox(sf::RenderTarget& target, sf::RenderStates states, const sf::FloatRect& rect,
                        const Outline& borders, sf::Color border, sf::Color fill);
    // `rect` shrunk by `outline` on each side (never to a negative size).
    static sf::FloatRect shrink(const sf::FloatRect& rect, const Outline& outline);

    // Whether the widget takes part in mouse handling; the others let the mouse through to what lies below.
    virtual bool handlesMouse() const;
    // Called by the Gui when the left button went down and came up again over the widget.
    virtual void onClick();

private:
    friend class Gui;

    enum Slot { X, Y, Width, Height };
    float evaluate(const Layout& layout, Layout::Axis axis, Slot slot) const;
    sf::Vector2f parentSize() const;

    // Non-owning: set by Gui::add, cleared when the widget is removed or the Gui is destroyed.
    Gui* m_parent = nullptr;
    Layout m_x;
    Layout m_y;
    Layout m_width;
    Layout m_height;
    bool m_autoSize = false;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_hover = false;
    bool m_mouseDown = false;
    bool m_focused = false;
    float m_opacity = 1.f;
    // Guards against layouts that depend on themselves, which would otherwise recurse without end.
    mutable std::array<bool, 4> m_evaluating{};
    std::map<std::string, std::vector<std::function<void()>>> m_signals;
};

}  // namespace gui
