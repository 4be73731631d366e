#pragma once

#include <array>
#include <memory>
#include <string>

#include "engine/Component.hpp"
#include "gui/Picture.hpp"

class Transmutation;

/// The level's overlay in the current scene's GUI: a health bar (widget name "healthBar") in the top-left
/// corner and, centred at the bottom, three framed form indicators (human, rat, minotaur from left to
/// right). Follows "playerHealthChanged" and "formsAvailableChanged", and each frame the player's active
/// form, whose frame is drawn warm-tinted. Each icon shows the middle of its 64 x 64 cell at a whole-number
/// scale, so that its pixels stay even next to the one-pixel lines of the frames.
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
    /// Marks the frame of the player's current form (none while the scene has no player), after the frame's
    /// form changes, and refits the icons' parts when the indicators changed size.
    void lateUpdate() override;

    /// Shared with the scene's GUI, which keeps them drawn.
    gui::Picture::Ptr ratIcon;
    gui::Picture::Ptr minotaurIcon;
    gui::Picture::Ptr humanIcon;

private:
    void markActiveForm(int form);
    void fitIcons();

    /// The frames in the order of the forms (human, rat, minotaur); shared with the scene's GUI.
    std::array<gui::Picture::Ptr, 3> frames;
    /// Refers to the asset manager's "indicator_bg", which the scene keeps loaded while its GUI draws.
    gui::Texture frame;
    /// A tinted copy of that frame; its pixels are shared with the frame pictures that show it.
    gui::Texture activeFrame;
    /// The player's form switcher, looked up while the scene has a player; owned by the player's object.
    std::weak_ptr<Transmutation> forms;
    /// The form whose frame is marked; -1 for none.
    int markedForm = -1;
    /// The indicator side the icon parts were fitted to, in GUI units.
    float fittedSide = 0.f;
};
