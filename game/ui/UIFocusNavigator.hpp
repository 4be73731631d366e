#pragma once

#include "engine/Component.hpp"

/// Lets the current scene's GUI be used without a mouse: the action "menuUp" moves the keyboard focus to
/// the previous button, "menuDown" to the next (the first press focuses the first or the last button; the
/// focused one shows its hover look), and "menuSelect" presses the focused button. The mouse keeps working
/// beside it.
class UIFocusNavigator : public orn::Component {
public:
    /// Binds the three actions to the arrow keys and Enter, and to a pad's D-pad, left stick and A
    /// (PadLayout). Called by the menu scenes' init.
    static void bindActions();

    void update() override;
};
