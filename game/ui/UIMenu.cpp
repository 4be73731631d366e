#include "game/ui/UIMenu.hpp"

#include <SFML/Graphics/RenderWindow.hpp>

#include "engine/AssetManager.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "game/MainScene.hpp"
#include "game/scenes/CreditScene.hpp"
#include "gui/Button.hpp"
#include "gui/Label.hpp"

namespace {
constexpr unsigned buttonTextSize = 32;
constexpr unsigned titleTextSize = 64;
const char* const centredX = "&.width / 2 - width / 2";

gui::Button::Ptr makeButton(const sf::String& text, const gui::Theme& theme, const sf::Font& font) {
    auto button = gui::Button::create(text);
    button->setTextSize(buttonTextSize);
    button->setFont(font);
    button->setRenderer(theme.getRenderer("Button"));
    return button;
}

/// Half a button's height below `above`.
gui::Layout below(const gui::Button::Ptr& above) {
    return gui::bindBottom(above) + gui::bindHeight(above) / 2;
}
}  // namespace

void UIMenu::init() {
    orn::AssetManager& assets = orn::AssetManager::getInstance();
    const gui::Theme theme = *assets.getTheme("default_theme");
    const sf::Font& buttonFont = *assets.getFont("Improbable");
    gui::Gui& gui = orn::SceneManager::getInstance().getCurrentScene()->gui;

    auto play = makeButton("Play", theme, buttonFont);
    play->setPosition(centredX, "&.height / 2 - height / 2");
    play->connect("pressed", [] { orn::SceneManager::getInstance().loadScene<MainScene>(); });

    auto credits = makeButton("Credits", theme, buttonFont);
    credits->setPosition(centredX, below(play));
    credits->connect("pressed", [] { orn::SceneManager::getInstance().loadScene<CreditScene>(); });

    auto quit = makeButton("Quit", theme, buttonFont);
    quit->setPosition(centredX, below(credits));
    // Closing the window ends the main loop after this frame.
    quit->connect("pressed", [] { orn::SceneManager::getInstance().requireWindow().close(); });

    auto title = gui::Label::create("KESTRITH");
    title->setTextSize(titleTextSize);
    title->setFont(*assets.getFont("PixelNarrative"));
    title->setRenderer(theme.getRenderer("Title"));
    title->setPosition(centredX, "height");

    gui.add(play);
    gui.add(credits);
    gui.add(quit);
    gui.add(title);
    // Highlighted from the start, so Enter plays at once.
    gui.setFocusedWidget(play);
}
