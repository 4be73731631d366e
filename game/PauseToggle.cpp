#include "game/PauseToggle.hpp"

#include "engine/AssetManager.hpp"
#include "engine/InputManager.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Time.hpp"

namespace {
constexpr unsigned labelTextSize = 48;
}  // namespace

void PauseToggle::init() {
    orn::AssetManager& assets = orn::AssetManager::getInstance();
    label = gui::Label::create("Paused");
    label->setTextSize(labelTextSize);
    label->setFont(*assets.getFont("default"));
    label->setRenderer(assets.getTheme("default_theme")->getRenderer("Title"));
    label->setPosition("&.width / 2 - width / 2", "&.height / 2 - height / 2");
    label->setVisible(paused);
    orn::SceneManager::getInstance().getCurrentScene()->gui.add(label, labelName);
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
        label->setVisible(paused);
    }
}
