#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/BroadPhase.hpp"

namespace orn {

class Collider;
class Rigidbody;
class Transform;

/// Process-wide physics world: axis-aligned boxes, impulse-based contact resolution with partial positional
/// correction. Game::update adds the scaled frame time to accumulator and, while it exceeds fixedStep, runs
/// collisionPass() then integrate(fixedStep).
///
/// The pass visits the pairs of the pair walk (every collider of every rigid body against every registered
/// collider, in list order) but tests only those a grid finds near each other, plus the pairs that are in
/// contact: the skipped pairs are those whose test could only miss and that have no contact to end, so the
/// results, callbacks and their order are those of testing every pair. The grid follows every move made in
/// the pass (corrections, and transforms changed by callbacks) before the next pair is chosen. A callback
/// that changes a collider's offset, size or origin takes effect at the next move or pass.
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

    /// Called by Transform whenever a world position, scale or rotation may have changed.
    void transformChanged() { ++transformChanges; }

    /// Called by the Collider constructor.
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
    /// For tests: test every pair instead of the grid's candidates, as the reference the grid must match.
    bool bruteForce = false;

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

    /// The pass-local state of one collider's turn: its candidates, in list order.
    struct Turn {
        std::vector<std::size_t> candidates;
        std::vector<Collider*> found;
    };

    PhysicsManager();

    /// Walks the colliders from first to the end of the list, which may grow meanwhile; false when the turn
    /// ended because the body or its collider was destroyed.
    bool walkAll(PairCursor cursor, std::size_t first);
    /// Walks the candidates of the collider among the first `placed` entries; false as walkAll.
    bool walkCandidates(PairCursor cursor, std::size_t placed);
    void gatherCandidates(Collider& collider, std::size_t placed, Turn& turn);
    /// Applies the skip rules of the pair walk, then handles the pair; false as walkAll.
    bool visit(const PairCursor& cursor);
    /// Puts every collider among the first `placed` into the grid where it is now.
    void placeAll(std::size_t placed);
    void placeOne(Collider& collider);
    /// Re-places the colliders that move with body: its own and those of its transform's subtree.
    void placeMoved(Rigidbody& body);
    void placeSubtree(Transform& transform);
    void indexContacts();

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
    std::uint64_t transformChanges = 0;
    /// Set while an outermost pass walks the grid's candidates, which must then follow every move.
    bool gridActive = false;
    BroadPhase grid;
    /// Live colliders by component id, to find contact partners; not owned.
    std::unordered_map<std::uint32_t, Collider*> byId;
    /// (id in contacts, index of the collider holding it), sorted, as the pass began; then those added by the
    /// pass, unsorted.
    std::vector<std::pair<std::uint32_t, std::size_t>> heldContacts;
    std::vector<std::pair<std::uint32_t, std::size_t>> addedContacts;
    /// The pass's colliders placed in the grid: those listed when it began.
    std::size_t placedCount = 0;
    /// One per nested pass depth, so that a pass run from a callback keeps the outer pass's turn.
    std::vector<Turn> turns;
};

}  // namespace orn
