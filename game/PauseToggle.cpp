#include "game/PauseToggle.hpp"

#include "engine/AssetManager.hpp"
#include "engine/InputManager.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Time.hpp"
#include "gui/RendererData.hpp"

namespace {
constexpr unsigned labelTextSize = 48;
}  // namespace

void PauseToggle::init() {
    orn::AssetManager& assets = orn::AssetManager::getInstance();
    gui::Gui& gui = orn::SceneManager::getInstance().getCurrentScene()->gui;

    // The level darkened behind the label, so the word stands out over the player it is centred on.
    shade = gui::Label::create();
    gui::RendererData shadeLook;
    shadeLook.setProperty("BackgroundColor", "rgba(0, 0, 0, 140)");
    shade->setRenderer(shadeLook);
    shade->setPosition(0, 0);
    shade->setSize("&.width", "&.height");
    shade->setVisible(paused);

    gui::RendererData labelLook = assets.getTheme("default_theme")->getRenderer("Title");
    labelLook.setProperty("TextOutlineThickness", "2");
    label = gui::Label::create("Paused");
    label->setTextSize(labelTextSize);
    label->setFont(*assets.getFont("default"));
    label->setRenderer(labelLook);
    label->setPosition("&.width / 2 - width / 2", "&.height / 2 - height / 2");
    label->setVisible(paused);

    gui.add(shade);
    gui.add(label, labelName);
}

void PauseToggle::update() {
    if (orn::InputManager::getInstance().isActionDown("pause")) {
        setPaused(!paused);
    }
}

bool PauseToggle::isPaused() const {
    return paused;
}

void PauseToggle::setPaused(bool pause) {
    if (pause == paused) {
        return;
    }
    paused = pause;
    orn::Time& time = orn::Time::getInstance();
    orn::InputManager& input = orn::InputManager::getInstance();
    if (paused) {
        scaleBeforePause = time.timeScale;
        time.timeScale = 0.f;
        input.exclusiveActions = {"pause", "exit"};
    } else {
        time.timeScale = scaleBeforePause;
        input.exclusiveActions.clear();
    }
    if (label) {
        shade->setVisible(paused);
        label->setVisible(paused);
    }
}
