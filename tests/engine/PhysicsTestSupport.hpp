#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CoreTestSupport.hpp"
#include "engine/BoxCollider.hpp"
#include "engine/Collision.hpp"
#include "engine/PhysicsManager.hpp"
#include "engine/Rigidbody.hpp"
#include "engine/Transform.hpp"

namespace phystest {

/// Records every collision and trigger callback of its game object as "<object>.<callback> <other object>"
/// in a shared log, keeps the last record, and runs an optional hook from inside the callback.
class ContactLog : public orn::Component {
public:
    explicit ContactLog(std::shared_ptr<std::vector<std::string>> sharedLog) : log(std::move(sharedLog)) {}

    void onCollisionEnter(orn::Collision c) override { record("collisionEnter", c.other, &c); }
    void onCollisionStay(orn::Collision c) override { record("collisionStay", c.other, &c); }
    void onCollisionExit(orn::Collider* other) override { record("collisionExit", other, nullptr); }
    void onTriggerEnter(orn::Collision c) override { record("triggerEnter", c.other, &c); }
    void onTriggerStay(orn::Collision c) override { record("triggerStay", c.other, &c); }
    void onTriggerExit(orn::Collider* other) override { record("triggerExit", other, nullptr); }

    std::shared_ptr<std::vector<std::string>> log;
    orn::Collision last;
    std::function<void(const std::string& callback)> hook;

private:
    void record(const std::string& callback, orn::Collider* other, const orn::Collision* collision) {
        log->push_back(gameObject->name + "." + callback + " " + other->gameObject->name);
        if (collision) {
            last = *collision;
        }
        if (hook) {
            hook(callback);
        }
    }
};

/// A scene of named boxes for driving the physics world step by step.
class World {
public:
    std::shared_ptr<coretest::ScriptedScene> scene = std::make_shared<coretest::ScriptedScene>();
    std::shared_ptr<std::vector<std::string>> log = coretest::makeLog();
    orn::PhysicsManager& physics = orn::PhysicsManager::getInstance();

    /// A game object named name at position with a box of size (offset 0) and a contact log; with a rigid
    /// body when body is true. Call settle() before stepping so that init links collider and body.
    orn::GameObject* box(const std::string& name, sf::Vector2f position, sf::Vector2f size,
                         bool body = true) {
        orn::GameObject* object = scene->createGameObject(1);
        object->name = name;
        object->getTransform().lock()->setLocalPosition(position);
        object->addComponent<orn::BoxCollider>(sf::FloatRect(0.f, 0.f, size.x, size.y));
        if (body) {
            object->addComponent<orn::Rigidbody>();
        }
        object->addComponent<ContactLog>(log);
        return object;
    }
    void settle() { scene->update(); }
    void step(int count = 1) {
        for (int i = 0; i < count; ++i) {
            physics.collisionPass();
            physics.integrate(orn::PhysicsManager::fixedStep);
        }
    }
    std::vector<std::string> takeLog() {
        std::vector<std::string> entries = *log;
        log->clear();
        return entries;
    }

    static orn::Rigidbody& body(orn::GameObject* object) {
        return *object->getComponent<orn::Rigidbody>().lock();
    }
    static orn::BoxCollider& collider(orn::GameObject* object) {
        return *object->getComponent<orn::BoxCollider>().lock();
    }
    static ContactLog& contacts(orn::GameObject* object) {
        return *object->getComponent<ContactLog>().lock();
    }
    static sf::Vector2f position(orn::GameObject* object) {
        return object->getTransform().lock()->getPosition();
    }
};

}  // namespace phystest
