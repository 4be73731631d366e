#pragma once

#include <SFML/Graphics/Transform.hpp>
#include <SFML/System/Vector2.hpp>
#include <vector>

#include "engine/Component.hpp"

namespace orn {

/// Position, rotation and scale of a game object, with a parent/child hierarchy. World values are the
/// parent's world position plus the local position (not rotated or scaled by the parent), the product of the
/// scales and the sum of the rotations; they are computed lazily when read.
///
/// Parent and children are plain pointers to the transforms of other game objects of the same scene; a
/// transform unlinks itself from both sides when it is destroyed, so the links never dangle.
class Transform : public Component {
public:
    ~Transform() override;
    /// Draws nothing into the window, so it never splits the scene's sprite runs.
    void drawInto(SpriteBatch&) override {}

    sf::Vector2f getPosition();  ///< world position in pixels
    sf::Vector2f getScale();     ///< world scale
    float getRotation();         ///< world rotation in degrees
    /// Local to world coordinates.
    const sf::Transform& getWorldMatrix();
    /// World to local coordinates.
    const sf::Transform& getInverseWorldMatrix();

    /// Position relative to the parent, in pixels.
    sf::Vector2f getLocalPosition() const { return localPosition; }
    /// Scale relative to the parent.
    sf::Vector2f getLocalScale() const { return localScale; }
    /// Rotation relative to the parent, in degrees.
    float getLocalRotation() const { return localRotation; }
    /// The parent's transform, or null.
    Transform* getParent() const { return parent; }
    /// The children's transforms, in order of parenting.
    const std::vector<Transform*>& getChildren() const { return children; }

    /// Storing the current value changes nothing; otherwise this transform and its subtree become dirty.
    void setLocalPosition(sf::Vector2f p);
    /// As setLocalPosition, for the scale.
    void setLocalScale(sf::Vector2f s);
    /// As setLocalPosition, for the rotation in degrees.
    void setLocalRotation(float degrees);
    /// Places the object at a world point by solving for the local position.
    void setPosition(sf::Vector2f worldPoint);
    /// Keeps the local values, so the world position jumps to the new parent's plus the local position.
    void setParent(Transform* newParent);
    /// Makes this transform a root, keeping its local values.
    void removeParent();
    /// Makes this transform and its subtree recompute their world values when next read.
    void markWorldDirty();

    /// Brings the cached local matrix and world values up to date (parents first).
    void updateCache();

private:
    void markChildrenWorldDirty();
    /// What the local setters share: storing the current value changes nothing; otherwise the value is
    /// stored and this transform and its subtree become dirty.
    template <class Value>
    void setLocal(Value& field, const Value& value);

    sf::Transform worldMatrix;
    sf::Transform inverseWorldMatrix;
    sf::Transform localMatrix;
    sf::Vector2f localPosition{0.f, 0.f};
    sf::Vector2f position{0.f, 0.f};
    sf::Vector2f localScale{1.f, 1.f};
    sf::Vector2f scale{1.f, 1.f};
    float localRotation = 0.f;
    float rotation = 0.f;
    std::vector<Transform*> children;
    Transform* parent = nullptr;
    bool worldDirty = true;
    bool localDirty = true;
};

}  // namespace orn
