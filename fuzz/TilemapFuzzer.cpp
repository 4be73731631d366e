// Reads each input as a map file into a Tilemap, the path the level takes: the map reader, then the model
// with its tileset textures, layers and object groups; then again with compact storage, which must agree.
// Built twice: fuzz_tilemap writes the input to "map.tmx" and starts from TMX seeds, fuzz_tilemap_json to
// "map.tmj" with JSON seeds (the format is told by the content either way). Tileset images are GL textures,
// so this target needs a display (the fuzz script runs it under Xvfb). Inputs that name "tiles.png" get a
// real 64 x 32 image; other names fail as missing textures do. Beside the map lie files an input may refer
// to, in both formats: the tilesets "set.tsx" and "set.tsj", the templates "chest.tx" and "chest.tj", and
// "loop.tsx", "loop.tsj", "loop.tx" and "loop.tj",
// which refer to themselves.

#include <SFML/Graphics/Image.hpp>
#include <SFML/Window/Context.hpp>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <rapidxml/rapidxml.hpp>
#include <string>
#include <vector>

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
    static const FuzzFile file(KESTRITH_FUZZ_MAP);
    return file;
}

bool inside(const sf::IntRect& rect, const sf::Texture& texture) {
    const sf::Vector2u size = texture.getSize();
    return rect.left >= 0 && rect.top >= 0 && rect.width > 0 && rect.height > 0 &&
           static_cast<std::int64_t>(rect.left) + rect.width <= size.x &&
           static_cast<std::int64_t>(rect.top) + rect.height <= size.y;
}

void checkLayers(const orn::Tilemap& map) {
    FUZZ_CHECK(map.layers.size() <= map.tmxMap->layers.size());
    FUZZ_CHECK(map.layersInOrder.size() == map.tmxMap->layers.size());
    for (const auto& source : map.tmxMap->layers) {
        FUZZ_CHECK(source->data.size() == static_cast<std::size_t>(source->width) * source->height);
        FUZZ_CHECK(static_cast<std::int64_t>(source->data.size()) <= orn::TmxMap::maxLayerCells);
    }
    for (const auto& layer : map.layersInOrder) {
        std::vector<bool> drawn(layer->tiles.size(), false);
        FUZZ_CHECK(layer->drawOrder.size() == layer->tiles.size());
        for (const std::size_t index : layer->drawOrder) {
            FUZZ_CHECK(index < drawn.size() && !drawn[index]);
            drawn[index] = true;
        }
        for (const auto& tile : layer->tiles) {
            FUZZ_CHECK((tile->gid & 0x0FFFFFFF) != 0);
            FUZZ_CHECK(tile->texture && inside(tile->textureRect, *tile->texture));
            if (tile->tileset->texture) {
                FUZZ_CHECK(tile->textureRect.width == tile->tileset->tileWidth &&
                           tile->textureRect.height == tile->tileset->tileHeight);
            }
            for (const auto& frame : tile->animation) {
                FUZZ_CHECK(frame.texture && inside(frame.textureRect, *frame.texture) && frame.duration >= 0);
            }
        }
    }
}

void checkObjects(const orn::Tilemap& map) {
    for (const auto& [name, group] : map.objectGroups) {
        FUZZ_CHECK(&map.getObjectGroup(name) == group.get());
        for (const auto& object : group->objects) {
            const std::size_t corners = map.objectOutline(*object).size();
            FUZZ_CHECK(corners == object->points.size() || corners == 1 || corners == 4 || corners == 32);
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

/// The same file read with compact storage: refused with the same message as the tile model, or read to
/// the same cells, reach and tile definitions without any Tile.
void checkCompact(const orn::Tilemap* tiles, const std::string& error) {
    std::unique_ptr<orn::Tilemap> compact;
    std::string compactError;
    try {
        compact = std::make_unique<orn::Tilemap>(mapFile().path(), orn::TileStorage::Compact);
    } catch (const orn::AssetLoadException& e) {
        compactError = e.what();
    } catch (const rapidxml::parse_error& e) {
        compactError = e.what();
    }
    FUZZ_CHECK((compact == nullptr) == (tiles == nullptr) && compactError == error);
    if (!compact) {
        return;
    }
    FUZZ_CHECK(compact->layersInOrder.size() == tiles->layersInOrder.size());
    for (std::size_t i = 0; i < tiles->layersInOrder.size(); ++i) {
        const orn::Tilemap::Layer& model = *tiles->layersInOrder[i];
        const orn::Tilemap::Layer& cells = *compact->layersInOrder[i];
        FUZZ_CHECK(cells.tiles.empty() && cells.usedCells == model.usedCells &&
                   cells.overlapping == model.overlapping && cells.reach.left == model.reach.left &&
                   cells.reach.top == model.reach.top && cells.reach.right == model.reach.right &&
                   cells.reach.bottom == model.reach.bottom);
        for (const auto& tile : model.tiles) {
            const orn::Tilemap::TileDefinition* definition =
                compact->definition(static_cast<uint32_t>(tile->gid));
            FUZZ_CHECK(model.usedCells.contains(tile->column, tile->row) && definition != nullptr &&
                       definition->textureRect == tile->textureRect &&
                       definition->animation.size() == tile->animation.size());
        }
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
    const std::pair<const char*, const char*> neighbours[] = {
        {"set.tsx", R"(<tileset name="set" tilewidth="16" tileheight="8" margin="1" spacing="2">)"
                    R"(<image source="tiles.png"/><tile id="1"><animation><frame tileid="2" duration="10"/>)"
                    R"(</animation></tile></tileset>)"},
        {"chest.tx",
         R"(<template><tileset firstgid="1" source="set.tsx"/><object name="c" gid="2" x="1" y="2">)"
         R"(<properties><property name="p" value="1"/></properties></object></template>)"},
        {"loop.tsx", R"(<tileset firstgid="1" source="loop.tsx"/>)"},
        {"loop.tx", R"(<template><object template="loop.tx" x="0" y="0"/></template>)"},
        {"set.tsj", R"({"type":"tileset","name":"set","tilewidth":16,"tileheight":8,"margin":1,"spacing":2,)"
                    R"("image":"tiles.png","tiles":[{"id":1,"animation":[{"tileid":2,"duration":10}]}]})"},
        {"chest.tj", R"({"type":"template","tileset":{"firstgid":1,"source":"set.tsj"},"object":{"name":"c",)"
                     R"("gid":2,"x":1,"y":2,"properties":[{"name":"p","type":"class","value":{"q":1}}]}})"},
        {"loop.tsj", R"({"firstgid":1,"source":"loop.tsj"})"},
        {"loop.tj", R"({"type":"template","object":{"template":"loop.tj","x":0,"y":0}})"},
    };
    for (const auto& [name, text] : neighbours) {
        std::ofstream(file.folder() + name) << text;
    }
    orn::AssetManager::getInstance().rootPath = file.folder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzFile& file = mapFile();
    file.write(data, size);
    std::unique_ptr<orn::Tilemap> map;
    std::string error;
    try {
        map = std::make_unique<orn::Tilemap>(file.path());
        checkLayers(*map);
        checkObjects(*map);
    } catch (const orn::AssetLoadException& e) {
        error = e.what();
    } catch (const rapidxml::parse_error& e) {
        error = e.what();
    }
    checkCompact(map.get(), error);
    return 0;
}
