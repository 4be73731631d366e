#pragma once

#include "engine/Component.hpp"

/// Builds the credits in the current scene's GUI: the makers' logo standing on a one-line credit text whose
/// top is at the window's vertical centre, and a Back button to the menu half a button height above the
/// bottom edge, highlighted (focused) from the start.
class UICredits : public orn::Component {
public:
    /// Needs the theme "default_theme", the font "Improbable" and the texture "ql_vrn" in the asset
    /// manager; a missing one raises its missing-key AssetLoadException.
    void init() override;
};
