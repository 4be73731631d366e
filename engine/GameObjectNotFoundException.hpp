#pragma once

#include <stdexcept>
#include <string>

namespace orn {

/// Raised by Scene::getGameObject for an id the scene does not hold.
class GameObjectNotFoundException : public std::runtime_error {
public:
    /// message: the sentence what() returns.
    explicit GameObjectNotFoundException(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace orn
