#pragma once

#include <stdexcept>
#include <string>

namespace orn {

/// Raised by Tilemap::getObjectGroup and by lookups of named map objects that find nothing.
class TiledObjectNotFoundException : public std::runtime_error {
public:
    /// message: the sentence what() returns.
    explicit TiledObjectNotFoundException(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace orn
