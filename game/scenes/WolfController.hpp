#pragma once

#include "engine/Component.hpp"

/// Runs its object (a wolf sprite with the default origin, so the position is its top-left corner) from left
/// to right along the bottom edge of the visible area, again and again. The edges are recomputed every
/// frame from the window size through Camera::main, so the run follows a change of window size.
class WolfController : public orn::Component {
public:
    void start() override;
    /// Moves right by 195 world units per second of scaled frame time and starts over once past the right
    /// edge.
    void update() override;
    /// Places the wolf one frame width left of the visible area, standing on its bottom edge.
    void resetPosition();
};
