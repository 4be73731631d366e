#pragma once

#include <string>

#include "engine/Component.hpp"

/// The words of the end card in the current scene's GUI: the title, the night survived, the time taken and
/// a hint, over a click area as large as the window. A click, or a key or pad button newly pressed once the
/// card has shown for armSeconds, requests the menu.
class UIEndCard : public orn::Component {
public:
    /// secondsTaken: shown as minutes and whole seconds ("1:02").
    explicit UIEndCard(float secondsTaken);

    /// Needs the theme "default_theme" and the fonts "Improbable" and "PixelNarrative" in the asset manager;
    /// a missing one raises its missing-key AssetLoadException.
    void init() override;
    /// Asks the input manager about every key and pad button each frame, so that what was already held when
    /// the card appeared counts only once it is let go and pressed again.
    void update() override;

    /// "m:ss" for a duration in seconds, whole seconds rounded down; negative durations read as 0:00.
    static std::string formatTime(float seconds);

    /// Scaled seconds during which presses are not taken, so that a key still being pressed as the level
    /// ends does not skip the card.
    static constexpr float armSeconds = 0.5f;

    float secondsTaken;
    /// Scaled seconds since the card appeared.
    float shown = 0.f;
};
