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
    /// Sets tags to the mask of tagName alone; an unknown name raises std::out_of_range.
    void setTag(const std::string& tagName);

    /// Depth-first search of the descendants (each child before its own children); empty when none matches.
    std::weak_ptr<GameObject> findChildByName(const std::string& childName) const;
    /// As findChildByName, matching the first descendant that has the tag.
    std::weak_ptr<GameObject> findChildByTag(const std::string& tagName) const;

    /// Sets activeSelf and updates the activity of the descendants; every object whose isActive changes
    /// calls onEnable or onDisable on its components.
    void setActive(bool value);
    /// Active in itself and in its hierarchy, and not destroyed.
    bool isActive() const { return activeSelf && activeInHierarchy && !destroyed; }
    /// Forwards to the owning scene's destroy.
    void destroy(float delay = 0.f);

    /// The object's transform, owned by the object.
    std::weak_ptr<Transform> getTransform() const { return transform; }

    /// Moves the pending components into the attached map and onto the init and start lists.
    void attachPendingComponents();
    /// Whether components added since the last attachment pass wait to be attached.
    bool hasPendingComponents() const { return !pendingComponents.empty(); }
    /// Calls operation on every attached component, in map order.
    void callOnComponents(void (Component::*operation)());

    /// Unique among all game objects and components of the process.
    const std::uint32_t id;
    /// Free text, for lookups such as findChildByName and for messages.
    std::string name;
    /// Bit mask of the tags from the tag table.
    std::uint32_t tags = 0;
    /// Update and draw layer, 0 to 7.
    const int layer;
    /// The Transform among the components; the object owns it.
    std::weak_ptr<Transform> transform;
    /// The attached components by component id; the object owns them.
    std::unordered_map<std::uint32_t, std::shared_ptr<Component>> components;
    /// The owning scene; it owns this object.
    Scene* scene;
    /// Components added since the last attachment pass, in order of addition.
    std::vector<std::shared_ptr<Component>> pendingComponents;
    /// Attached components still waiting for init, and then for start.
    std::vector<std::shared_ptr<Component>> componentsToInit;
    /// Components whose init has run and whose start has not.
    std::vector<std::shared_ptr<Component>> componentsToStart;
    /// Set by destroy; the scene removes the object at a later update.
    bool destroyed = false;
    /// False while any ancestor is inactive.
    bool activeInHierarchy = true;
    /// The object's own flag, set by setActive.
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
