#pragma once

#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "engine/AnimatorConfiguration.hpp"
#include "engine/AssetLoadException.hpp"
#include "engine/KeyLookup.hpp"
#include "engine/SpriteAnimation.hpp"
#include "engine/TileStorage.hpp"
#include "gui/Theme.hpp"

namespace orn {

class Tilemap;

/// Assets of one lifetime, by kind, each a map from key to the owning pointer. Keys are compared exactly;
/// the same key may name assets of different kinds.
struct AssetStore {
    /// Textures by key.
    std::unordered_map<std::string, std::shared_ptr<sf::Texture>> textures;
    /// Fonts by key.
    std::unordered_map<std::string, std::shared_ptr<sf::Font>> fonts;
    /// Tile maps by key.
    std::unordered_map<std::string, std::shared_ptr<Tilemap>> tilemaps;
    /// Sprite sheets by key.
    std::unordered_map<std::string, std::shared_ptr<SpriteAnimation>> spriteAnimations;
    /// Animator files by key.
    std::unordered_map<std::string, std::shared_ptr<AnimatorConfiguration>> animatorConfigurations;
    /// Sounds by key.
    std::unordered_map<std::string, std::shared_ptr<sf::SoundBuffer>> soundBuffers;
    /// GUI themes by key.
    std::unordered_map<std::string, std::shared_ptr<gui::Theme>> themes;
};

/// Process-wide owner of everything read from the data directory. Each asset is loaded once under a key
/// and handed out as a plain pointer that stays valid while its entry is stored: scene textures, fonts and
/// tile maps until clearSceneAssets, everything else for the whole run.
///
/// Every path argument is relative to rootPath and is appended to it as it is. Gets look in the global store
/// first, then in the scene store, and raise AssetLoadException "There is no asset with the key '<key>'!"
/// (empty path) when neither holds the key. Load failures raise AssetLoadException with the relative path
/// and store nothing.
class AssetManager {
public:
    /// The process-wide asset manager, created on first use.
    static AssetManager& getInstance();

    /// A new texture from rootPath + path, stored nowhere. Raises "Failed to load texture!".
    std::shared_ptr<sf::Texture> createTexture(const std::string& path) const;

    /// The loads of textures, fonts and sounds return the asset already stored under key (global store
    /// first) without looking at path; otherwise they read the file and store it in the scene store.
    /// Raises "Failed to load texture!".
    sf::Texture* loadTexture(const std::string& key, const std::string& path);
    /// A new font goes to the global store when persistent, else to the scene store.
    /// Raises "Failed to load font!".
    sf::Font* loadFont(const std::string& key, const std::string& path, bool persistent = false);
    /// Returns the tile map already stored under key (whatever its storage), else builds a Tilemap from
    /// rootPath + path (a Tiled map, TMX or JSON) with storage into the scene store: TileStorage::Compact for
    /// maps drawn only by ChunkedTileLayer. The Tilemap's load failures propagate ("Failed to load tilemap!"
    /// with the rooted path).
    Tilemap* loadTilemap(const std::string& key, const std::string& path,
                         TileStorage storage = TileStorage::Tiles);
    /// Raises "Failed to load audio file!". A buffer of more than one channel is stored all the same, with a
    /// warning on standard output, since positional playback needs a single channel.
    sf::SoundBuffer* loadSound(const std::string& key, const std::string& path);
    /// Sprite sheets and animator files are read and checked on every call, even when the key is stored;
    /// the scene store keeps the first result under a key and returns it. Reader failures propagate; those
    /// of an animator file that name no file get path.
    SpriteAnimation* loadSpriteAnimation(const std::string& key, const std::string& path);
    /// Reads the animator file at rootPath + path into the scene store under key; when key is stored already,
    /// the stored one stays and is returned. Failures as AnimatorConfiguration::loadFromFile, with the path.
    AnimatorConfiguration* loadAnimatorConfiguration(const std::string& key, const std::string& path);
    /// Returns the theme already stored under key, else reads it into the global store. A theme file that
    /// cannot be read or parsed raises the GUI library's gui::Exception, which passes through.
    gui::Theme* loadTheme(const std::string& key, const std::string& path);

    /// The getters look in the global store, then in the scene store, and raise AssetLoadException when
    /// neither holds key. The pointers stay valid until the store that owns the asset is cleared.
    sf::Texture* getTexture(const std::string& key) const;
    /// As getTexture, for fonts.
    sf::Font* getFont(const std::string& key) const;
    /// As getTexture, for sounds.
    sf::SoundBuffer* getSound(const std::string& key) const;
    /// As getTexture, for sprite sheets.
    SpriteAnimation* getSpriteAnimation(const std::string& key) const;
    /// As getTexture, for animator files.
    AnimatorConfiguration* getAnimatorConfiguration(const std::string& key) const;
    /// As getTexture, for GUI themes.
    gui::Theme* getTheme(const std::string& key) const;

    /// Reads rootPath + "tags.json" into tags: "None" is 0, and the string of member n (for n from 1 to 31,
    /// all required) names the tag that owns the bit 1 << n; empty strings name no tag. Raises
    /// "Member '<n>' is missing!" or "Member '<n>' is not a string!" with the path "tags.json"; the entries
    /// read before the failure stay.
    void loadTags();
    /// The mask of a tag name; raises std::out_of_range "invalid unordered_map<K, T> key" for a name missing
    /// from the table.
    std::uint32_t getTagMask(const std::string& name) const { return lookupKey(tags, name); }

    /// Drops the scene store's textures, fonts and tile maps; its other kinds stay loaded. Every pointer
    /// handed out for a dropped asset dangles afterwards, so the scene's objects must be gone first.
    void clearSceneAssets();
    /// At shutdown: drops textures, fonts and tile maps of the scene store, then of the global store.
    void clearAssets();

    /// Set by the game's start-up once the tag table and the default font are loaded.
    bool initialised = false;
    /// Put in front of every relative path, without a separator; the game sets "./data/".
    std::string rootPath;
    /// Tag names to their bit masks, read by loadTags; "None" is 0.
    std::unordered_map<std::string, std::uint32_t> tags;
    /// Assets of the current scene, released by clearSceneAssets.
    AssetStore sceneAssets;
    /// Persistent assets, kept until clearAssets.
    AssetStore globalAssets;

private:
    AssetManager() = default;
};

}  // namespace orn
