#pragma once

#include "engine/Scene.hpp"

/// The level: loads its assets and "main.tmx" and builds the camera, the tile layers, the HUD, the way back
/// to the menu and every map object.
class MainScene : public orn::Scene {
public:
    void init() override;
    void unload() override;

    /// The level's actions: keys as always (Escape, A, D, W, S, Space, Enter, E) plus "pause" on P, and the
    /// pad (PadLayout): left stick and D-pad walk, A jumps, X slashes, Y changes form, Back leaves, Start
    /// pauses.
    static void bindActions();

    /// Loads the textures, sprite sheets, animator files and sound the level's objects use, into the scene
    /// store.
    static void loadLevelAssets();
};
