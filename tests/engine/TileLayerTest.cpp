// The two ways to draw a tile layer: TileLayer's tile objects and ChunkedTileLayer's chunks, which must show
// the same pixels on every map, follow the view and live through scene switches with the rest of the engine.
#include "engine/TileLayer.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "AssetTestDir.hpp"
#include "CoreTestSupport.hpp"
#include "ExpectLoadError.hpp"
#include "WindowCapture.hpp"
#include "engine/AssetManager.hpp"
#include "engine/BoxCollider.hpp"
#include "engine/Camera.hpp"
#include "engine/ChunkedTileLayer.hpp"
#include "engine/DebugDraw.hpp"
#include "engine/ObjectGroupOverlay.hpp"
#include "engine/PhysicsManager.hpp"
#include "engine/Sprite.hpp"
#include "engine/TiledObjectNotFoundException.hpp"
#include "engine/Tilemap.hpp"
#include "engine/Time.hpp"
#include "engine/Transform.hpp"

namespace {

using Storage = orn::TileStorage;

/// A sheet of two 16 x 8 tiles: tile 0 red over blue, tile 1 grey; maps of 16-pixel cells in the test
/// directory, which is the asset root.
class TileLayerTest : public ::testing::Test {
protected:
    TileLayerTest() {
        assets.rootPath = dir.root();
        orn::Time::getInstance().deltaTime = 0.f;
        sf::Image sheet;
        sheet.create(16, 16, sf::Color(90, 90, 90));
        for (unsigned y = 0; y < 8; ++y) {
            for (unsigned x = 0; x < 16; ++x) {
                sheet.setPixel(x, y, y < 4 ? sf::Color::Red : sf::Color::Blue);
            }
        }
        EXPECT_TRUE(sheet.saveToFile(dir.write("sheet.png", "")));
    }
    ~TileLayerTest() override { assets.rootPath = savedRoot; }

    /// A width x height map with the layer "l" of gids and body after it; its path.
    std::string writeMap(int width, int height, const std::string& gids, const std::string& tileset = "",
                         const std::string& body = "") {
        const std::string size = "width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height);
        return dir.write("map.tmx", "<map " + size +
                                        R"(" tilewidth="16" tileheight="16">)"
                                        R"(<tileset firstgid="1" name="sheet" tilewidth="16" tileheight="8">)"
                                        R"(<image source="sheet.png"/>)" +
                                        tileset + "</tileset><layer name=\"l\" " + size +
                                        R"("><data encoding="csv">)" + gids + "</data></layer>" + body +
                                        "</map>");
    }
    template <class Layer>
    orn::GameObject* addLayer(orn::Tilemap* map, const std::string& name, sf::Vector2f position = {}) {
        orn::GameObject* object = scene->createGameObject(0);
        object->addComponent<Layer>(map, name);
        object->getTransform().lock()->setLocalPosition(position);
        scene->update();
        scene->update();
        return object;
    }

    orn::AssetManager& assets = orn::AssetManager::getInstance();
    const std::string savedRoot = assets.rootPath;
    AssetTestDir dir;
    sf::RenderWindow& window = coretest::sharedGame().getWindow();
    std::shared_ptr<coretest::ScriptedScene> scene = std::make_shared<coretest::ScriptedScene>();
};

TEST_F(TileLayerTest, TileLayerMakesAChildSpritePerTileAtItsMapPositionAndNeedsTheTiles) {
    orn::Tilemap map(writeMap(3, 2, "1,2,0,0,0,2"));
    const auto parent = addLayer<orn::TileLayer>(&map, "l", {100.f, 50.f})->getTransform().lock();
    const auto& children = parent->getChildren();
    const auto& tiles = map.layers.at("l")->tiles;
    ASSERT_EQ(children.size(), 3u);
    ASSERT_EQ(scene->layers[0].size(), 4u);
    for (std::size_t i = 0; i < children.size(); ++i) {
        EXPECT_EQ(children[i]->getPosition(), sf::Vector2f(tiles[i]->x, tiles[i]->y)) << "tile " << i;
        EXPECT_EQ(children[i]->gameObject->getComponent<orn::Sprite>().lock()->sprite.getTextureRect(),
                  tiles[i]->textureRect);
    }
    // Column by column: cell (2, 1) comes last, grey, standing on the cell's bottom.
    EXPECT_EQ(children[2]->getPosition(), sf::Vector2f(32.f, 24.f));
    EXPECT_EQ(tiles[2]->textureRect, sf::IntRect(0, 8, 16, 8));
    // As children they follow the layer object when it moves later.
    parent->setLocalPosition({110.f, 50.f});
    EXPECT_EQ(children[2]->getPosition(), sf::Vector2f(42.f, 24.f));

    orn::Tilemap compact(dir.path("map.tmx"), Storage::Compact);
    EXPECT_TRUE(compact.layers.at("l")->tiles.empty());
    expectLoadError([&] { addLayer<orn::TileLayer>(&compact, "l"); },
                    "The layer 'l' of '" + dir.path("map.tmx") +
                        "' has no tile objects to make: the map was loaded with compact tile storage, which "
                        "only a ChunkedTileLayer draws!",
                    dir.path("map.tmx"));
}

/// Both layers, over both storages where the layer can draw them.
class EitherLayer : public TileLayerTest, public ::testing::WithParamInterface<bool> {
protected:
    orn::GameObject* add(orn::Tilemap* map, const std::string& name) {
        return GetParam() ? addLayer<orn::ChunkedTileLayer>(map, name) : addLayer<orn::TileLayer>(map, name);
    }
};

TEST_P(EitherLayer, AMissingLayerIsReportedNamingTheMap) {
    orn::Tilemap map(writeMap(1, 1, "0"), GetParam() ? Storage::Compact : Storage::Tiles);
    EXPECT_THAT([&] { add(&map, "overlay"); },
                ::testing::ThrowsMessage<orn::TiledObjectNotFoundException>(::testing::StrEq(
                    "A layer with the name 'overlay' does not exist in '" + dir.path("map.tmx") + "'!")));
}

TEST_P(EitherLayer, AnimatedTilesStepThroughTheirFramesWithTheScaledFrameTime) {
    orn::Tilemap map(writeMap(4, 1, "1,0,0,1",
                              R"(<tile id="0"><animation><frame tileid="1" duration="100"/>)"
                              R"(<frame tileid="0" duration="50"/></animation></tile>)"),
                     GetParam() ? Storage::Compact : Storage::Tiles);
    add(&map, "l");
    const sf::Color grey(90, 90, 90);
    const std::vector<std::pair<float, sf::Color>> steps{
        {0.f, grey},    {0.099f, grey}, {0.002f, sf::Color::Red}, {0.048f, sf::Color::Red},
        {0.001f, grey}, {1.5f, grey},   {0.1f, sf::Color::Red}};
    for (const auto& [seconds, color] : steps) {
        orn::Time::getInstance().deltaTime = seconds;
        scene->update();
        window.setView(window.getDefaultView());
        window.clear(sf::Color::Black);
        scene->drawComponents(false);
        const sf::Image shot = captureWindow(window);
        EXPECT_EQ(shot.getPixel(4, 9), color) << "after " << seconds;
        EXPECT_EQ(shot.getPixel(52, 9), color) << "after " << seconds;
    }
    orn::Time::getInstance().deltaTime = 0.f;
}

INSTANTIATE_TEST_SUITE_P(TileAndChunked, EitherLayer, ::testing::Bool());

/// Every map of a source (the map corpus of the map renderer's tests in all orientations, the examples
/// Debian's Tiled installs, the level), drawn by both layers at whole, half and quarter pixel camera
/// positions, at one zoom.
class SamePixels : public ::testing::TestWithParam<std::tuple<const char*, int>> {
protected:
    static void SetUpTestSuite() {
        corpus = std::make_unique<AssetTestDir>();
        const std::string command =
            "/usr/bin/python3 " KESTRITH_SOURCE_DIR "/tests/maprender/make_maps.py " + corpus->root();
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    static void TearDownTestSuite() { corpus.reset(); }

    static std::vector<std::string> maps(const std::string& folder) {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            std::stringstream text;
            text << std::ifstream(entry.path()).rdbuf();
            if (entry.path().extension() == ".tmx" && text.str().find("<map") != std::string::npos) {
                found.push_back(entry.path().string());
            }
        }
        std::sort(found.begin(), found.end());
        return found;
    }

    /// Every layer of map as TileLayer objects (their sprites drawn as the scene draws them, in each
    /// layer's own order, which a scene's hash order need not keep) or as ChunkedTileLayers.
    struct Layers {
        Layers(orn::Tilemap& map, bool chunked) {
            for (std::size_t i = 0; i < map.layersInOrder.size(); ++i) {
                orn::GameObject* object = scene->createGameObject(0);
                if (chunked) {
                    chunks.push_back(object->addComponent<orn::ChunkedTileLayer>(&map, i));
                } else {
                    object->addComponent<orn::TileLayer>(&map, i);
                    objects.push_back(object);
                }
            }
            scene->update();
            scene->update();
        }
        sf::Image draw(const sf::View& view) {
            sf::RenderWindow& window = coretest::sharedGame().getWindow();
            window.setView(view);
            window.clear(sf::Color::Black);
            for (orn::ChunkedTileLayer* layer : chunks) {
                layer->draw();
            }
            for (orn::GameObject* object : objects) {
                for (orn::Transform* child : object->getTransform().lock()->getChildren()) {
                    if (child->gameObject->isActive()) {
                        child->gameObject->getComponent<orn::Sprite>().lock()->drawInto(scene->spriteBatch);
                    }
                }
            }
            scene->spriteBatch.flush();
            return captureWindow(window);
        }
        std::shared_ptr<coretest::ScriptedScene> scene = std::make_shared<coretest::ScriptedScene>();
        std::vector<orn::GameObject*> objects;
        std::vector<orn::ChunkedTileLayer*> chunks;
    };

    static std::unique_ptr<AssetTestDir> corpus;
};
std::unique_ptr<AssetTestDir> SamePixels::corpus;

TEST_P(SamePixels, ChunksDrawTheFrameOfTheTileObjectsByteForByte) {
    const std::string source = std::get<0>(GetParam());
    const std::vector<std::string> paths = maps(source == "corpus" ? corpus->root() : source);
    const float zoom = static_cast<float>(std::get<1>(GetParam()));
    orn::AssetManager& assets = orn::AssetManager::getInstance();
    const std::string savedRoot = assets.rootPath;
    assets.rootPath = "";
    orn::Time::getInstance().deltaTime = 0.f;
    for (std::size_t m = 0; m < paths.size(); ++m) {
        SCOPED_TRACE(paths[m]);
        orn::Tilemap map(paths[m]);
        // Chunks draw either storage: the same map, or the map read again compact.
        std::unique_ptr<orn::Tilemap> compact =
            m % 2 == 0 ? std::make_unique<orn::Tilemap>(paths[m], Storage::Compact) : nullptr;
        Layers tiles(map, false);
        Layers chunks(compact ? *compact : map, true);
        const sf::Rect<int64_t> area = map.pixelBounds({0, 0, map.tmxMap->width, map.tmxMap->height});
        const sf::Vector2f centre(static_cast<float>(area.width) / 2.f,
                                  static_cast<float>(area.height) / 2.f);
        for (const float shift : {0.f, 0.5f, 0.25f, -1.f}) {
            // As the camera makes its view; after the still frames the animated tiles move on (-1).
            if (shift < 0.f) {
                orn::Time::getInstance().deltaTime = 0.35f;
                tiles.scene->update();
                chunks.scene->update();
                orn::Time::getInstance().deltaTime = 0.f;
            }
            const sf::Vector2f size = sf::Vector2f(800.f, 600.f) * (1.f / zoom);
            const sf::Vector2f middle =
                centre + sf::Vector2f(std::max(shift, 0.f), 2.f * std::max(shift, 0.f));
            const sf::View view(sf::FloatRect(middle - size * 0.5f, size));
            const sf::Image expected = tiles.draw(view);
            const sf::Image actual = chunks.draw(view);
            EXPECT_EQ(std::memcmp(expected.getPixelsPtr(), actual.getPixelsPtr(), 800u * 600u * 4u), 0)
                << "camera shift " << shift;
        }
    }
    assets.rootPath = savedRoot;
}

INSTANTIATE_TEST_SUITE_P(MapsAndZooms, SamePixels,
                         ::testing::Combine(::testing::Values("corpus", "/usr/share/doc/tiled/examples",
                                                              KESTRITH_SOURCE_DIR "/data"),
                                            ::testing::Values(1, 2, 3)));

TEST_F(TileLayerTest, ChunksFollowAMovingCameraAndLiveThroughASceneReload) {
    // 200 x 200 cells of 16 pixels, a collider box under every tenth row.
    std::string gids;
    std::string colliders;
    for (int i = 0; i < 200 * 200; ++i) {
        gids += std::to_string(1 + (i / 7) % 2) + (i + 1 < 200 * 200 ? "," : "");
    }
    for (int row = 10; row < 200; row += 10) {
        colliders += R"(<object type="Collider" x="0" y=")" + std::to_string(row * 16) +
                     R"(" width="3200" height="16"/>)";
    }
    writeMap(200, 200, gids, "", R"(<objectgroup name="objects">)" + colliders + "</objectgroup>");
    orn::Tilemap* map = nullptr;
    orn::ChunkedTileLayer* layer = nullptr;
    orn::ObjectGroupOverlay* overlay = nullptr;
    orn::GameObject* camera = nullptr;
    for (int load = 0; load < 2; ++load) {
        const auto level = std::make_shared<coretest::ScriptedScene>();
        level->onInit = [&](coretest::ScriptedScene& scene) {
            map = assets.loadTilemap("big", "map.tmx", Storage::Compact);
            layer = scene.createGameObject(0)->addComponent<orn::ChunkedTileLayer>(map, "l");
            for (const auto& object : map->getObjectGroup("objects").objects) {
                scene.createGameObject(1)->addComponent<orn::BoxCollider>(
                    sf::FloatRect(object->x, object->y, object->width, object->height));
            }
            overlay = scene.createGameObject(1)->addComponent<orn::ObjectGroupOverlay>(map, "objects");
            camera = scene.createGameObject(1);
            camera->addComponent<orn::Camera>()->zoom = 2.f;
        };
        level->onUnload = [this](coretest::ScriptedScene&) { assets.clearSceneAssets(); };
        orn::SceneManager::getInstance().loadScene(level);
        orn::DebugDraw::enabled = true;
        for (int frame = 0; frame < 450; ++frame) {
            coretest::sharedGame().update(sf::seconds(1.f / 60.f));
            const float step = static_cast<float>(std::min(frame, 300));
            camera->getTransform().lock()->setLocalPosition({10.f * step, 7.f * step});
            coretest::sharedGame().draw();
            // Of the 169 chunks only some near the view are made; those of the last place, when it stays.
            ASSERT_LE(layer->builtChunks(), frame < 420 ? 80u : 30u) << frame;
        }
        EXPECT_EQ(orn::PhysicsManager::getInstance().colliders.size(), 19u);
        // The overlay outlines the boxes in the camera's view from (2800, 1950), zoom 2: the line of 1 pixel
        // along the top of the box at y 2080 covers the window's rows 259 and 260.
        window.clear();
        overlay->drawDebug();
        const sf::Image outlines = captureWindow(window);
        for (unsigned y = 258; y < 263; ++y) {
            EXPECT_EQ(outlines.getPixel(400, y) == sf::Color::Magenta, y == 259 || y == 260) << y;
        }
        // The last view, drawn by chunks made along the way, is that of a layer made for it alone.
        orn::DebugDraw::enabled = false;
        std::vector<sf::Image> shots;
        for (orn::ChunkedTileLayer* drawn :
             {layer, scene->createGameObject(0)->addComponent<orn::ChunkedTileLayer>(map, "l")}) {
            scene->update();
            window.clear();
            drawn->draw();
            shots.push_back(captureWindow(window));
        }
        EXPECT_EQ(std::memcmp(shots[0].getPixelsPtr(), shots[1].getPixelsPtr(), 800u * 600u * 4u), 0);
        EXPECT_NE(shots[0].getPixel(400, 310), sf::Color::Black);
    }
    orn::SceneManager::getInstance().loadScene(std::make_shared<coretest::ScriptedScene>());
    coretest::sharedGame().update(sf::seconds(0.f));  // unloads the level and its map
}

}  // namespace
