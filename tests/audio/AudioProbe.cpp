// Plays the game's slime sound from a source 200 pixels to the listener's left for a second, through the
// engine's audio components, then exits normally so that OpenAL's file output is complete.
#include <SFML/System/Sleep.hpp>
#include <iostream>

#include "engine/AssetManager.hpp"
#include "engine/AudioListener.hpp"
#include "engine/AudioSource.hpp"
#include "engine/GameObject.hpp"
#include "engine/Scene.hpp"
#include "engine/Transform.hpp"

namespace {

class ProbeScene : public orn::Scene {
public:
    void init() override {}
    void unload() override {}
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: audio_probe DATA_ROOT/" << std::endl;
        return 2;
    }
    orn::AssetManager& assets = orn::AssetManager::getInstance();
    assets.rootPath = argv[1];
    assets.loadSound("slime", "slime_01.wav");
    {
        auto scene = std::make_shared<ProbeScene>();
        scene->createGameObject(1)->addComponent<orn::AudioListener>();
        orn::GameObject* slime = scene->createGameObject(3);
        slime->getTransform().lock()->setPosition({-200.f, 0.f});
        slime->addComponent<orn::AudioSource>("slime", true, true);
        scene->update();
        sf::sleep(sf::seconds(1.f));
    }
    return 0;
}
