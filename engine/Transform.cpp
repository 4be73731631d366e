#include "engine/Transform.hpp"

#include <algorithm>

#include "engine/PhysicsManager.hpp"

namespace orn {

namespace {

void eraseChild(std::vector<Transform*>& children, Transform* child) {
    children.erase(std::remove(children.begin(), children.end(), child), children.end());
}

}  // namespace

Transform::~Transform() {
    if (parent) {
        eraseChild(parent->children, this);
        parent = nullptr;
    }
    while (!children.empty()) {
        children.back()->removeParent();
    }
}

sf::Vector2f Transform::getPosition() {
    updateCache();
    return position;
}

sf::Vector2f Transform::getScale() {
    updateCache();
    return scale;
}

float Transform::getRotation() {
    updateCache();
    return rotation;
}

const sf::Transform& Transform::getWorldMatrix() {
    updateCache();
    return worldMatrix;
}

const sf::Transform& Transform::getInverseWorldMatrix() {
    updateCache();
    return inverseWorldMatrix;
}

template <class Value>
void Transform::setLocal(Value& field, const Value& value) {
    if (value == field) {
        return;
    }
    field = value;
    localDirty = true;
    worldDirty = true;
    markChildrenWorldDirty();
}

void Transform::setLocalPosition(sf::Vector2f p) {
    setLocal(localPosition, p);
}

void Transform::setLocalScale(sf::Vector2f s) {
    setLocal(localScale, s);
}

void Transform::setLocalRotation(float degrees) {
    setLocal(localRotation, degrees);
}

void Transform::setPosition(sf::Vector2f worldPoint) {
    setLocalPosition({0.f, 0.f});
    updateCache();
    sf::Transform toLocal = inverseWorldMatrix;
    toLocal.scale(scale);
    setLocalPosition(toLocal.transformPoint(worldPoint));
}

void Transform::setParent(Transform* newParent) {
    if (newParent == parent) {
        return;
    }
    if (parent) {
        eraseChild(parent->children, this);
    }
    parent = newParent;
    if (parent) {
        parent->children.push_back(this);
    }
    worldDirty = true;
    markChildrenWorldDirty();
}

void Transform::removeParent() {
    if (!parent) {
        return;
    }
    eraseChild(parent->children, this);
    parent = nullptr;
    worldDirty = true;
    markChildrenWorldDirty();
}

void Transform::markWorldDirty() {
    worldDirty = true;
    markChildrenWorldDirty();
}

void Transform::markChildrenWorldDirty() {
    // Every change of world values passes here; the physics world's grid must follow it mid-pass.
    PhysicsManager::getInstance().transformChanged();
    for (Transform* child : children) {
        child->markWorldDirty();
    }
}

void Transform::updateCache() {
    if (localDirty) {
        localMatrix = sf::Transform::Identity;
        localMatrix.scale(localScale);
        localMatrix.rotate(localRotation);
        localMatrix.translate(localPosition);
        localDirty = false;
    }
    if (worldDirty) {
        if (parent) {
            parent->updateCache();
            worldMatrix = localMatrix * parent->worldMatrix;
            scale = {localScale.x * parent->scale.x, localScale.y * parent->scale.y};
            rotation = parent->rotation + localRotation;
            position = localPosition + parent->position;
        } else {
            worldMatrix = localMatrix;
            scale = localScale;
            rotation = localRotation;
            position = localPosition;
        }
        inverseWorldMatrix = worldMatrix.getInverse();
        worldDirty = false;
    }
}

}  // namespace orn
