#pragma once

#include <stdexcept>
#include <string>

namespace orn {

/// Raised by Animator::play for a name that is not a state of the animator.
class AnimatorException : public std::runtime_error {
public:
    /// message: the sentence what() returns.
    explicit AnimatorException(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace orn
