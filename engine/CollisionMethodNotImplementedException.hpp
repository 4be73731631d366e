#pragma once

#include <stdexcept>
#include <string>

namespace orn {

/// Raised by a collision test for a pair of collider types it cannot test.
class CollisionMethodNotImplementedException : public std::runtime_error {
public:
    /// message: the sentence what() returns.
    explicit CollisionMethodNotImplementedException(const std::string& message)
        : std::runtime_error(message) {}
};

}  // namespace orn
