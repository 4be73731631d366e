#include "engine/AssetManager.hpp"

#include <iostream>

#include "engine/Json.hpp"
#include "engine/Tilemap.hpp"

namespace orn {

namespace {

template <class T>
using AssetMap = std::unordered_map<std::string, std::shared_ptr<T>>;

template <class T>
T* findIn(const AssetMap<T>& global, const AssetMap<T>& scene, const std::string& key) {
    auto found = global.find(key);
    if (found != global.end()) {
        return found->second.get();
    }
    found = scene.find(key);
    return found != scene.end() ? found->second.get() : nullptr;
}

template <class T>
T* getFrom(const AssetMap<T>& global, const AssetMap<T>& scene, const std::string& key) {
    if (T* asset = findIn(global, scene, key)) {
        return asset;
    }
    throw AssetLoadException("There is no asset with the key '" + key + "'!");
}

// The first entry under a key stays; a later result for the same key is dropped.
template <class T>
T* storeFirst(AssetMap<T>& store, const std::string& key, std::shared_ptr<T> asset) {
    return store.emplace(key, std::move(asset)).first->second.get();
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
    return storeFirst(sceneAssets.textures, key, createTexture(path));
}

sf::Font* AssetManager::loadFont(const std::string& key, const std::string& path, bool persistent) {
    if (sf::Font* existing = findIn(globalAssets.fonts, sceneAssets.fonts, key)) {
        return existing;
    }
    auto font = std::make_shared<sf::Font>();
    if (!font->loadFromFile(rootPath + path)) {
        throw AssetLoadException("Failed to load font!", path);
    }
    return storeFirst((persistent ? globalAssets : sceneAssets).fonts, key, std::move(font));
}

Tilemap* AssetManager::loadTilemap(const std::string& key, const std::string& path, TileStorage storage) {
    if (Tilemap* existing = findIn(globalAssets.tilemaps, sceneAssets.tilemaps, key)) {
        return existing;
    }
    return storeFirst(sceneAssets.tilemaps, key, std::make_shared<Tilemap>(rootPath + path, storage));
}

sf::SoundBuffer* AssetManager::loadSound(const std::string& key, const std::string& path) {
    if (sf::SoundBuffer* existing = findIn(globalAssets.soundBuffers, sceneAssets.soundBuffers, key)) {
        return existing;
    }
    auto buffer = std::make_shared<sf::SoundBuffer>();
    if (!buffer->loadFromFile(rootPath + path)) {
        throw AssetLoadException("Failed to load audio file!", path);
    }
    if (buffer->getChannelCount() > 1) {
        std::cout << "WARNING: The sound file '" << path
                  << "' has more than one channel, it can not be used for spatial sounds!" << std::endl;
    }
    return storeFirst(sceneAssets.soundBuffers, key, std::move(buffer));
}

SpriteAnimation* AssetManager::loadSpriteAnimation(const std::string& key, const std::string& path) {
    return storeFirst(sceneAssets.spriteAnimations, key,
                      SpriteAnimation::loadFromFile(rootPath + path, path));
}

AnimatorConfiguration* AssetManager::loadAnimatorConfiguration(const std::string& key,
                                                               const std::string& path) {
    std::shared_ptr<AnimatorConfiguration> configuration;
    try {
        configuration = AnimatorConfiguration::loadFromFile(rootPath + path, path);
    } catch (AssetLoadException& error) {
        // The reader's member checks do not know their file; whoever reports the failure needs it.
        if (error.path.empty()) {
            error.path = path;
        }
        throw;
    }
    return storeFirst(sceneAssets.animatorConfigurations, key, std::move(configuration));
}

gui::Theme* AssetManager::loadTheme(const std::string& key, const std::string& path) {
    if (gui::Theme* existing = findIn(globalAssets.themes, sceneAssets.themes, key)) {
        return existing;
    }
    return storeFirst(globalAssets.themes, key, std::make_shared<gui::Theme>(rootPath + path));
}

sf::Texture* AssetManager::getTexture(const std::string& key) const {
    return getFrom(globalAssets.textures, sceneAssets.textures, key);
}

sf::Font* AssetManager::getFont(const std::string& key) const {
    return getFrom(globalAssets.fonts, sceneAssets.fonts, key);
}

sf::SoundBuffer* AssetManager::getSound(const std::string& key) const {
    return getFrom(globalAssets.soundBuffers, sceneAssets.soundBuffers, key);
}

SpriteAnimation* AssetManager::getSpriteAnimation(const std::string& key) const {
    return getFrom(globalAssets.spriteAnimations, sceneAssets.spriteAnimations, key);
}

AnimatorConfiguration* AssetManager::getAnimatorConfiguration(const std::string& key) const {
    return getFrom(globalAssets.animatorConfigurations, sceneAssets.animatorConfigurations, key);
}

gui::Theme* AssetManager::getTheme(const std::string& key) const {
    return getFrom(globalAssets.themes, sceneAssets.themes, key);
}

void AssetManager::loadTags() {
    const std::string file = "tags.json";
    const rapidjson::Document document = Json::readJsonFile(rootPath + file);
    tags["None"] = 0;
    for (unsigned bit = 1; bit <= 31; ++bit) {
        const std::string key = std::to_string(bit);
        const rapidjson::Value* member = Json::findMember(document, key);
        if (member == nullptr) {
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
    sceneAssets.tilemaps.clear();
}

void AssetManager::clearAssets() {
    clearSceneAssets();
    globalAssets.textures.clear();
    globalAssets.fonts.clear();
    globalAssets.tilemaps.clear();
}

}  // namespace orn
