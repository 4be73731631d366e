#include "game/LevelExit.hpp"

#include "engine/Collider.hpp"
#include "engine/GameObject.hpp"
#include "engine/InputManager.hpp"
#include "engine/Time.hpp"

LevelExit::~LevelExit() = default;

void LevelExit::start() {
    transition = gameObject->getComponent<SceneTransition<EndScene>>();
}

void LevelExit::update() {
    if (!reached) {
        elapsed += orn::Time::getInstance().deltaTime;
    }
}

void LevelExit::onTriggerEnter(orn::Collision collision) {
    if (reached || !collision.other->getGameObject()->hasTag("Player")) {
        return;
    }
    auto fade = transition.lock();
    if (!fade) {
        return;
    }
    reached = true;
    // The player has arrived: no more walking, jumping or changing form while the view fades.
    orn::InputManager::getInstance().exclusiveActions = {"exit"};
    fade->fadeTo(std::make_shared<EndScene>(elapsed), fadeSeconds);
}
