#pragma once

#include <memory>

#include "engine/Component.hpp"

namespace orn {
class Camera;
class GameObject;
}  // namespace orn

/// Moves the camera's object a fixed fraction of the way towards the player every second, for a smooth lag.
class CameraFollow : public orn::Component {
public:
    ~CameraFollow() override;

    void start() override;
    void update() override;

    float followSpeed = 5.f;  ///< fraction of the remaining distance covered per second
    /// The camera on the own object, which owns it.
    std::weak_ptr<orn::Camera> camera;
    /// The player's root, owned by the scene; expires when the player object is destroyed.
    std::weak_ptr<orn::GameObject> target;
};
