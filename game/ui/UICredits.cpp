#include "game/ui/UICredits.hpp"

#include "engine/AssetManager.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "game/scenes/MenuScene.hpp"
#include "gui/Button.hpp"
#include "gui/Label.hpp"
#include "gui/Picture.hpp"

namespace {
constexpr unsigned textSize = 32;
const char* const centredX = "&.width / 2 - width / 2";
}  // namespace

void UICredits::init() {
    orn::AssetManager& assets = orn::AssetManager::getInstance();
    const gui::Theme theme = *assets.getTheme("default_theme");
    const sf::Font& font = *assets.getFont("Improbable");
    gui::Gui& gui = orn::SceneManager::getInstance().getCurrentScene()->gui;

    auto back = gui::Button::create("Back");
    back->setPosition(centredX, "&.height - height - height / 2");
    back->connect("pressed", [] { orn::SceneManager::getInstance().loadScene<MenuScene>(); });
    back->setTextSize(textSize);
    back->setFont(font);
    back->setRenderer(theme.getRenderer("Button"));

    auto credit = gui::Label::create("made by Orvel Quant and Besk Tarrow");
    credit->setPosition(centredX, "&.height / 2");
    credit->setTextSize(textSize);
    credit->setFont(font);
    credit->setRenderer(theme.getRenderer("Label"));

    // The logo image is shown at half its size.
    auto logo = gui::Picture::create(*assets.getTexture("ql_vrn"));
    logo->setSize("458 / 2", "316 / 2");
    logo->setPosition(centredX, gui::bindTop(credit) - logo->getSize().y);

    gui.add(back);
    gui.add(credit);
    gui.add(logo);
    gui.setFocusedWidget(back);
}
