#pragma once

#include "engine/Scene.hpp"

/// The title screen: the game's title and the Play, Credits and Quit buttons (UIMenu) over a black
/// background along whose bottom edge a wolf runs (WolfController). The buttons are clicked with the mouse
/// or focused and pressed with the arrow keys and Enter or a pad (UIFocusNavigator).
class MenuScene : public orn::Scene {
public:
    /// Loads the wolf and logo sheets, the menu fonts (scene store) and the GUI theme "default_theme" (global
    /// store, so the credits and the level find it too). Missing files raise the asset manager's exceptions.
    void init() override;
    /// Erases every action binding and drops the scene's textures, fonts and tile maps.
    void unload() override;
};
