// Parses each line of the input as a layout expression and places a widget with the first four: left,
// top, width and height, in that order. Expressions may refer to the widget's own edges, so evaluation
// can meet a layout that depends on itself, which must be reported rather than recursed into.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gui/Exception.hpp"
#include "gui/Layout.hpp"
#include "gui/Picture.hpp"

namespace {

std::vector<gui::Layout> parseLines(const std::string& text) {
    std::vector<gui::Layout> layouts;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        try {
            layouts.emplace_back(text.substr(start, end - start));
        } catch (const gui::Exception&) {
            layouts.emplace_back(0);
        }
        start = end + 1;
    }
    return layouts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<gui::Layout> layouts = parseLines(text);
    const sf::Vector2f view(800.f, 600.f);
    for (const gui::Layout& layout : layouts) {
        layout.evaluate(nullptr, view, gui::Layout::Axis::Horizontal);
        layout.evaluate(nullptr, view, gui::Layout::Axis::Vertical);
    }
    layouts.resize(4);
    const auto widget = gui::Picture::create();
    widget->setPosition(layouts[0], layouts[1]);
    widget->setSize(layouts[2], layouts[3]);
    const gui::Layout::Property properties[] = {gui::Layout::Property::Left,  gui::Layout::Property::Top,
                                                gui::Layout::Property::Right, gui::Layout::Property::Bottom,
                                                gui::Layout::Property::Width, gui::Layout::Property::Height};
    for (const gui::Layout::Property property : properties) {
        try {
            widget->getLayoutProperty(property);
        } catch (const gui::Exception&) {
        }
    }
    try {
        widget->getPosition();
        widget->getSize();
    } catch (const gui::Exception&) {
    }
    return 0;
}
