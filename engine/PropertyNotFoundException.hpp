#pragma once

#include <stdexcept>
#include <string>

namespace orn {

/// Raised by the property getters of Tilemap::Object for a key the object does not have.
class PropertyNotFoundException : public std::runtime_error {
public:
    /// message: the sentence what() returns.
    explicit PropertyNotFoundException(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace orn
