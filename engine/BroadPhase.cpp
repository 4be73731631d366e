#include "engine/BroadPhase.hpp"

#include <algorithm>
#include <cmath>

#include "engine/Collider.hpp"

namespace orn {

namespace {

/// A collider spread over more cells than this is cheaper to test with everything than to list.
constexpr double maxCells = 4096.0;
/// Cell coordinates beyond this are not placed, so that they fit the key and never overflow.
constexpr double maxCoordinate = 1 << 30;

template <class T>
void eraseOne(std::vector<T*>& list, T* entry) {
    const auto found = std::find(list.begin(), list.end(), entry);
    if (found != list.end()) {
        *found = list.back();
        list.pop_back();
    }
}

}  // namespace

BroadPhase::BroadPhase(float cellSize) : cellSize(cellSize) {}

std::uint64_t BroadPhase::key(std::int32_t x, std::int32_t y) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) | static_cast<std::uint32_t>(y);
}

bool BroadPhase::toCells(const sf::FloatRect& bounds, CellRange& range) const {
    const double size = cellSize;
    const double left = std::floor(static_cast<double>(bounds.left) / size);
    const double top = std::floor(static_cast<double>(bounds.top) / size);
    const double right = std::floor((static_cast<double>(bounds.left) + bounds.width) / size);
    const double bottom = std::floor((static_cast<double>(bounds.top) + bounds.height) / size);
    // Written so that NaN fails every test.
    const bool finite = left >= -maxCoordinate && top >= -maxCoordinate && right <= maxCoordinate &&
                        bottom <= maxCoordinate && right >= left && bottom >= top;
    if (!finite || (right - left + 1.0) * (bottom - top + 1.0) > maxCells) {
        return false;
    }
    range = {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
             static_cast<std::int32_t>(right), static_cast<std::int32_t>(bottom)};
    return true;
}

void BroadPhase::place(Collider& collider, const sf::FloatRect& bounds) {
    CellRange range{};
    if (!toCells(bounds, range)) {
        placeEverywhere(collider);
        return;
    }
    if (collider.placement == Collider::Placement::Cells && collider.cellLeft == range.left &&
        collider.cellTop == range.top && collider.cellRight == range.right &&
        collider.cellBottom == range.bottom) {
        return;
    }
    unlink(collider);
    link(collider, range);
}

void BroadPhase::placeEverywhere(Collider& collider) {
    if (collider.placement == Collider::Placement::Everywhere) {
        return;
    }
    unlink(collider);
    everywhere.push_back(&collider);
    collider.placement = Collider::Placement::Everywhere;
    ++changes;
}

void BroadPhase::remove(Collider& collider) {
    unlink(collider);
}

void BroadPhase::link(Collider& collider, const CellRange& range) {
    for (std::int32_t x = range.left; x <= range.right; ++x) {
        for (std::int32_t y = range.top; y <= range.bottom; ++y) {
            cells[key(x, y)].push_back(&collider);
        }
    }
    collider.placement = Collider::Placement::Cells;
    collider.cellLeft = range.left;
    collider.cellTop = range.top;
    collider.cellRight = range.right;
    collider.cellBottom = range.bottom;
    ++changes;
}

void BroadPhase::unlink(Collider& collider) {
    if (collider.placement == Collider::Placement::Everywhere) {
        eraseOne(everywhere, &collider);
    } else if (collider.placement == Collider::Placement::Cells) {
        for (std::int32_t x = collider.cellLeft; x <= collider.cellRight; ++x) {
            for (std::int32_t y = collider.cellTop; y <= collider.cellBottom; ++y) {
                const auto cell = cells.find(key(x, y));
                if (cell != cells.end()) {
                    eraseOne(cell->second, &collider);
                }
            }
        }
    } else {
        return;
    }
    collider.placement = Collider::Placement::None;
    ++changes;
}

void BroadPhase::query(const sf::FloatRect& bounds, std::vector<Collider*>& found) {
    ++queryStamp;
    const auto add = [&](Collider* collider) {
        if (collider->queryStamp != queryStamp) {
            collider->queryStamp = queryStamp;
            found.push_back(collider);
        }
    };
    for (Collider* collider : everywhere) {
        add(collider);
    }
    CellRange range{};
    if (!toCells(bounds, range)) {
        // An unplaceable question may overlap anything.
        for (const auto& cell : cells) {
            for (Collider* collider : cell.second) {
                add(collider);
            }
        }
        return;
    }
    for (std::int32_t x = range.left; x <= range.right; ++x) {
        for (std::int32_t y = range.top; y <= range.bottom; ++y) {
            const auto cell = cells.find(key(x, y));
            if (cell != cells.end()) {
                for (Collider* collider : cell->second) {
                    add(collider);
                }
            }
        }
    }
}

}  // namespace orn
