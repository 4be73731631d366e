#pragma once

#include <stdexcept>

namespace orn {

/// Raised when the window is needed before Game::init handed it to the scene manager.
class NotInitializedException : public std::runtime_error {
public:
    NotInitializedException()
        : std::runtime_error("The object has not been initialized! Try calling its init method first.") {}
};

}  // namespace orn
