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
    /// A failure that concerns no particular file; path stays empty.
    explicit AssetLoadException(const std::string& message) : std::runtime_error(message) {}
    /// A failure of the file file (as given to the loader).
    AssetLoadException(const std::string& message, std::string file)
        : std::runtime_error(message), path(std::move(file)) {}

    /// The file that failed to load; empty when none applies.
    std::string path;
};

}  // namespace orn
