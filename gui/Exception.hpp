#pragma once

#include <stdexcept>
#include <string>

namespace gui {

// Raised for every failure of the GUI library: unreadable or malformed theme files, missing textures,
// unknown renderer or signal names, layout strings that do not parse and layouts that depend on themselves.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message);
};

}  // namespace gui
