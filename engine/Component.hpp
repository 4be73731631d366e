#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/Collision.hpp"
#include "engine/IEventListener.hpp"

namespace orn {

class Collider;
class GameObject;
class SpriteBatch;
struct EventArgs;

/// Base of all behaviour. The engine drives components only through these virtual operations; every one has
/// an empty default. Components are owned by their game object through std::shared_ptr.
class Component : public IEventListener, public std::enable_shared_from_this<Component> {
public:
    Component();

    void onEvent(const std::string& eventName, std::shared_ptr<EventArgs> args) override;
    ~Component() override;

    /// Once, in the first scene update after the component was added; all init calls of one attachment
    /// pass come before any start call of that pass. Runs whether or not the owner is active.
    virtual void init();
    /// Once, after every init of the same attachment pass.
    virtual void start();
    /// Every frame while the owner is active.
    virtual void update();
    /// Every frame while the owner is active, after every update of every layer.
    virtual void lateUpdate();
    /// When the owner becomes active again through GameObject::setActive on it or an ancestor.
    virtual void onEnable();
    /// When the owner stops being active through GameObject::setActive on it or an ancestor.
    virtual void onDisable();
    /// Every frame while the owner is active, in layer order.
    virtual void draw();
    /// As draw, while the debug overlay is on; DebugDraw's colour is white on entry.
    virtual void drawDebug();
    /// Physics: every fixed step while a collider of the owner touches a solid collider.
    virtual void onCollisionStay(Collision collision);
    /// Physics: in the first fixed step of such a contact, before its stay call.
    virtual void onCollisionEnter(Collision collision);
    /// Physics: in the first fixed step after such a contact ended.
    virtual void onCollisionExit(Collider* other);
    /// As onCollisionStay, for contacts where either collider is a trigger.
    virtual void onTriggerStay(Collision collision);
    /// As onCollisionEnter, for contacts where either collider is a trigger.
    virtual void onTriggerEnter(Collision collision);
    /// As onCollisionExit, for contacts where either collider is a trigger.
    virtual void onTriggerExit(Collider* other);
    /// When the owner is removed from its scene (not when the whole scene is released).
    virtual void onDestroy();
    /// Instead of draw, in the scene's draw pass when it batches sprites. The default flushes batch, so that
    /// what draw() puts into the window lands above the sprites added before, then calls draw(). Sprites add
    /// themselves to batch; components whose draw() puts nothing into the window override this to do
    /// nothing, so that they do not split the batch's runs.
    virtual void drawInto(SpriteBatch& batch);

    /// The owning game object; null until the component is added to one.
    GameObject* getGameObject() const { return gameObject; }

    /// Adds this component to the listeners of eventName; subscribing twice delivers each event twice.
    /// The subscription ends when the component is destroyed.
    void subscribe(const std::string& eventName);
    /// Sets args->sender to this component and delivers the event synchronously.
    void fireEvent(const std::string& eventName, std::shared_ptr<EventArgs> args);

    /// The physics world skips disabled bodies and colliders; update and draw loops ignore it.
    bool enabled = true;
    /// Unique among all components and game objects of the process.
    const std::uint32_t id;
    /// The owner; set by GameObject::addComponent, which owns this component, so it outlives it.
    GameObject* gameObject = nullptr;
};

}  // namespace orn
