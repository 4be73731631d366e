#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace orn {

class Collider;

/// A uniform grid over world space that finds the colliders whose bounds may overlap a rectangle. It answers
/// with every collider that shares a grid cell with the rectangle, a superset of those that overlap it, so a
/// pair test on the answer finds every overlap. Colliders whose bounds cannot be placed (not finite, or
/// spread over too many cells) and those placed with placeEverywhere are part of every answer.
///
/// The grid keeps each collider's placement (its cell range, or that it is everywhere) in private fields of
/// the collider; it does not own the colliders, and each must be removed before it is destroyed.
class BroadPhase {
public:
    /// cellSize in world pixels, > 0.
    explicit BroadPhase(float cellSize);

    /// Places collider over bounds (world pixels), moving it if it was placed elsewhere.
    void place(Collider& collider, const sf::FloatRect& bounds);
    /// Makes collider part of every answer.
    void placeEverywhere(Collider& collider);
    /// Takes collider out of every answer; call it before the collider is destroyed. Does nothing for a
    /// collider that is not placed.
    void remove(Collider& collider);

    /// Appends to found every placed collider that may overlap bounds, each once, in no particular order.
    void query(const sf::FloatRect& bounds, std::vector<Collider*>& found);

    /// Changes whenever a collider changes cells, so that an earlier answer can be known to be current.
    std::uint64_t version() const { return changes; }

private:
    /// Inclusive cell coordinates.
    struct CellRange {
        std::int32_t left;
        std::int32_t top;
        std::int32_t right;
        std::int32_t bottom;
    };

    bool toCells(const sf::FloatRect& bounds, CellRange& cells) const;
    void unlink(Collider& collider);
    void link(Collider& collider, const CellRange& cells);
    static std::uint64_t key(std::int32_t x, std::int32_t y);

    float cellSize;
    /// Colliders by cell; emptied cells are kept for reuse. Not owned.
    std::unordered_map<std::uint64_t, std::vector<Collider*>> cells;
    /// Colliders in every answer; not owned.
    std::vector<Collider*> everywhere;
    std::uint64_t changes = 0;
    /// Marks the colliders already appended by the current query.
    std::uint64_t queryStamp = 0;
};

}  // namespace orn
