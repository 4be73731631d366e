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
/// form, whose frame is drawn warm-tinted; after "formChangeRefused" the frame of the refused form blinks red
/// for flashSeconds. Each icon shows the middle of its 64 x 64 cell at a whole-number scale, so that its
/// pixels stay even next to the one-pixel lines of the frames.
class UIHud : public orn::Component {
public:
    /// "playerHealthChanged" sets the bar to the health truncated to a whole number within 0 to 100;
    /// "formsAvailableChanged" shows exactly the icons of the available forms (the frames always stay);
    /// "formChangeRefused" starts the refused form's blinking (again).
    void onEvent(const std::string& eventName, std::shared_ptr<orn::EventArgs> args) override;
    ~UIHud() override;
    /// Needs the textures "indicator_bg" and "forms" and the theme "default_theme" in the asset manager; a
    /// missing one raises its missing-key AssetLoadException. All icons are visible until the first
    /// "formsAvailableChanged".
    void init() override;
    /// Marks the frame of the player's current form (none while the scene has no player), after the frame's
    /// form changes, blinks a refused form's frame, and refits the icons' parts when the indicators changed
    /// size.
    void lateUpdate() override;

    /// Scaled seconds a refused form's frame blinks, in turns of blinkSeconds red and blinkSeconds plain.
    static constexpr float flashSeconds = 0.6f;
    static constexpr float blinkSeconds = 0.1f;

    /// Shared with the scene's GUI, which keeps them drawn.
    gui::Picture::Ptr ratIcon;
    gui::Picture::Ptr minotaurIcon;
    gui::Picture::Ptr humanIcon;

private:
    /// What a frame shows.
    enum class Look { Plain, Active, Refused };

    void showFrames(int activeForm);
    void fitIcons();

    /// The frames in the order of the forms (human, rat, minotaur); shared with the scene's GUI.
    std::array<gui::Picture::Ptr, 3> frames;
    /// Refers to the asset manager's "indicator_bg", which the scene keeps loaded while its GUI draws.
    gui::Texture frame;
    /// Tinted copies of that frame; their pixels are shared with the frame pictures that show them.
    gui::Texture activeFrame;
    gui::Texture refusedFrame;
    /// The player's form switcher, looked up while the scene has a player; owned by the player's object.
    std::weak_ptr<Transmutation> forms;
    /// What each frame shows now, in the order of the forms.
    std::array<Look, 3> looks{Look::Plain, Look::Plain, Look::Plain};
    /// The form refused last, and the scaled seconds since; it blinks while that is below flashSeconds.
    int refusedForm = -1;
    float refusedFor = flashSeconds;
    /// The indicator side the icon parts were fitted to, in GUI units.
    float fittedSide = 0.f;
};
