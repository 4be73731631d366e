#pragma once

#include "engine/Component.hpp"
#include "gui/Label.hpp"

/// Pauses and resumes the level on the action "pause". While paused the world stands still (Time's
/// timeScale is 0, so physics, animation and every timer stop), the view is darkened with a "Paused" label
/// in the middle of the window, and of all actions only "pause" and "exit" answer, so the player can neither
/// move nor act. Its object must update before the objects that read input (a lower layer than the player's),
/// so that a pause holds from the frame in which it is pressed.
class PauseToggle : public orn::Component {
public:
    /// Name of the label in the scene's GUI.
    static constexpr const char* labelName = "pausedLabel";

    /// Adds the hidden shade and label to the current scene's GUI. Needs the theme "default_theme" and the
    /// font "default" in the asset manager; a missing one raises its missing-key AssetLoadException.
    void init() override;
    /// Toggles on a new press of "pause".
    void update() override;

    bool isPaused() const;
    /// Pausing keeps the time scale it replaces and resuming restores it.
    void setPaused(bool pause);

private:
    /// Both shared with the scene's GUI, which draws them and goes away with the scene; null before init.
    gui::Label::Ptr shade;
    gui::Label::Ptr label;
    float scaleBeforePause = 1.f;
    bool paused = false;
};
