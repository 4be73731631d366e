#pragma once

#include "engine/Scene.hpp"

/// The credits: the makers' logo above a one-line credit text, and a Back button to the menu (UICredits),
/// clicked or focused and pressed with the keys or a pad (UIFocusNavigator).
class CreditScene : public orn::Scene {
public:
    /// Loads the fonts and the makers' logo into the scene store; the GUI theme "default_theme" must already
    /// be in the global store (the menu loads it). Missing files or keys raise the asset manager's
    /// exceptions.
    void init() override;
    /// Erases every action binding and drops the scene's textures, fonts and tile maps.
    void unload() override;
};
