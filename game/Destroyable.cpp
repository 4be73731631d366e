#include "game/Destroyable.hpp"

#include <string>

#include "engine/GameObject.hpp"

Destroyable::~Destroyable() = default;

void Destroyable::start() {
    subscribe("destroyableKilled" + std::to_string(gameObject->id));
}

void Destroyable::onEvent(const std::string&, std::shared_ptr<orn::EventArgs>) {
    gameObject->destroy(0.f);
}
