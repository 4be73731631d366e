#pragma once

#include <SFML/Audio/Sound.hpp>
#include <string>

#include "engine/Component.hpp"

namespace orn {

/// A positional sound on its object, heard from the AudioListener. The buffer belongs to the asset manager,
/// whose sound store outlives every scene, and must be mono for the position to matter.
class AudioSource : public Component {
public:
    /// Raises AssetLoadException when no sound is loaded under soundKey.
    AudioSource(const std::string& soundKey, bool playOnStart, bool loop);
    ~AudioSource() override;
    /// Draws nothing into the window, so it never splits the scene's sprite runs.
    void drawInto(SpriteBatch&) override {}

    void init() override;
    void update() override;
    void drawDebug() override;

    /// Whether the sound starts playing in init.
    bool playOnStart;
    /// The playing sound; its buffer belongs to the asset manager.
    sf::Sound sound;

    static constexpr float minDistance = 100.f;  ///< pixels heard at full volume
    /// How fast the volume falls beyond minDistance (SFML's attenuation factor).
    static constexpr float attenuation = 10.f;

private:
    void followObject();
};

}  // namespace orn
