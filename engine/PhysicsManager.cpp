#include "engine/PhysicsManager.hpp"

#include <algorithm>
#include <cmath>

#include "engine/Collider.hpp"
#include "engine/Collision.hpp"
#include "engine/GameObject.hpp"
#include "engine/Rigidbody.hpp"
#include "engine/Transform.hpp"

namespace orn {

namespace {

/// Grid cell edge in world pixels: about a character's size, a few tiles.
constexpr float cellSize = 64.f;

bool isLive(const Component& component) {
    return component.enabled && component.gameObject && component.gameObject->isActive();
}

sf::Vector2f factors(const Rigidbody& body) {
    return {static_cast<float>(body.axisFactors.x), static_cast<float>(body.axisFactors.y)};
}

/// Adds offset to the local position of the body's game object (and so moves its subtree).
void moveBody(Rigidbody& body, sf::Vector2f offset) {
    if (!body.gameObject) {
        return;
    }
    if (const auto transform = body.gameObject->getTransform().lock()) {
        transform->setLocalPosition(transform->getLocalPosition() + offset);
    }
}

void resolveAgainstStatic(Rigidbody& body, sf::Vector2f n, float depth) {
    if (body.mass == 0.f) {
        return;
    }
    // A body that is not pushed by other bodies still yields to level geometry, at half the impulse.
    const bool immovable = body.infiniteMass || body.inverseMass == 0.f;
    const float a = immovable ? 1.f : body.inverseMass;
    const float s = immovable ? 1.f : 0.f;
    const float vn = n.x * body.velocity.x + n.y * body.velocity.y;
    if (vn == 0.f) {
        return;
    }
    const float e = std::min(body.restitution, 1.f);
    const float j = -(1.f + e) * vn / (a + s);
    const sf::Vector2f f = factors(body);
    if (body.isKinematic) {
        return;
    }
    body.velocity.x += n.x * j * a * f.x;
    body.velocity.y += n.y * j * a * f.y;
    const float k =
        std::max(depth - PhysicsManager::penetrationSlop, 0.f) / (a + s) * PhysicsManager::correctionFraction;
    moveBody(body, {n.x * k * a * f.x, n.y * k * a * f.y});
}

void resolveBetweenBodies(Rigidbody& first, Rigidbody& second, sf::Vector2f n, float depth) {
    if (first.mass == 0.f && second.mass == 0.f) {
        return;
    }
    float a = first.infiniteMass ? 0.f : first.inverseMass;
    float b = second.infiniteMass ? 0.f : second.inverseMass;
    if (a == 0.f && b == 0.f) {
        a = 1.f;
        b = 1.f;
    }
    const float vn =
        (first.velocity.y - second.velocity.y) * n.y + (first.velocity.x - second.velocity.x) * n.x;
    if (vn == 0.f) {
        return;
    }
    const float e = std::min(first.restitution, second.restitution);
    const float j = -(1.f + e) * vn / (a + b);
    const sf::Vector2f impulse(n.x * j, n.y * j);
    const sf::Vector2f fa = factors(first);
    const sf::Vector2f fb = factors(second);
    if (!first.isKinematic) {
        first.velocity.x += impulse.x * a * fa.x;
        first.velocity.y += impulse.y * a * fa.y;
    }
    if (!second.isKinematic) {
        second.velocity.x -= impulse.x * b * fb.x;
        second.velocity.y -= impulse.y * b * fb.y;
    }
    const float k =
        std::max(depth - PhysicsManager::penetrationSlop, 0.f) / (a + b) * PhysicsManager::correctionFraction;
    const sf::Vector2f correction(n.x * k, n.y * k);
    if (!first.isKinematic) {
        moveBody(first, {correction.x * a * fa.x, correction.y * a * fa.y});
    }
    if (!second.isKinematic) {
        moveBody(second, {correction.x * -b * fb.x, correction.y * -b * fb.y});
    }
}

/// Pushes collider (of a rigid body's turn) out of other; triggers are never resolved.
void resolve(Collider& collider, Collider& other, float depth, sf::Vector2f normal) {
    if (collider.isTrigger || other.isTrigger || !collider.rigidbody) {
        return;
    }
    if (other.rigidbody) {
        resolveBetweenBodies(*collider.rigidbody, *other.rigidbody, normal, depth);
    } else {
        resolveAgainstStatic(*collider.rigidbody, normal, depth);
    }
}

template <class T>
void forget(std::vector<T*>& list, T* entry, bool leaveNull) {
    if (leaveNull) {
        std::replace(list.begin(), list.end(), entry, static_cast<T*>(nullptr));
    } else {
        list.erase(std::remove(list.begin(), list.end(), entry), list.end());
    }
}

template <class T>
void dropNulls(std::vector<T*>& list) {
    list.erase(std::remove(list.begin(), list.end(), nullptr), list.end());
}

}  // namespace

PhysicsManager& PhysicsManager::getInstance() {
    // Never destroyed, so that colliders and bodies released by other process-wide objects at exit can
    // still unregister themselves.
    static PhysicsManager* const instance = new PhysicsManager();
    return *instance;
}

PhysicsManager::PhysicsManager() : grid(cellSize) {}

void PhysicsManager::registerCollider(Collider* collider) {
    collider->physicsIndex = colliders.size();
    colliders.push_back(collider);
    byId[collider->id] = collider;
}

void PhysicsManager::unregisterCollider(Collider* collider) {
    const bool inPass = passDepth > 0;
    grid.remove(*collider);
    const auto entry = byId.find(collider->id);
    if (entry != byId.end() && entry->second == collider) {
        byId.erase(entry);
    }
    forget(colliders, collider, inPass);
    if (!inPass) {
        for (std::size_t index = collider->physicsIndex; index < colliders.size(); ++index) {
            colliders[index]->physicsIndex = index;
        }
    }
    for (Rigidbody* body : rigidbodies) {
        if (body) {
            forget(body->colliders, collider, inPass);
        }
    }
    hasDeadEntries = hasDeadEntries || inPass;
}

void PhysicsManager::registerRigidbody(Rigidbody* body) {
    rigidbodies.push_back(body);
}

void PhysicsManager::unregisterRigidbody(Rigidbody* body) {
    const bool inPass = passDepth > 0;
    forget(rigidbodies, body, inPass);
    hasDeadEntries = hasDeadEntries || inPass;
}

void PhysicsManager::compact() {
    dropNulls(colliders);
    for (std::size_t index = 0; index < colliders.size(); ++index) {
        colliders[index]->physicsIndex = index;
    }
    dropNulls(rigidbodies);
    for (Rigidbody* body : rigidbodies) {
        dropNulls(body->colliders);
    }
    hasDeadEntries = false;
}

bool PhysicsManager::bodyIntact(const PairCursor& cursor) const {
    return rigidbodies[cursor.bodyIndex] == cursor.body &&
           cursor.colliderIndex < cursor.body->colliders.size() &&
           cursor.body->colliders[cursor.colliderIndex] == cursor.collider;
}

bool PhysicsManager::intact(const PairCursor& cursor) const {
    return bodyIntact(cursor) && colliders[cursor.otherIndex] == cursor.other;
}

namespace {

/// Calls call on every component of object, from a snapshot taken now, each kept alive for its call; stops
/// as soon as a callback has destroyed one of the pair. Returns whether the pair is still intact.
template <class Intact, class Call>
bool notifyAll(GameObject* object, const Intact& intact, const Call& call) {
    for (const auto& entry : object->getComponents()) {
        if (!intact()) {
            return false;
        }
        if (const auto component = entry.lock()) {
            call(*component);
        }
    }
    return intact();
}

}  // namespace

bool PhysicsManager::report(const PairCursor& cursor, Collider& x, Collider& y, float depth,
                            sf::Vector2f normal) {
    const Collision record{&x, &y, depth, normal};
    const bool trigger = x.isTrigger || y.isTrigger;
    const auto stillIntact = [&] { return intact(cursor); };
    if (x.contacts.count(y.id) == 0) {
        const bool kept = notifyAll(x.gameObject, stillIntact, [&](Component& component) {
            trigger ? component.onTriggerEnter(record) : component.onCollisionEnter(record);
        });
        if (!kept) {
            return false;
        }
    }
    const bool kept = notifyAll(x.gameObject, stillIntact, [&](Component& component) {
        trigger ? component.onTriggerStay(record) : component.onCollisionStay(record);
    });
    if (!kept) {
        return false;
    }
    if (x.contacts.insert(y.id).second) {
        addedContacts.emplace_back(y.id, x.physicsIndex);
    }
    return true;
}

bool PhysicsManager::handlePair(const PairCursor& cursor) {
    Collider& collider = *cursor.collider;
    Collider& other = *cursor.other;
    const std::uint64_t changesBefore = transformChanges;
    // Callbacks may move anything; the grid must see it before the next pair is chosen.
    const auto placeAfterCallbacks = [&] {
        if (gridActive && transformChanges != changesBefore) {
            placeAll(placedCount);
        }
    };
    sf::Vector2f normal(0.f, 0.f);
    float depth = 0.f;
    if (collider.checkCollision(&other, &normal, &depth)) {
        const bool kept =
            report(cursor, collider, other, depth, normal) && report(cursor, other, collider, depth, normal);
        placeAfterCallbacks();
        if (kept) {
            resolve(collider, other, depth, normal);
            if (collider.rigidbody) {
                placeMoved(*collider.rigidbody);
            }
            if (other.rigidbody) {
                placeMoved(*other.rigidbody);
            }
        }
        return bodyIntact(cursor);
    }

    // Most pairs never touched; skipping the hash of an empty set keeps misses cheap.
    const bool removedFromCollider = !collider.contacts.empty() && collider.contacts.erase(other.id) > 0;
    const bool removedFromOther = !other.contacts.empty() && other.contacts.erase(collider.id) > 0;
    const auto stillIntact = [&] { return intact(cursor); };
    if (removedFromCollider && (collider.isTrigger || other.isTrigger)) {
        if (notifyAll(collider.gameObject, stillIntact,
                      [&](Component& component) { component.onTriggerExit(&other); })) {
            notifyAll(other.gameObject, stillIntact,
                      [&](Component& component) { component.onTriggerExit(&collider); });
        }
    } else if (removedFromOther) {
        if (notifyAll(collider.gameObject, stillIntact,
                      [&](Component& component) { component.onCollisionExit(&other); })) {
            notifyAll(other.gameObject, stillIntact,
                      [&](Component& component) { component.onCollisionExit(&collider); });
        }
    }
    placeAfterCallbacks();
    return bodyIntact(cursor);
}

void PhysicsManager::placeOne(Collider& collider) {
    // A shape without bounds is tested with everything.
    const std::optional<sf::FloatRect> bounds =
        collider.gameObject ? collider.getWorldBounds() : std::optional<sf::FloatRect>();
    if (bounds) {
        grid.place(collider, *bounds);
    } else {
        grid.placeEverywhere(collider);
    }
}

void PhysicsManager::placeAll(std::size_t placed) {
    for (std::size_t index = 0; index < placed; ++index) {
        if (Collider* collider = colliders[index]) {
            placeOne(*collider);
        }
    }
}

void PhysicsManager::placeSubtree(Transform& transform) {
    for (Transform* child : transform.getChildren()) {
        if (GameObject* object = child->getGameObject()) {
            for (const auto& entry : object->components) {
                if (auto* collider = dynamic_cast<Collider*>(entry.second.get())) {
                    placeOne(*collider);
                }
            }
            for (const auto& pending : object->pendingComponents) {
                if (auto* collider = dynamic_cast<Collider*>(pending.get())) {
                    placeOne(*collider);
                }
            }
        }
        placeSubtree(*child);
    }
}

void PhysicsManager::placeMoved(Rigidbody& body) {
    if (!gridActive) {
        return;
    }
    for (Collider* collider : body.colliders) {
        if (collider && collider->physicsIndex < placedCount) {
            placeOne(*collider);
        }
    }
    if (body.gameObject) {
        if (const auto transform = body.gameObject->getTransform().lock()) {
            placeSubtree(*transform);
        }
    }
}

void PhysicsManager::indexContacts() {
    heldContacts.clear();
    addedContacts.clear();
    for (std::size_t index = 0; index < placedCount; ++index) {
        if (const Collider* collider = colliders[index]) {
            for (const std::uint32_t id : collider->contacts) {
                heldContacts.emplace_back(id, index);
            }
        }
    }
    std::sort(heldContacts.begin(), heldContacts.end());
}

void PhysicsManager::gatherCandidates(Collider& collider, std::size_t placed, Turn& turn) {
    turn.candidates.clear();
    turn.found.clear();
    const auto add = [&](std::size_t index) {
        if (index < placed) {
            turn.candidates.push_back(index);
        }
    };
    // Near it: the grid, asked with a margin for the rounding of the pair test's centre arithmetic.
    if (const std::optional<sf::FloatRect> box = collider.getWorldBounds()) {
        const sf::FloatRect& bounds = *box;
        const float margin = 1.f + 1e-5f * (std::abs(bounds.left) + std::abs(bounds.top) +
                                            std::abs(bounds.width) + std::abs(bounds.height));
        grid.query({bounds.left - margin, bounds.top - margin, bounds.width + 2.f * margin,
                    bounds.height + 2.f * margin},
                   turn.found);
    } else {
        grid.query({0.f, 0.f, NAN, NAN}, turn.found);
    }
    for (const Collider* found : turn.found) {
        add(found->physicsIndex);
    }
    // In contact from either side: a miss with them ends the contact.
    for (const std::uint32_t id : collider.contacts) {
        const auto partner = byId.find(id);
        if (partner != byId.end()) {
            add(partner->second->physicsIndex);
        }
    }
    const auto held = std::equal_range(heldContacts.begin(), heldContacts.end(),
                                       std::make_pair(collider.id, std::size_t{0}),
                                       [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto entry = held.first; entry != held.second; ++entry) {
        add(entry->second);
    }
    for (const auto& entry : addedContacts) {
        if (entry.first == collider.id) {
            add(entry.second);
        }
    }
    std::sort(turn.candidates.begin(), turn.candidates.end());
    turn.candidates.erase(std::unique(turn.candidates.begin(), turn.candidates.end()), turn.candidates.end());
}

bool PhysicsManager::visit(const PairCursor& cursor) {
    const Collider* collider = cursor.collider;
    const Collider* other = cursor.other;
    if (!other || !isLive(*other) || other->gameObject->id == collider->gameObject->id ||
        (other->rigidbody && processedBodies.count(other->rigidbody->id) != 0) || other->id == collider->id) {
        return true;
    }
    return handlePair(cursor);
}

bool PhysicsManager::walkAll(PairCursor cursor, std::size_t first) {
    for (cursor.otherIndex = first; cursor.otherIndex < colliders.size(); ++cursor.otherIndex) {
        cursor.other = colliders[cursor.otherIndex];
        if (!visit(cursor)) {
            return false;
        }
    }
    return true;
}

bool PhysicsManager::walkCandidates(PairCursor cursor, std::size_t placed) {
    Turn& turn = turns[static_cast<std::size_t>(passDepth - 1)];
    gatherCandidates(*cursor.collider, placed, turn);
    std::uint64_t version = grid.version();
    std::size_t next = 0;
    while (next < turn.candidates.size()) {
        cursor.otherIndex = turn.candidates[next];
        cursor.other = colliders[cursor.otherIndex];
        if (!visit(cursor)) {
            return false;
        }
        if (grid.version() == version) {
            ++next;
            continue;
        }
        // Something changed cells: choose the rest again, after the pair just handled.
        const std::size_t done = cursor.otherIndex;
        gatherCandidates(*cursor.collider, placed, turn);
        version = grid.version();
        next = static_cast<std::size_t>(
            std::upper_bound(turn.candidates.begin(), turn.candidates.end(), done) - turn.candidates.begin());
    }
    // Colliders made during the pass are not in the grid.
    return walkAll(cursor, placed);
}

void PhysicsManager::collisionPass() {
    // Destroyed entries stay null until the outermost pass ends, also when a callback throws.
    struct PassScope {
        PhysicsManager& physics;
        explicit PassScope(PhysicsManager& owner) : physics(owner) { ++physics.passDepth; }
        ~PassScope() {
            if (--physics.passDepth == 0) {
                physics.gridActive = false;
                if (physics.hasDeadEntries) {
                    physics.compact();
                }
            }
        }
    } scope(*this);

    // A pass run from a callback walks every pair and leaves the outer pass's grid to it.
    const bool useGrid = !bruteForce && passDepth == 1;
    if (useGrid) {
        gridActive = true;
        placedCount = colliders.size();
        placeAll(placedCount);
        indexContacts();
        if (turns.empty()) {
            turns.resize(1);
        }
    }
    processedBodies.clear();
    for (std::size_t bodyIndex = 0; bodyIndex < rigidbodies.size(); ++bodyIndex) {
        Rigidbody* body = rigidbodies[bodyIndex];
        if (!body) {
            continue;
        }
        const std::uint32_t bodyId = body->id;
        for (std::size_t colliderIndex = 0;
             rigidbodies[bodyIndex] == body && colliderIndex < body->colliders.size(); ++colliderIndex) {
            Collider* collider = body->colliders[colliderIndex];
            if (!collider || !isLive(*collider)) {
                continue;
            }
            const PairCursor cursor{bodyIndex, body, colliderIndex, collider, 0, nullptr};
            // A collider made during the pass has no place in the grid yet.
            if (useGrid && collider->physicsIndex < placedCount) {
                walkCandidates(cursor, placedCount);
            } else {
                walkAll(cursor, 0);
            }
        }
        processedBodies.insert(bodyId);
    }
}

void PhysicsManager::integrate(float dt) {
    for (Rigidbody* body : rigidbodies) {
        if (!body || !isLive(*body)) {
            continue;
        }
        sf::Vector2f sum(0.f, 0.f);
        for (const sf::Vector2f& force : body->forces) {
            sum += force;
        }
        for (const sf::Vector2f& impulse : body->impulses) {
            sum += impulse;
        }
        body->impulses.clear();
        const sf::Vector2f f = factors(*body);
        body->acceleration = {sum.x * body->inverseMass * f.x, sum.y * body->inverseMass * f.y};
        body->velocity += body->acceleration;
        body->velocity *= body->damping;
        moveBody(*body, body->velocity * dt);
    }
}

}  // namespace orn
