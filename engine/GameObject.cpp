#include "engine/GameObject.hpp"

#include "engine/AssetManager.hpp"
#include "engine/ComponentNotFoundException.hpp"
#include "engine/IdGenerator.hpp"
#include "engine/Scene.hpp"
#include "engine/Transform.hpp"

namespace orn {

namespace {

bool parentObjectActive(const Transform& transform) {
    Transform* parent = transform.getParent();
    return !parent || !parent->gameObject || parent->gameObject->isActive();
}

void notifyActivityChange(GameObject& object, bool wasActive) {
    const bool isActive = object.isActive();
    if (wasActive == isActive) {
        return;
    }
    object.callOnComponents(isActive ? &Component::onEnable : &Component::onDisable);
}

void propagateActivity(Transform& transform, bool value) {
    for (Transform* child : transform.getChildren()) {
        GameObject* object = child->gameObject;
        if (!object) {
            continue;
        }
        const bool wasActive = object->isActive();
        if (!value) {
            object->activeInHierarchy = false;
        } else if (object->activeSelf && parentObjectActive(*child)) {
            object->activeInHierarchy = true;
        }
        notifyActivityChange(*object, wasActive);
        propagateActivity(*child, value);
    }
}

}  // namespace

GameObject::GameObject(Scene* owner, int objectLayer)
    : id(IdGenerator::next()), layer(objectLayer), scene(owner) {
    addComponent<Transform>();
    transform = getComponent<Transform>();
}

std::weak_ptr<Component> GameObject::getComponentById(std::uint32_t componentId) const {
    auto found = components.find(componentId);
    if (found != components.end()) {
        return found->second;
    }
    for (const auto& pending : pendingComponents) {
        if (pending->id == componentId) {
            return pending;
        }
    }
    throw ComponentNotFoundException("Component with id '" + std::to_string(componentId) + "' not found!");
}

std::vector<std::weak_ptr<Component>> GameObject::getComponents() const {
    std::vector<std::weak_ptr<Component>> result;
    result.reserve(components.size());
    for (const auto& entry : components) {
        result.push_back(entry.second);
    }
    return result;
}

bool GameObject::hasTag(const std::string& tagName) const {
    return (tags & AssetManager::getInstance().getTagMask(tagName)) != 0;
}

void GameObject::setTag(const std::string& tagName) {
    tags = AssetManager::getInstance().getTagMask(tagName);
}

template <class Predicate>
std::weak_ptr<GameObject> GameObject::findDescendant(const Predicate& matches) const {
    auto own = transform.lock();
    if (!own) {
        return {};
    }
    for (Transform* child : own->getChildren()) {
        GameObject* object = child->gameObject;
        if (!object) {
            continue;
        }
        if (matches(*object)) {
            return object->weak_from_this();
        }
        auto deeper = object->findDescendant(matches);
        if (!deeper.expired()) {
            return deeper;
        }
    }
    return {};
}

std::weak_ptr<GameObject> GameObject::findChildByName(const std::string& childName) const {
    return findDescendant([&](const GameObject& object) { return object.name == childName; });
}

std::weak_ptr<GameObject> GameObject::findChildByTag(const std::string& tagName) const {
    return findDescendant([&](const GameObject& object) { return object.hasTag(tagName); });
}

void GameObject::setActive(bool value) {
    const bool wasActive = isActive();
    activeSelf = value;
    auto own = transform.lock();
    if (!value) {
        activeInHierarchy = false;
    } else if (!own || parentObjectActive(*own)) {
        activeInHierarchy = true;
    }
    notifyActivityChange(*this, wasActive);
    if (own) {
        propagateActivity(*own, value);
    }
}

void GameObject::destroy(float delay) {
    if (scene) {
        scene->destroy(this, delay);
    }
}

void GameObject::attachPendingComponents() {
    std::vector<std::shared_ptr<Component>> batch;
    batch.swap(pendingComponents);
    for (auto& component : batch) {
        components[component->id] = component;
        componentsToInit.push_back(component);
        componentsToStart.push_back(component);
    }
}

void GameObject::callOnComponents(void (Component::*operation)()) {
    for (auto& entry : components) {
        ((*entry.second).*operation)();
    }
}

void GameObject::markPendingComponents() {
    if (scene) {
        scene->componentsPending = true;
    }
}

}  // namespace orn
