#pragma once

#include <SFML/System/Vector2.hpp>
#include <memory>
#include <string>
#include <type_traits>

namespace gui {

class Widget;

// One coordinate of a widget's position or size, kept as an expression and evaluated each time it is read,
// so it follows the GUI's view and the widgets it is bound to.
//
// A layout is built from a number, from an expression string, or from another widget with bindLeft() and
// friends, and combined with + - * /. Expression strings know numbers, + - * /, parentheses, unary minus,
// min(a, b), max(a, b), percentages ("50%" of the parent on the layout's own axis), the parent (the GUI's
// view) as "&" or "parent" with .width/.height (also .w/.h) and the widget's own width, height, left,
// top, right and bottom (left and top also as x and y), e.g. "&.width / 2 - width / 2".
//
// Layouts are immutable values; copies share their expression tree.
class Layout {
public:
    // The parent's dimension that a percentage refers to.
    enum class Axis { Horizontal, Vertical };
    // A widget's edge or dimension, as read by a bound layout.
    enum class Property { Left, Top, Right, Bottom, Width, Height };

    Layout();

    template <typename T, typename = std::enable_if_t<std::is_arithmetic_v<T>>>
    Layout(T value) : Layout(constant(static_cast<float>(value))) {}

    // Parses the expression (at most 1024 characters); raises gui::Exception naming it when it does not
    // parse.
    Layout(const char* expression);
    Layout(const std::string& expression);

    // Reads `property` of `widget` whenever evaluated; a widget that no longer exists reads 0. Only a weak
    // reference is kept.
    static Layout bind(const std::shared_ptr<const Widget>& widget, Property property);

    // Value in pixels of the GUI's view. `self` is the widget the layout belongs to (null: its own
    // dimensions read 0); `parentSize` is the size of the GUI's view. Division by zero gives 0. Raises
    // gui::Exception when the value depends on itself through the widgets it reads.
    float evaluate(const Widget* self, sf::Vector2f parentSize, Axis axis) const;

    friend Layout operator+(const Layout& left, const Layout& right);
    friend Layout operator-(const Layout& left, const Layout& right);
    friend Layout operator*(const Layout& left, const Layout& right);
    friend Layout operator/(const Layout& left, const Layout& right);
    Layout operator-() const;

    struct Node;

private:
    explicit Layout(std::shared_ptr<const Node> root);
    static Layout constant(float value);

    std::shared_ptr<const Node> m_root;
};

Layout bindLeft(const std::shared_ptr<Widget>& widget);
Layout bindTop(const std::shared_ptr<Widget>& widget);
Layout bindRight(const std::shared_ptr<Widget>& widget);
Layout bindBottom(const std::shared_ptr<Widget>& widget);
Layout bindWidth(const std::shared_ptr<Widget>& widget);
Layout bindHeight(const std::shared_ptr<Widget>& widget);

}  // namespace gui
