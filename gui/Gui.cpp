#include "gui/Gui.hpp"

#include <algorithm>

#include "gui/Exception.hpp"

namespace gui {

Gui::Gui() = default;

Gui::~Gui() {
    removeAllWidgets();
}

void Gui::setTarget(sf::RenderTarget& target) {
    m_target = &target;
    m_view = target.getDefaultView();
}

sf::RenderTarget* Gui::getTarget() const {
    return m_target;
}

void Gui::setView(const sf::View& view) {
    m_view = view;
}

const sf::View& Gui::getView() const {
    return m_view;
}

bool Gui::handleEvent(const sf::Event& event) {
    // Handlers may add or remove widgets; the copy keeps every widget of this event alive.
    const std::vector<Widget::Ptr> widgets = m_widgets;
    switch (event.type) {
        case sf::Event::MouseMoved: {
            Widget* hovered = widgetAt(mapPixel(event.mouseMove.x, event.mouseMove.y));
            updateHover(hovered);
            return hovered != nullptr;
        }
        case sf::Event::MouseButtonPressed: {
            Widget* hovered = widgetAt(mapPixel(event.mouseButton.x, event.mouseButton.y));
            updateHover(hovered);
            if (hovered != nullptr && event.mouseButton.button == sf::Mouse::Left) {
                hovered->m_mouseDown = true;
            }
            return hovered != nullptr;
        }
        case sf::Event::MouseButtonReleased: {
            Widget* hovered = widgetAt(mapPixel(event.mouseButton.x, event.mouseButton.y));
            updateHover(hovered);
            if (event.mouseButton.button != sf::Mouse::Left) {
                return hovered != nullptr;
            }
            const bool click = hovered != nullptr && hovered->m_mouseDown;
            for (const auto& widget : widgets) {
                widget->m_mouseDown = false;
            }
            if (click) {
                hovered->onClick();
            }
            return hovered != nullptr;
        }
        case sf::Event::MouseLeft:
            updateHover(nullptr);
            return false;
        default:
            return false;
    }
}

void Gui::draw() {
    if (m_target == nullptr) {
        return;
    }
    const sf::View previous = m_target->getView();
    m_target->setView(m_view);
    for (const auto& widget : m_widgets) {
        if (widget->isVisible()) {
            widget->draw(*m_target, sf::RenderStates::Default);
        }
    }
    m_target->setView(previous);
}

void Gui::add(const Widget::Ptr& widget, const std::string& name) {
    if (widget == nullptr) {
        throw Exception("Cannot add an empty widget to the GUI under the name '" + name + "'!");
    }
    if (widget->m_parent != nullptr) {
        widget->m_parent->remove(widget);
    }
    widget->m_parent = this;
    m_widgets.push_back(widget);
    m_names.push_back(name);
}

Widget::Ptr Gui::get(const std::string& name) const {
    if (name.empty()) {
        return nullptr;
    }
    const auto found = std::find(m_names.begin(), m_names.end(), name);
    return found != m_names.end() ? m_widgets[static_cast<std::size_t>(found - m_names.begin())] : nullptr;
}

bool Gui::isFocusable(const Widget& widget) {
    return widget.isVisible() && widget.isEnabled() && widget.canFocus();
}

void Gui::moveFocus(int step) {
    const auto count = static_cast<int>(m_widgets.size());
    const auto focused = std::find_if(m_widgets.begin(), m_widgets.end(),
                                      [](const Widget::Ptr& widget) { return widget->m_focused; });
    // Without a focused widget the walk starts just outside the list, so its first step lands on an end.
    int index =
        focused != m_widgets.end() ? static_cast<int>(focused - m_widgets.begin()) : (step > 0 ? -1 : count);
    for (int tried = 0; tried < count; ++tried) {
        index = ((index + step) % count + count) % count;
        if (isFocusable(*m_widgets[static_cast<std::size_t>(index)])) {
            setFocusedWidget(m_widgets[static_cast<std::size_t>(index)]);
            return;
        }
    }
}

void Gui::focusNext() {
    moveFocus(1);
}

void Gui::focusPrevious() {
    moveFocus(-1);
}

bool Gui::setFocusedWidget(const Widget::Ptr& widget) {
    const bool takes = widget != nullptr && widget->m_parent == this && isFocusable(*widget);
    if (widget != nullptr && !takes) {
        return false;
    }
    for (const auto& each : m_widgets) {
        each->m_focused = each == widget;
    }
    return takes;
}

Widget::Ptr Gui::getFocusedWidget() const {
    const auto found = std::find_if(m_widgets.begin(), m_widgets.end(),
                                    [](const Widget::Ptr& widget) { return widget->m_focused; });
    return found != m_widgets.end() ? *found : nullptr;
}

bool Gui::activateFocused() {
    // Held here so that a handler removing the widget cannot end it during its own call.
    const Widget::Ptr focused = getFocusedWidget();
    if (focused == nullptr || !focused->isVisible() || !focused->isEnabled()) {
        return false;
    }
    focused->onClick();
    return true;
}

bool Gui::remove(const Widget::Ptr& widget) {
    const auto found = std::find(m_widgets.begin(), m_widgets.end(), widget);
    if (found == m_widgets.end()) {
        return false;
    }
    (*found)->m_parent = nullptr;
    (*found)->m_hover = false;
    (*found)->m_mouseDown = false;
    (*found)->m_focused = false;
    m_names.erase(m_names.begin() + (found - m_widgets.begin()));
    m_widgets.erase(found);
    return true;
}

void Gui::removeAllWidgets() {
    for (const auto& widget : m_widgets) {
        widget->m_parent = nullptr;
        widget->m_hover = false;
        widget->m_mouseDown = false;
        widget->m_focused = false;
    }
    m_widgets.clear();
    m_names.clear();
}

const std::vector<Widget::Ptr>& Gui::getWidgets() const {
    return m_widgets;
}

sf::Vector2f Gui::mapPixel(int x, int y) const {
    if (m_target == nullptr) {
        return {static_cast<float>(x), static_cast<float>(y)};
    }
    return m_target->mapPixelToCoords({x, y}, m_view);
}

Widget* Gui::widgetAt(sf::Vector2f point) const {
    for (auto it = m_widgets.rbegin(); it != m_widgets.rend(); ++it) {
        Widget& widget = **it;
        if (widget.isVisible() && widget.isEnabled() && widget.handlesMouse() &&
            widget.isMouseOnWidget(point)) {
            return &widget;
        }
    }
    return nullptr;
}

void Gui::updateHover(Widget* hovered) {
    for (const auto& widget : m_widgets) {
        widget->m_hover = widget.get() == hovered;
    }
    if (hovered != nullptr && isFocusable(*hovered)) {
        for (const auto& widget : m_widgets) {
            widget->m_focused = widget.get() == hovered;
        }
    }
}

}  // namespace gui
