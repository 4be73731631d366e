#pragma once

#include "engine/Scene.hpp"

/// The end card that follows the level's exit: the night survived and the time the level took, with the
/// hero standing under the title (UIEndCard). Any key, pad button or click leads back to the menu, and so
/// does waiting returnAfter seconds.
class EndScene : public orn::Scene {
public:
    /// secondsTaken: the level's scaled play time, shown as minutes and seconds.
    explicit EndScene(float secondsTaken = 0.f);

    /// Loads the hero's sheet and the card's fonts (scene store); the GUI theme "default_theme" must already
    /// be in the global store (the menu loads it). Missing files or keys raise the asset manager's
    /// exceptions.
    void init() override;
    /// Erases every action binding and drops the scene's textures, fonts and tile maps.
    void unload() override;

    /// Seconds after which the card gives way to the menu by itself.
    static constexpr float returnAfter = 10.f;

    float secondsTaken;
};
