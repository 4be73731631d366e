#include "engine/AudioSource.hpp"

#include "engine/AssetManager.hpp"
#include "engine/DebugDraw.hpp"
#include "engine/GameObject.hpp"
#include "engine/Transform.hpp"

namespace orn {

AudioSource::AudioSource(const std::string& soundKey, bool play, bool loop) : playOnStart(play) {
    sound.setLoop(loop);
    sound.setBuffer(*AssetManager::getInstance().getSound(soundKey));
    sound.setMinDistance(minDistance);
    sound.setAttenuation(attenuation);
}

AudioSource::~AudioSource() = default;

void AudioSource::followObject() {
    const sf::Vector2f position = gameObject->getTransform().lock()->getPosition();
    sound.setPosition(position.x, position.y, 0.f);
}

void AudioSource::init() {
    followObject();
    if (playOnStart) {
        sound.play();
    }
}

void AudioSource::update() {
    followObject();
}

void AudioSource::drawDebug() {
    const sf::Vector2f position = gameObject->getTransform().lock()->getPosition();
    DebugDraw::color = sf::Color::White;
    DebugDraw::drawCircle(position, 5.f, 1.f);
    DebugDraw::color = sf::Color::Cyan;
    DebugDraw::drawCircle(position, sound.getMinDistance(), 1.f);
}

}  // namespace orn
