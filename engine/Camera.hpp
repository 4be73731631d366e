#pragma once

#include <SFML/Graphics/View.hpp>

#include "engine/Component.hpp"

namespace orn {

/// Decides which part of the world the window shows: a view centred on the owner's world position, sized by
/// the window size divided by zoom. Cameras queue themselves in update and the scene applies them after
/// lateUpdate; the one applied last is Camera::main.
class Camera : public Component {
public:
    Camera() = default;
    ~Camera() override;
    /// Draws nothing into the window, so it never splits the scene's sprite runs.
    void drawInto(SpriteBatch&) override {}

    /// Applies at once when no camera is main yet, so a scene's first camera is in force from its first
    /// frame.
    void init() override;
    void update() override;
    /// Recomputes view from the window size, sets it on the window and becomes Camera::main.
    /// Raises NotInitializedException without a window.
    void apply();

    /// The view set on the window by the last apply.
    sf::View view;
    /// World units per window pixel are 1 / zoom.
    float zoom = 1.f;

    /// The camera applied most recently; cleared by its destructor, so it never dangles.
    static Camera* main;
};

}  // namespace orn
