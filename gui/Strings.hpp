#pragma once

#include <algorithm>
#include <cctype>
#include <string>

namespace gui {

// Property and renderer names are compared without regard to case, as theme files write them freely.
inline std::string toLower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace gui
