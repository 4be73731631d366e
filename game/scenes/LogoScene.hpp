#pragma once

#include "engine/Scene.hpp"

/// The first scene of every run: the logo animation plays once, four times enlarged, in the middle of the
/// window; the menu follows after 1.85 seconds, or on Escape or a pad's A, B, Back or Start.
class LogoScene : public orn::Scene {
public:
    /// Raises the asset manager's exceptions when the logo's texture or sprite sheet cannot be loaded.
    void init() override;
    /// Erases every action binding and drops the scene's textures, fonts and tile maps.
    void unload() override;
};
