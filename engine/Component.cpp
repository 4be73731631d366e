#include "engine/Component.hpp"

#include "engine/EventArgs.hpp"
#include "engine/EventBus.hpp"
#include "engine/GameObject.hpp"
#include "engine/IdGenerator.hpp"
#include "engine/SpriteBatch.hpp"

namespace orn {

Component::Component() : id(IdGenerator::next()) {}

Component::~Component() = default;

void Component::onEvent(const std::string&, std::shared_ptr<EventArgs>) {}
void Component::init() {}
void Component::start() {}
void Component::update() {}
void Component::lateUpdate() {}
void Component::onEnable() {}
void Component::onDisable() {}
void Component::draw() {}

void Component::drawInto(SpriteBatch& batch) {
    batch.flush();
    draw();
}
void Component::drawDebug() {}
void Component::onCollisionStay(Collision) {}
void Component::onCollisionEnter(Collision) {}
void Component::onCollisionExit(Collider*) {}
void Component::onTriggerStay(Collision) {}
void Component::onTriggerEnter(Collision) {}
void Component::onTriggerExit(Collider*) {}
void Component::onDestroy() {}

void Component::subscribe(const std::string& eventName) {
    std::weak_ptr<Component> self = gameObject ? gameObject->getComponentById(id) : weak_from_this();
    EventBus::getInstance().subscribe(eventName, self);
}

void Component::fireEvent(const std::string& eventName, std::shared_ptr<EventArgs> args) {
    args->sender = weak_from_this();
    EventBus::getInstance().fire(eventName, args);
}

}  // namespace orn
