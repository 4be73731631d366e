#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_set>

#include "engine/Component.hpp"

namespace orn {

class Rigidbody;
class Transform;

/// A shape for the physics world. A collider linked to a rigid body of its game object moves and is resolved
/// with it; one without a body is static. A trigger reports contacts to its game object's components but is
/// never pushed apart. Registered with the physics world from construction to destruction.
class Collider : public Component {
public:
    Collider();
    /// Unregisters the collider and removes it from every rigid body that lists it.
    ~Collider() override;

    /// Links this collider to every rigid body of the owning game object, attached and pending.
    void init() override;
    /// Forgets all contacts without exit callbacks, so touching again later reports an enter.
    void onDisable() override;

    /// Tests this collider against other. On a hit, writes the unit normal along which this collider must
    /// move to leave other (y grows downwards) and the penetration depth in pixels, and returns true;
    /// otherwise writes nothing. Raises CollisionMethodNotImplementedException for a pair of shapes it cannot
    /// test.
    virtual bool checkCollision(Collider* other, sf::Vector2f* normal, float* depth) = 0;
    /// Where the collider lies, in world pixels, for the physics world's broad phase; nothing for a shape
    /// without bounds, which is then tested against every collider. Needs an owning game object.
    virtual std::optional<sf::FloatRect> getWorldBounds();

    /// A trigger reports contacts but is never pushed apart.
    bool isTrigger = false;
    /// The body this collider moves with, null for a static collider; not owned. The body clears it when
    /// it is destroyed.
    Rigidbody* rigidbody = nullptr;
    /// Component ids of the colliders touched in the last collision pass that tested the pair.
    std::unordered_set<std::uint32_t> contacts;

protected:
    /// The owning game object's transform, which lives as long as this collider's game object.
    Transform& ownerTransform();

private:
    friend class BroadPhase;
    friend class PhysicsManager;

    /// Where the broad phase keeps this collider.
    enum class Placement : std::uint8_t { None, Cells, Everywhere };

    Transform* transform = nullptr;
    /// Position in the physics world's list of colliders, kept by the physics world.
    std::size_t physicsIndex = 0;
    Placement placement = Placement::None;
    /// The inclusive grid cells the broad phase lists this collider in, while placement is Cells.
    std::int32_t cellLeft = 0;
    std::int32_t cellTop = 0;
    std::int32_t cellRight = 0;
    std::int32_t cellBottom = 0;
    /// The broad phase's last query that found this collider.
    std::uint64_t queryStamp = 0;
};

}  // namespace orn
