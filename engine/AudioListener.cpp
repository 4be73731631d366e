#include "engine/AudioListener.hpp"

#include <SFML/Audio/Listener.hpp>

#include "engine/DebugDraw.hpp"
#include "engine/GameObject.hpp"
#include "engine/Transform.hpp"

namespace orn {

AudioListener::~AudioListener() = default;

void AudioListener::followObject() {
    const sf::Vector2f position = gameObject->getTransform().lock()->getPosition();
    sf::Listener::setPosition(position.x, position.y, -10.f);
}

void AudioListener::start() {
    followObject();
}

void AudioListener::update() {
    followObject();
}

void AudioListener::drawDebug() {
    DebugDraw::drawCircle(gameObject->getTransform().lock()->getPosition(), 3.f, 1.f);
}

}  // namespace orn
