#pragma once

#include <memory>
#include <string>

#include "engine/Component.hpp"
#include "gui/Picture.hpp"

/// The level's overlay in the current scene's GUI: a health bar (widget name "healthBar") in the top-left
/// corner and, centred at the bottom, three framed form indicators (human, rat, minotaur from left to
/// right). Follows "playerHealthChanged" and "formsAvailableChanged".
class UIHud : public orn::Component {
public:
    /// "playerHealthChanged" sets the bar to the health truncated to a whole number within 0 to 100;
    /// "formsAvailableChanged" shows exactly the icons of the available forms (the frames always stay).
    void onEvent(const std::string& eventName, std::shared_ptr<orn::EventArgs> args) override;
    ~UIHud() override;
    /// Needs the textures "indicator_bg" and "forms" and the theme "default_theme" in the asset manager; a
    /// missing one raises its missing-key AssetLoadException. All icons are visible until the first
    /// "formsAvailableChanged".
    void init() override;

    /// Shared with the scene's GUI, which keeps them drawn.
    gui::Picture::Ptr ratIcon;
    gui::Picture::Ptr minotaurIcon;
    gui::Picture::Ptr humanIcon;
};
