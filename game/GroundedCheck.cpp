#include "game/GroundedCheck.hpp"

#include "engine/Collider.hpp"
#include "engine/GameObject.hpp"

GroundedCheck::~GroundedCheck() = default;

void GroundedCheck::onTriggerEnter(orn::Collision collision) {
    // Trigger areas are not ground: standing in a form region must not allow jumps in the air.
    if (collision.normal.y < 0.f && !collision.other->isTrigger &&
        !collision.other->getGameObject()->hasTag("Player")) {
        ++groundContacts;
        counted.insert(collision.other->id);
    }
}

void GroundedCheck::onTriggerExit(orn::Collider* other) {
    // Counting down every solid exit would let a wall touched from the side take away the ground, and a
    // trigger entered from above would count forever; only the contacts that counted up count down.
    auto found = counted.find(other->id);
    if (found != counted.end()) {
        counted.erase(found);
        --groundContacts;
    }
}
