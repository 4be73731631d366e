#include "engine/TmxMap.hpp"

#include <SFML/System/Err.hpp>

#include <filesystem>
#include <ostream>

#include "engine/MapLoader.hpp"

namespace orn {

std::string TmxMap::joinPath(const std::string& folder, const std::string& relative) {
    const std::filesystem::path written(relative);
    if (written.is_absolute() || folder.empty()) {
        return written.lexically_normal().generic_string();
    }
    return (std::filesystem::path(folder) / written).lexically_normal().generic_string();
}

std::string TmxMap::folderOf(const std::string& path) {
    return std::filesystem::path(path).parent_path().generic_string();
}

std::shared_ptr<TmxMap> TmxMap::loadMap(const std::string& path) {
    std::shared_ptr<TmxMap> map = MapLoader(path).load();
    if (!map) {
        sf::err() << "loadMap: could not open file " << path << std::endl;
    }
    return map;
}

}  // namespace orn
