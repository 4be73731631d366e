#pragma once

namespace orn {

/// Process-wide physics world, stepped at a fixed rate from the game loop.
class PhysicsManager {
public:
    static PhysicsManager& getInstance();

    void collisionPass();
    /// dt: the fixed step in seconds.
    void integrate(float dt);

    /// Frame time in seconds not yet consumed by fixed steps.
    float accumulator = 0.f;

private:
    PhysicsManager() = default;
};

}  // namespace orn
