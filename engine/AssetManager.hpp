#pragma once

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "engine/AssetLoadException.hpp"

namespace orn {

/// Assets of one lifetime, by kind, each a map from key to the owning pointer.
struct AssetStore {
    std::unordered_map<std::string, std::shared_ptr<sf::Texture>> textures;
    std::unordered_map<std::string, std::shared_ptr<sf::Font>> fonts;
};

/// Process-wide owner of everything read from the data directory. Each asset is loaded once under a key
/// and handed out as a plain pointer that stays valid while its entry is stored. Scene assets are dropped
/// by clearSceneAssets; global assets last for the whole run.
class AssetManager {
public:
    static AssetManager& getInstance();

    /// A new texture from rootPath + path, stored nowhere. Raises AssetLoadException on failure.
    std::shared_ptr<sf::Texture> createTexture(const std::string& path) const;

    sf::Texture* loadTexture(const std::string& key, const std::string& path);
    sf::Font* loadFont(const std::string& key, const std::string& path, bool persistent = false);
    sf::Texture* getTexture(const std::string& key) const;
    sf::Font* getFont(const std::string& key) const;

    /// Reads rootPath + "tags.json" into tags: members "1" to "31" name the tag owning that bit.
    void loadTags();
    /// The bit of a tag name; raises std::out_of_range for a name missing from the table.
    std::uint32_t getTagMask(const std::string& name) const { return tags.at(name); }

    void clearSceneAssets();
    void clearAssets();

    bool initialised = false;
    /// Put in front of every relative path, without a separator.
    std::string rootPath;
    std::unordered_map<std::string, std::uint32_t> tags;
    AssetStore sceneAssets;
    AssetStore globalAssets;

private:
    AssetManager() = default;
};

}  // namespace orn
