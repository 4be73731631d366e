#include "game/ui/UIEndCard.hpp"

#include <SFML/Window/Joystick.hpp>
#include <SFML/Window/Keyboard.hpp>
#include <cmath>

#include "engine/AssetManager.hpp"
#include "engine/InputManager.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Time.hpp"
#include "game/scenes/MenuScene.hpp"
#include "gui/Button.hpp"
#include "gui/Label.hpp"
#include "gui/RendererData.hpp"

namespace {
constexpr unsigned titleTextSize = 64;
constexpr unsigned lineTextSize = 32;
const char* const centredX = "&.width / 2 - width / 2";

gui::Label::Ptr makeLine(const std::string& text, const gui::RendererData& look, const sf::Font& font,
                         const char* y) {
    auto line = gui::Label::create(text);
    line->setTextSize(lineTextSize);
    line->setFont(font);
    line->setRenderer(look);
    line->setPosition(centredX, y);
    return line;
}

void toMenu() {
    orn::SceneManager::getInstance().loadScene<MenuScene>();
}
}  // namespace

UIEndCard::UIEndCard(float seconds) : secondsTaken(seconds) {}

std::string UIEndCard::formatTime(float seconds) {
    const long whole = seconds > 0.f ? static_cast<long>(std::floor(seconds)) : 0;
    const long rest = whole % 60;
    return std::to_string(whole / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

void UIEndCard::init() {
    orn::AssetManager& assets = orn::AssetManager::getInstance();
    const gui::Theme theme = *assets.getTheme("default_theme");
    const sf::Font& font = *assets.getFont("Improbable");
    gui::Gui& gui = orn::SceneManager::getInstance().getCurrentScene()->gui;

    // Under the words and as large as the window, so that a click anywhere leaves.
    auto anywhere = gui::Button::create();
    gui::RendererData clear;
    clear.setProperty("BackgroundColor", "Transparent");
    clear.setProperty("BorderColor", "Transparent");
    anywhere->setRenderer(clear);
    anywhere->setPosition(0, 0);
    anywhere->setSize("&.width", "&.height");
    anywhere->connect("pressed", toMenu);
    gui.add(anywhere);

    auto title = gui::Label::create("DAYBREAK");
    title->setTextSize(titleTextSize);
    title->setFont(*assets.getFont("PixelNarrative"));
    title->setRenderer(theme.getRenderer("Title"));
    title->setPosition(centredX, "height");
    gui.add(title);

    const gui::RendererData plain = theme.getRenderer("Label");
    gui::RendererData dim = plain;
    dim.setProperty("TextColor", "#5A6890");
    gui.add(makeLine("You made it through the night.", plain, font, "&.height / 2 + 16"));
    gui.add(
        makeLine("Time: " + formatTime(secondsTaken), theme.getRenderer("Title"), font, "&.height / 2 + 64"));
    gui.add(makeLine("Thanks for playing!", plain, font, "&.height / 2 + 112"));
    gui.add(makeLine("Press any key", dim, font, "&.height - 2 * height"));
}

void UIEndCard::update() {
    orn::InputManager& input = orn::InputManager::getInstance();
    bool pressed = false;
    // Every key and button is asked every frame, without stopping at the first, so that all held ones are
    // recorded as held.
    for (int key = 0; key < sf::Keyboard::KeyCount; ++key) {
        pressed = input.isKeyDown(static_cast<sf::Keyboard::Key>(key)) || pressed;
    }
    for (unsigned button = 0; button < sf::Joystick::ButtonCount; ++button) {
        pressed = input.isPadInputDown(orn::PadInput::button(button)) || pressed;
    }
    if (pressed && shown >= armSeconds) {
        toMenu();
    }
    shown += orn::Time::getInstance().deltaTime;
}
