#pragma once

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Window/Event.hpp>
#include <stdexcept>
#include <string>

#include "gui/Button.hpp"
#include "gui/Gui.hpp"
#include "gui/RendererData.hpp"

/// A GUI drawn into an off-screen target of its own with the GUI tests' pixel font (glyphs 5 pixels of an
/// 8-pixel em wide, advance 6, line spacing one em), for tests that look at the pixels. Needs a GL context.
class GuiCanvas {
public:
    GuiCanvas(unsigned width, unsigned height) {
        if (!target.create(width, height) ||
            !font.loadFromFile(KESTRITH_SOURCE_DIR "/tests/gui/fixtures/gui-test-font.ttf")) {
            throw std::runtime_error("cannot make the GUI canvas");
        }
        gui.setTarget(target);
    }

    /// A button in the test font at size 16 added to the GUI; sized to its text unless size has a width.
    gui::Button::Ptr button(const std::string& text, const gui::RendererData& renderer, sf::Vector2f position,
                            sf::Vector2f size = {}) {
        auto button = gui::Button::create(text);
        button->setRenderer(renderer);
        button->setFont(font);
        button->setTextSize(16);
        button->setPosition(position.x, position.y);
        if (size.x > 0.f) {
            button->setSize(size.x, size.y);
        }
        gui.add(button);
        return button;
    }

    /// Clears to black, draws the GUI and reads the target back.
    sf::Image render() {
        target.clear(sf::Color::Black);
        gui.draw();
        target.display();
        return target.getTexture().copyToImage();
    }

    /// A mouse move (the position) or left button event at window pixel (x, y).
    static sf::Event mouse(sf::Event::EventType type, int x, int y) {
        sf::Event event;
        event.type = type;
        if (type == sf::Event::MouseMoved) {
            event.mouseMove = {x, y};
        } else {
            event.mouseButton = {sf::Mouse::Left, x, y};
        }
        return event;
    }

    /// How many pixels of area hold exactly color.
    static int count(const sf::Image& image, sf::IntRect area, sf::Color color) {
        int found = 0;
        for (int i = 0; i < area.width * area.height; ++i) {
            found += image.getPixel(unsigned(area.left + i % area.width),
                                    unsigned(area.top + i / area.width)) == color;
        }
        return found;
    }

    sf::RenderTexture target;
    sf::Font font;
    gui::Gui gui;
};
