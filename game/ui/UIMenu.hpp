#pragma once

#include "engine/Component.hpp"

/// Builds the title menu in the current scene's GUI: the title "KESTRITH" and the buttons Play (the level),
/// Credits (the credits scene) and Quit (closes the window), centred in the window and stacked downwards;
/// Play is highlighted (focused) when the menu opens.
class UIMenu : public orn::Component {
public:
    /// Needs the theme "default_theme" and the fonts "Improbable" and "PixelNarrative" in the asset manager;
    /// a missing one raises its missing-key AssetLoadException.
    void init() override;
};
