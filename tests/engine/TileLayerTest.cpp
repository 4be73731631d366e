#include "WindowCapture.hpp"
#include "engine/TileLayer.hpp"

#include <gtest/gtest.h>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <map>

#include "AssetTestDir.hpp"
#include "CoreTestSupport.hpp"
#include "engine/AssetManager.hpp"
#include "engine/Game.hpp"
#include "engine/Sprite.hpp"
#include "engine/TiledObjectNotFoundException.hpp"
#include "engine/Tilemap.hpp"
#include "engine/Transform.hpp"

namespace {

/// Colour of tile column c, row r of the fixture sheet (4 x 2 tiles of 16 pixels).
sf::Color tileColor(unsigned column, unsigned row) {
    return sf::Color(static_cast<sf::Uint8>(60 * column + 20), static_cast<sf::Uint8>(200 * row + 30), 90);
}

class TileLayerTest : public ::testing::Test {
protected:
    TileLayerTest() : previousRoot(orn::AssetManager::getInstance().rootPath) {
        orn::AssetManager::getInstance().rootPath = dir.root();
        sf::Image sheet;
        sheet.create(64, 32);
        for (unsigned y = 0; y < 32; ++y) {
            for (unsigned x = 0; x < 64; ++x) {
                sheet.setPixel(x, y, tileColor(x / 16, y / 16));
            }
        }
        dir.write("sheet.png", "");
        EXPECT_TRUE(sheet.saveToFile(dir.path("sheet.png")));
        // Three columns and two rows; the second row leaves its middle cell empty.
        map = std::make_unique<orn::Tilemap>(
            dir.write("map.tmx", R"(<map width="3" height="2" tilewidth="16" tileheight="16">
            <tileset firstgid="1" name="sheet" tilewidth="16" tileheight="16"><image source="sheet.png"/></tileset>
            <layer name="ground" width="3" height="2"><data encoding="csv">
            1,2,3,
            5,0,8
            </data></layer>
            <layer name="empty" width="3" height="2"><data encoding="csv">0,0,0,0,0,0</data></layer>
          </map>)"));
    }
    ~TileLayerTest() override { orn::AssetManager::getInstance().rootPath = previousRoot; }

    /// Adds a tile layer object and runs the two updates after which its tiles are in their layer.
    orn::GameObject* buildLayer(const std::string& name, int layer, sf::Vector2f position) {
        orn::GameObject* object = scene->createGameObject(layer);
        object->addComponent<orn::TileLayer>(map.get(), name);
        object->getTransform().lock()->setLocalPosition(position);
        scene->update();
        scene->update();
        return object;
    }

    AssetTestDir dir;
    std::string previousRoot;
    std::unique_ptr<orn::Tilemap> map;
    std::shared_ptr<coretest::ScriptedScene> scene = std::make_shared<coretest::ScriptedScene>();
};

TEST_F(TileLayerTest, EachTileBecomesAChildSpriteAtItsMapPosition) {
    orn::GameObject* layerObject = buildLayer("ground", 4, {100.f, 50.f});
    const auto parent = layerObject->getTransform().lock();
    const auto& children = parent->getChildren();
    const auto& tiles = map->layers.at("ground")->tiles;
    ASSERT_EQ(children.size(), 5u);
    ASSERT_EQ(scene->layers[4].size(), 6u);
    for (std::size_t i = 0; i < children.size(); ++i) {
        orn::GameObject* tileObject = children[i]->gameObject;
        EXPECT_EQ(tileObject->layer, 4);
        const sf::Vector2f expected(static_cast<float>(tiles[i]->x), static_cast<float>(tiles[i]->y));
        EXPECT_EQ(children[i]->getPosition(), expected) << "tile " << i;
        EXPECT_EQ(children[i]->getLocalPosition(), expected - sf::Vector2f(100.f, 50.f)) << "tile " << i;
        const auto sprite = tileObject->getComponent<orn::Sprite>().lock();
        ASSERT_TRUE(sprite);
        EXPECT_EQ(sprite->sprite.getTexture(), tiles[i]->tileset->texture.get());
        EXPECT_EQ(sprite->sprite.getTextureRect(), tiles[i]->textureRect);
    }
    // Column by column: the cell (0, 1) with gid 5 comes second.
    EXPECT_EQ(children[1]->getPosition(), sf::Vector2f(0.f, 16.f));
    EXPECT_EQ(children[1]->gameObject->getComponent<orn::Sprite>().lock()->sprite.getTextureRect(),
              sf::IntRect(0, 16, 16, 16));

    // As children they follow the layer object when it moves later.
    parent->setLocalPosition({110.f, 50.f});
    EXPECT_EQ(children[1]->getPosition(), sf::Vector2f(10.f, 16.f));
}

TEST_F(TileLayerTest, AnEmptyLayerCreatesNoObjects) {
    orn::GameObject* layerObject = buildLayer("empty", 0, {0.f, 0.f});
    EXPECT_TRUE(layerObject->getTransform().lock()->getChildren().empty());
    EXPECT_EQ(scene->layers[0].size(), 1u);
}

TEST_F(TileLayerTest, ALayerTheMapLacksIsALoadError) {
    scene->createGameObject(1)->addComponent<orn::TileLayer>(map.get(), "overlay");
    try {
        scene->update();
        ADD_FAILURE() << "expected TiledObjectNotFoundException";
    } catch (const orn::TiledObjectNotFoundException& e) {
        EXPECT_EQ(e.what(),
                  "A layer with the name 'overlay' does not exist in '" + dir.path("map.tmx") + "'!");
    }
}

TEST_F(TileLayerTest, TheTilesDrawTheirSheetPixelsInPlace) {
    sf::RenderWindow& window = coretest::sharedGame().getWindow();
    buildLayer("ground", 0, {0.f, 0.f});
    window.setView(window.getDefaultView());
    window.clear(sf::Color::Black);
    scene->drawComponents(false);
    const sf::Image shot = captureWindow(window);

    // The centre of each cell shows the sheet tile its gid names; the empty cell stays black.
    const std::map<std::pair<unsigned, unsigned>, sf::Color> expected{
        {{0, 0}, tileColor(0, 0)}, {{1, 0}, tileColor(1, 0)},  {{2, 0}, tileColor(2, 0)},
        {{0, 1}, tileColor(0, 1)}, {{1, 1}, sf::Color::Black}, {{2, 1}, tileColor(3, 1)}};
    for (const auto& [cell, color] : expected) {
        EXPECT_EQ(shot.getPixel(cell.first * 16 + 8, cell.second * 16 + 8), color)
            << "cell " << cell.first << ", " << cell.second;
    }
    EXPECT_EQ(shot.getPixel(47, 31), tileColor(3, 1));
    EXPECT_EQ(shot.getPixel(48, 8), sf::Color::Black);
}

}  // namespace
