#include "engine/AssetManager.hpp"

#include "engine/Json.hpp"

namespace orn {

namespace {

template <class T>
T* findIn(const std::unordered_map<std::string, std::shared_ptr<T>>& global,
          const std::unordered_map<std::string, std::shared_ptr<T>>& scene, const std::string& key) {
    auto found = global.find(key);
    if (found != global.end()) {
        return found->second.get();
    }
    found = scene.find(key);
    return found != scene.end() ? found->second.get() : nullptr;
}

template <class T>
T* getFrom(const std::unordered_map<std::string, std::shared_ptr<T>>& global,
           const std::unordered_map<std::string, std::shared_ptr<T>>& scene, const std::string& key) {
    if (T* asset = findIn(global, scene, key)) {
        return asset;
    }
    throw AssetLoadException("There is no asset with the key '" + key + "'!");
}

}  // namespace

AssetManager& AssetManager::getInstance() {
    static AssetManager instance;
    return instance;
}

std::shared_ptr<sf::Texture> AssetManager::createTexture(const std::string& path) const {
    auto texture = std::make_shared<sf::Texture>();
    if (!texture->loadFromFile(rootPath + path)) {
        throw AssetLoadException("Failed to load texture!", path);
    }
    return texture;
}

sf::Texture* AssetManager::loadTexture(const std::string& key, const std::string& path) {
    if (sf::Texture* existing = findIn(globalAssets.textures, sceneAssets.textures, key)) {
        return existing;
    }
    auto texture = createTexture(path);
    sceneAssets.textures[key] = texture;
    return texture.get();
}

sf::Font* AssetManager::loadFont(const std::string& key, const std::string& path, bool persistent) {
    if (sf::Font* existing = findIn(globalAssets.fonts, sceneAssets.fonts, key)) {
        return existing;
    }
    auto font = std::make_shared<sf::Font>();
    if (!font->loadFromFile(rootPath + path)) {
        throw AssetLoadException("Failed to load font!", path);
    }
    (persistent ? globalAssets : sceneAssets).fonts[key] = font;
    return font.get();
}

sf::Texture* AssetManager::getTexture(const std::string& key) const {
    return getFrom(globalAssets.textures, sceneAssets.textures, key);
}

sf::Font* AssetManager::getFont(const std::string& key) const {
    return getFrom(globalAssets.fonts, sceneAssets.fonts, key);
}

void AssetManager::loadTags() {
    const std::string file = "tags.json";
    const rapidjson::Document document = Json::readJsonFile(rootPath + file);
    tags["None"] = 0;
    for (unsigned bit = 1; bit <= 31; ++bit) {
        const std::string key = std::to_string(bit);
        const rapidjson::Value* member = Json::findMember(document, key);
        if (!member) {
            throw AssetLoadException("Member '" + key + "' is missing!", file);
        }
        if (!member->IsString()) {
            throw AssetLoadException("Member '" + key + "' is not a string!", file);
        }
        const std::string name(member->GetString(), member->GetStringLength());
        if (!name.empty()) {
            tags[name] = 1u << bit;
        }
    }
}

void AssetManager::clearSceneAssets() {
    sceneAssets.textures.clear();
    sceneAssets.fonts.clear();
}

void AssetManager::clearAssets() {
    clearSceneAssets();
    globalAssets.textures.clear();
    globalAssets.fonts.clear();
}

}  // namespace orn
