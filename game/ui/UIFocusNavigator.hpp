#pragma once

#include "engine/Component.hpp"

/// Lets the current scene's GUI be used without a mouse: the action "menuUp" moves the focus (the one
/// highlighted button, which the mouse moves too) to the previous button, "menuDown" to the next (from
/// nothing: the first or the last), and "menuSelect" presses the focused button.
class UIFocusNavigator : public orn::Component {
public:
    /// Binds the three actions to the arrow keys and Enter, and to a pad's D-pad, left stick and A
    /// (PadLayout). Called by the menu scenes' init.
    static void bindActions();

    void update() override;
};
