#pragma once

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/View.hpp>
#include <SFML/Window/Event.hpp>
#include <memory>
#include <string>
#include <vector>

#include "gui/Widget.hpp"

namespace gui {

// The root of a set of widgets drawn on one render target. Widgets are drawn in the order they were added
// (later ones on top) and the topmost widget under the mouse receives the mouse. The view's size is the
// parent size that layouts read as "&.width" and "&.height".
//
// Not copyable or movable: widgets point back at their Gui.
class Gui {
public:
    // No target; the view is SFML's default view until setView or setTarget.
    Gui();
    ~Gui();
    Gui(const Gui&) = delete;
    Gui& operator=(const Gui&) = delete;

    // `target` is not owned and must outlive the Gui or be replaced before it goes away. Also sets the
    // view to the target's default view (one unit per pixel).
    void setTarget(sf::RenderTarget& target);
    sf::RenderTarget* getTarget() const;

    // The view the widgets are drawn in; layouts follow its size from the next evaluation on.
    void setView(const sf::View& view);
    const sf::View& getView() const;

    // Feeds one window event to the widgets: the mouse moving or pressed over a widget that can take the
    // keyboard focus gives it the focus (over nothing the focus stays), a left press and release over a
    // button fire its "pressed" signal (handlers run inside this call). Mouse coordinates are
    // pixels of the target mapped through the view; without a target they are taken as view coordinates.
    // Returns whether a widget took the event.
    bool handleEvent(const sf::Event& event);

    // Draws every visible widget on the target in the GUI's view, then restores the target's previous
    // view. Does nothing without a target.
    void draw();

    // Adds `widget` on top of the others under `name` (empty names are allowed and never found by get).
    // A widget that is already in a Gui is moved here. Raises gui::Exception for an empty pointer.
    void add(const Widget::Ptr& widget, const std::string& name = "");

    // The first widget added under `name`, or null.
    Widget::Ptr get(const std::string& name) const;
    template <class T>
    std::shared_ptr<T> get(const std::string& name) const {
        return std::dynamic_pointer_cast<T>(get(name));
    }

    // Keyboard focus, for menus driven by keys or a game pad as well as the mouse: one highlighted widget
    // that the mouse and these calls move alike. Only visible, enabled widgets whose canFocus() is true take
    // the focus, in the order they were added. focusNext moves to the next such widget after the focused one
    // (the first when none is focused), wrapping around; focusPrevious likewise backwards (the last when none
    // is focused). Both leave the focus unchanged when no widget can take it.
    void focusNext();
    void focusPrevious();
    // Focuses `widget` (which must be in this Gui and able to take the focus), or clears the focus for
    // null. Returns whether the widget took it.
    bool setFocusedWidget(const Widget::Ptr& widget);
    // The focused widget, or null.
    Widget::Ptr getFocusedWidget() const;
    // Acts as a click on the focused widget when it is still visible and enabled (a button fires "pressed";
    // the handlers run inside this call). Returns whether a widget was activated.
    bool activateFocused();

    // Returns whether the widget was in this Gui.
    bool remove(const Widget::Ptr& widget);
    void removeAllWidgets();
    const std::vector<Widget::Ptr>& getWidgets() const;

private:
    sf::Vector2f mapPixel(int x, int y) const;
    // The topmost visible, enabled widget that handles the mouse and lies under `point`, or null.
    Widget* widgetAt(sf::Vector2f point) const;
    // Marks `hovered` (or nothing) as under the mouse and gives it the focus if it can take it.
    void updateHover(Widget* hovered);
    static bool isFocusable(const Widget& widget);
    // Focuses the first focusable widget met walking from the focused one by `step` (+1 or -1).
    void moveFocus(int step);

    // Non-owning; see setTarget.
    sf::RenderTarget* m_target = nullptr;
    sf::View m_view;
    std::vector<Widget::Ptr> m_widgets;
    std::vector<std::string> m_names;
};

}  // namespace gui
