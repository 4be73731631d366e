#pragma once

#include <SFML/Graphics/View.hpp>

#include "engine/Component.hpp"

namespace orn {

/// Decides which part of the world the window shows: a view centred on the owner's world position, zoom x
/// the pixel scale (SceneManager::getPixelScale) window pixels per world unit, filling the window or, with
/// letterbox, only the part of it that the scene manager's reference size takes at that scale. Cameras
/// queue themselves in update and the scene applies them after lateUpdate; the one applied last is
/// Camera::main.
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
    /// World units per window pixel are 1 / (zoom x the pixel scale).
    float zoom = 1.f;
    /// Whether every window shows the same part of the world: as much as the reference size shows at this
    /// zoom, in the middle of the window (scaled down to fit a window smaller than the reference size);
    /// the rest of the window stays as cleared. Without a reference size the view fills the window.
    bool letterbox = false;

    /// The camera applied most recently; cleared by its destructor, so it never dangles.
    static Camera* main;
};

}  // namespace orn
