#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace orn {

/// Raised for every failure to load or find an asset. path is the file concerned: relative to the asset
/// manager's root for failures of an asset's content, the full path when the file cannot be opened or does
/// not parse as JSON, and empty when the exception reports a missing key or a mistyped member of an animator
/// file read directly (AssetManager::loadAnimatorConfiguration sets the relative path then).
class AssetLoadException : public std::runtime_error {
public:
    explicit AssetLoadException(const std::string& message) : std::runtime_error(message) {}
    AssetLoadException(const std::string& message, std::string file)
        : std::runtime_error(message), path(std::move(file)) {}

    std::string path;
};

}  // namespace orn
