#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include <SFML/System/Vector2.hpp>

namespace orn {

class Collider;
class Rigidbody;

/// Process-wide physics world: axis-aligned boxes, impulse-based contact resolution with partial positional
/// correction, and a brute-force pair search (every collider of every rigid body against every registered
/// collider). Game::update adds the scaled frame time to accumulator and, while it exceeds fixedStep, runs
/// collisionPass() then integrate(fixedStep).
///
/// A game object counts as live when it is active in itself and its hierarchy and not destroyed; a collider
/// or body when it is also enabled. Colliders and bodies may be created or destroyed from inside the
/// callbacks of a pass: new ones are appended and may take part in the same pass, destroyed ones are left as
/// null entries until the outermost pass ends.
class PhysicsManager {
public:
    /// The process-wide physics world, created on first use.
    static PhysicsManager& getInstance();

    /// Tests the pairs, calls the enter, stay and exit callbacks on every component of both game objects and
    /// resolves solid contacts. Exceptions from collision tests and callbacks pass through.
    void collisionPass();
    /// For every live, enabled body: applies its forces and pending impulses, damps the velocity and moves
    /// the game object by velocity x dt. dt in seconds.
    void integrate(float dt);

    /// Called by the Collider and Rigidbody constructors and destructors.
    void registerCollider(Collider* collider);
    /// Called by the Collider destructor.
    void unregisterCollider(Collider* collider);
    /// Called by the Rigidbody constructor.
    void registerRigidbody(Rigidbody* body);
    /// Called by the Rigidbody destructor.
    void unregisterRigidbody(Rigidbody* body);

    static constexpr float fixedStep = 0.004f;         ///< seconds
    static constexpr float penetrationSlop = 0.001f;   ///< pixels of depth left uncorrected
    static constexpr float correctionFraction = 0.8f;  ///< share of the remaining depth corrected per step

    /// Ids of the bodies whose colliders were handled in the current pass.
    std::unordered_set<std::uint32_t> processedBodies;
    /// Every live collider and body, in construction order; not owned, each unregisters itself when it is
    /// destroyed. Read-only for everybody else.
    std::vector<Collider*> colliders;
    /// Every live body, in the same way as colliders.
    std::vector<Rigidbody*> rigidbodies;
    /// Frame time in seconds not yet consumed by fixed steps.
    float accumulator = 0.f;

private:
    /// Where the pass stands; the pointers are re-checked against the lists after every callback.
    struct PairCursor {
        std::size_t bodyIndex;
        Rigidbody* body;
        std::size_t colliderIndex;
        Collider* collider;
        std::size_t otherIndex;
        Collider* other;
    };

    PhysicsManager() = default;

    /// Tests and handles one pair; false once the body or its collider has been destroyed by a callback.
    bool handlePair(const PairCursor& cursor);
    /// Calls the enter (first contact) and stay callbacks on x's components; false if a callback destroyed
    /// one of the pair.
    bool report(const PairCursor& cursor, Collider& x, Collider& y, float depth, sf::Vector2f normal);
    bool intact(const PairCursor& cursor) const;
    bool bodyIntact(const PairCursor& cursor) const;
    void compact();

    int passDepth = 0;
    bool hasDeadEntries = false;
};

}  // namespace orn
