#include "engine/Scene.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <stdexcept>
#include <string>

#include "engine/Camera.hpp"
#include "engine/DebugDraw.hpp"
#include "engine/GameObject.hpp"
#include "engine/GameObjectNotFoundException.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Time.hpp"
#include "engine/Transform.hpp"

namespace orn {

GameObject* Scene::createGameObject(int layer) {
    if (layer < 0 || layer >= layerCount) {
        throw std::out_of_range("Layer '" + std::to_string(layer) + "' is outside the layers 0 to 7!");
    }
    auto object = std::make_shared<GameObject>(this, layer);
    pendingObjects.push_back(object);
    return object.get();
}

void Scene::destroy(GameObject* object, float delay) {
    if (!object) {
        return;
    }
    std::shared_ptr<GameObject> held = findGameObject(object->id);
    if (!held) {
        return;
    }
    if (auto transform = held->getTransform().lock()) {
        // Copy: destroying a child never unlinks it, but a copy keeps the walk independent of that.
        const std::vector<Transform*> children = transform->getChildren();
        for (Transform* child : children) {
            if (child->gameObject) {
                child->gameObject->destroy(delay);
            }
        }
    }
    if (delay == 0.f) {
        if (held->destroyed) {
            return;
        }
        held->destroyed = true;
        objectsToDestroy.push_back(std::move(held));
    } else {
        delayedDestroys.push_back({std::move(held), Time::getInstance().time + delay});
    }
}

std::shared_ptr<GameObject> Scene::findGameObject(std::uint32_t id) const {
    for (const auto& layer : layers) {
        auto found = layer.find(id);
        if (found != layer.end()) {
            return found->second;
        }
    }
    for (const auto& pending : pendingObjects) {
        if (pending->id == id) {
            return pending;
        }
    }
    return {};
}

std::weak_ptr<GameObject> Scene::getGameObject(std::uint32_t id) const {
    auto found = findGameObject(id);
    if (!found) {
        throw GameObjectNotFoundException("GameObject with id '" + std::to_string(id) + "' was not found!");
    }
    return found;
}

void Scene::removeObject(const std::shared_ptr<GameObject>& object) {
    auto& layer = layers[static_cast<std::size_t>(object->layer)];
    auto found = layer.find(object->id);
    // An object queued twice (say, by an immediate and a delayed destroy) is removed, and told so, once.
    if (found == layer.end() || found->second != object) {
        return;
    }
    object->callOnComponents(&Component::onDestroy);
    layer.erase(object->id);
}

void Scene::applyStructuralChanges() {
    while (!pendingObjects.empty() || !objectsToDestroy.empty()) {
        std::vector<std::shared_ptr<GameObject>> entering;
        entering.swap(pendingObjects);
        for (auto& object : entering) {
            if (object->hasPendingComponents()) {
                componentsPending = true;
            }
            auto& layer = layers[static_cast<std::size_t>(object->layer)];
            layer.emplace_hint(layer.end(), object->id, object);
        }
        std::vector<std::shared_ptr<GameObject>> leaving;
        leaving.swap(objectsToDestroy);
        for (auto& object : leaving) {
            removeObject(object);
        }
    }
}

void Scene::attachComponents() {
    while (componentsPending) {
        componentsPending = false;
        bool attached = false;
        for (auto& layer : layers) {
            for (auto& entry : layer) {
                if (entry.second->hasPendingComponents()) {
                    entry.second->attachPendingComponents();
                    attached = true;
                }
            }
        }
        if (!attached) {
            return;
        }
        callQueued(&GameObject::componentsToInit, &Component::init);
        callQueued(&GameObject::componentsToStart, &Component::start);
    }
}

void Scene::callQueued(std::vector<std::shared_ptr<Component>> GameObject::*queue,
                       void (Component::*operation)()) {
    for (auto& layer : layers) {
        for (auto& entry : layer) {
            // Taken out first: the calls may add components, which wait for the next attachment pass.
            std::vector<std::shared_ptr<Component>> due;
            due.swap((*entry.second).*queue);
            for (auto& component : due) {
                ((*component).*operation)();
            }
        }
    }
}

void Scene::applyDelayedDestroys() {
    const float now = Time::getInstance().time;
    std::size_t position = 0;
    while (position < delayedDestroys.size()) {
        if (delayedDestroys[position].time <= now) {
            std::shared_ptr<GameObject> object = std::move(delayedDestroys[position].object);
            delayedDestroys.erase(delayedDestroys.begin() + static_cast<std::ptrdiff_t>(position));
            removeObject(object);
        } else {
            ++position;
        }
    }
}

template <class Operation>
void Scene::forEachActiveComponent(Operation operation) {
    for (auto& layer : layers) {
        for (auto& entry : layer) {
            GameObject& object = *entry.second;
            if (!object.isActive()) {
                continue;
            }
            for (auto& component : object.components) {
                operation(*component.second);
            }
        }
    }
}

void Scene::update() {
    applyStructuralChanges();
    attachComponents();
    applyDelayedDestroys();
    forEachActiveComponent([](Component& component) { component.update(); });
    forEachActiveComponent([](Component& component) { component.lateUpdate(); });
    while (!cameraQueue.empty()) {
        Camera* camera = cameraQueue.back();
        cameraQueue.pop_back();
        camera->apply();
    }
    resetGuiView();
}

void Scene::drawComponents(bool debug) {
    if (debug) {
        forEachActiveComponent([](Component& component) {
            DebugDraw::color = sf::Color::White;
            component.drawDebug();
        });
        return;
    }
    forEachActiveComponent([this](Component& component) {
        if (batchSprites) {
            component.drawInto(spriteBatch);
        } else {
            component.draw();
        }
    });
    spriteBatch.flush();
}

void Scene::resetGuiView() {
    sf::RenderWindow* window = SceneManager::getInstance().getWindow();
    if (!window) {
        return;
    }
    const sf::Vector2f size(window->getSize());
    const auto scale = static_cast<float>(SceneManager::getInstance().getPixelScale());
    gui.setView(sf::View(sf::FloatRect(0.f, 0.f, size.x / scale, size.y / scale)));
}

}  // namespace orn
