#pragma once

namespace gui {

// Widths of the four sides of a border or padding, in view units.
struct Outline {
    float left = 0.f;
    float top = 0.f;
    float right = 0.f;
    float bottom = 0.f;
};

}  // namespace gui
