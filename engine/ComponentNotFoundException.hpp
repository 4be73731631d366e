#pragma once

#include <stdexcept>
#include <string>

namespace orn {

/// Raised by component lookups that find no matching component.
class ComponentNotFoundException : public std::runtime_error {
public:
    /// message: the sentence what() returns.
    explicit ComponentNotFoundException(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace orn
