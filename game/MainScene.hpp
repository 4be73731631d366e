#pragma once

#include "engine/Scene.hpp"

/// The level: loads its assets and "main.tmx" and builds the camera, the tile layers, the HUD, the way back
/// to the menu and every map object.
class MainScene : public orn::Scene {
public:
    void init() override;
    void unload() override;

    /// Loads the textures, sprite sheets, animator files and sound the level's objects use, into the scene
    /// store.
    static void loadLevelAssets();
};
