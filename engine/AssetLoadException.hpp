#pragma once

#include <stdexcept>
#include <string>

namespace orn {

/// Raised for every failure to load or find an asset. path is the file concerned, relative to the asset
/// manager's root, or empty when the exception reports a missing key.
class AssetLoadException : public std::runtime_error {
public:
    explicit AssetLoadException(const std::string& message) : std::runtime_error(message) {}
    AssetLoadException(const std::string& message, std::string file)
        : std::runtime_error(message), path(std::move(file)) {}

    std::string path;
};

}  // namespace orn
