#include "engine/PhysicsManager.hpp"

namespace orn {

PhysicsManager& PhysicsManager::getInstance() {
    static PhysicsManager instance;
    return instance;
}

void PhysicsManager::collisionPass() {}

void PhysicsManager::integrate(float) {}

}  // namespace orn
