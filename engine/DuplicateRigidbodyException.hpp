#pragma once

#include <stdexcept>
#include <string>

namespace orn {

/// Raised when a collider is linked to a second rigid body of the same game object.
class DuplicateRigidbodyException : public std::runtime_error {
public:
    /// message: the sentence what() returns.
    explicit DuplicateRigidbodyException(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace orn
