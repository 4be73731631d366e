// Reads each input as a TMX file into a Tilemap, the path the level takes: the TMX reader, then the model
// with its tileset textures, layers and object groups. Tileset images are GL textures, so this target
// needs a display (the fuzz script runs it under Xvfb). Inputs that name "tiles.png" get a real 64 x 32
// image; other names fail as missing textures do.

#include <SFML/Graphics/Image.hpp>
#include <SFML/Window/Context.hpp>
#include <cstddef>
#include <cstdint>
#include <rapidxml/rapidxml.hpp>

#include "engine/AssetLoadException.hpp"
#include "engine/AssetManager.hpp"
#include "engine/PropertyNotFoundException.hpp"
#include "engine/TiledObjectNotFoundException.hpp"
#include "engine/Tilemap.hpp"
#include "engine/TmxMap.hpp"
#include "fuzz/FuzzCheck.hpp"
#include "fuzz/FuzzFile.hpp"

namespace {

const FuzzFile& mapFile() {
    static const FuzzFile file("map.tmx");
    return file;
}

void checkLayers(const orn::Tilemap& map) {
    FUZZ_CHECK(map.layers.size() <= map.tmxMap->layers.size());
    for (const auto& source : map.tmxMap->layers) {
        FUZZ_CHECK(source->data.size() == static_cast<std::size_t>(source->width) * source->height);
    }
    for (const auto& [name, layer] : map.layers) {
        for (const auto& tile : layer->tiles) {
            FUZZ_CHECK(tile->gid != 0);
            const sf::Vector2u size = tile->tileset->texture->getSize();
            const sf::IntRect& rect = tile->textureRect;
            FUZZ_CHECK(rect.width == tile->tileset->tileWidth && rect.height == tile->tileset->tileHeight);
            FUZZ_CHECK(rect.left >= 0 && rect.top >= 0);
            FUZZ_CHECK(static_cast<std::int64_t>(rect.left) + rect.width <= size.x);
            FUZZ_CHECK(static_cast<std::int64_t>(rect.top) + rect.height <= size.y);
        }
    }
}

void checkObjects(const orn::Tilemap& map) {
    for (const auto& [name, group] : map.objectGroups) {
        FUZZ_CHECK(&map.getObjectGroup(name) == group.get());
        for (const auto& object : group->objects) {
            for (const auto& [key, value] : object->properties) {
                FUZZ_CHECK(object->getProperty(key) == value);
                object->getPropertyInt(key);
                object->getPropertyFloat(key);
                FUZZ_CHECK(object->getPropertyBool(key) == (value == "true"));
                try {
                    object->getPropertyVector(key);
                } catch (const orn::PropertyNotFoundException&) {
                }
            }
        }
    }
    try {
        map.getObjectGroup("\x01 no such group");
        FUZZ_CHECK(map.objectGroups.count("\x01 no such group") == 1);
    } catch (const orn::TiledObjectNotFoundException&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // One context, current for the whole run, spares SFML a context of its own for every texture.
    static sf::Context context;
    const FuzzFile& file = mapFile();
    sf::Image image;
    image.create(64, 32, sf::Color::White);
    FUZZ_CHECK(image.saveToFile(file.folder() + "tiles.png"));
    orn::AssetManager::getInstance().rootPath = file.folder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzFile& file = mapFile();
    file.write(data, size);
    try {
        const orn::Tilemap map(file.path());
        checkLayers(map);
        checkObjects(map);
    } catch (const orn::AssetLoadException&) {
    } catch (const rapidxml::parse_error&) {
    }
    return 0;
}
