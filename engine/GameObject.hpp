#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/Component.hpp"

namespace orn {

class Scene;
class Transform;

/// An entity of a scene: a name, a tag mask, a layer, a Transform and any number of components.
/// Always created shared by Scene::createGameObject; owns its components.
class GameObject : public std::enable_shared_from_this<GameObject> {
public:
    /// Only Scene::createGameObject calls this. The scene owns the object and outlives it.
    GameObject(Scene* scene, int layer);

    /// Makes a T, adds it to the pending components (findable at once, attached at the next scene update)
    /// and returns it. The object owns it.
    template <class T, class... Args>
    T* addComponent(Args&&... args);

    /// The first component that is a T (subclasses match), attached ones first; empty when none is.
    template <class T>
    std::weak_ptr<T> getComponent() const;

    /// The attached, else pending, component with this id; raises ComponentNotFoundException otherwise.
    std::weak_ptr<Component> getComponentById(std::uint32_t componentId) const;
    /// The attached components, in map order.
    std::vector<std::weak_ptr<Component>> getComponents() const;

    /// Tag tests against the asset manager's tag table; an unknown name raises std::out_of_range.
    bool hasTag(const std::string& tagName) const;
    void setTag(const std::string& tagName);

    /// Depth-first search of the descendants (each child before its own children); empty when none matches.
    std::weak_ptr<GameObject> findChildByName(const std::string& childName) const;
    std::weak_ptr<GameObject> findChildByTag(const std::string& tagName) const;

    void setActive(bool value);
    /// Active in itself and in its hierarchy, and not destroyed.
    bool isActive() const { return activeSelf && activeInHierarchy && !destroyed; }
    /// Forwards to the owning scene's destroy.
    void destroy(float delay = 0.f);

    std::weak_ptr<Transform> getTransform() const { return transform; }

    /// Moves the pending components into the attached map and onto the init and start lists.
    void attachPendingComponents();
    bool hasPendingComponents() const { return !pendingComponents.empty(); }
    void callOnComponents(void (Component::*operation)());

    const std::uint32_t id;
    std::string name;
    std::uint32_t tags = 0;
    const int layer;
    std::weak_ptr<Transform> transform;
    std::unordered_map<std::uint32_t, std::shared_ptr<Component>> components;
    /// The owning scene; it owns this object.
    Scene* scene;
    std::vector<std::shared_ptr<Component>> pendingComponents;
    std::vector<std::shared_ptr<Component>> componentsToInit;
    std::vector<std::shared_ptr<Component>> componentsToStart;
    bool destroyed = false;
    bool activeInHierarchy = true;
    bool activeSelf = true;

private:
    template <class Predicate>
    std::weak_ptr<GameObject> findDescendant(const Predicate& matches) const;
    void markPendingComponents();
};

template <class T, class... Args>
T* GameObject::addComponent(Args&&... args) {
    auto component = std::make_shared<T>(std::forward<Args>(args)...);
    component->gameObject = this;
    pendingComponents.push_back(component);
    markPendingComponents();
    return component.get();
}

template <class T>
std::weak_ptr<T> GameObject::getComponent() const {
    for (const auto& entry : components) {
        if (auto match = std::dynamic_pointer_cast<T>(entry.second)) {
            return match;
        }
    }
    for (const auto& pending : pendingComponents) {
        if (auto match = std::dynamic_pointer_cast<T>(pending)) {
            return match;
        }
    }
    return {};
}

}  // namespace orn
