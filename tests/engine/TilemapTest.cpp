#include "engine/Tilemap.hpp"

#include <gtest/gtest.h>
#include <SFML/Graphics/Image.hpp>

#include "AssetTestDir.hpp"
#include "ExpectLoadError.hpp"
#include "engine/AssetManager.hpp"
#include "engine/PropertyNotFoundException.hpp"
#include "engine/TiledObjectNotFoundException.hpp"

using orn::Tilemap;

namespace {

std::string tileset(const std::string& name, int firstGid, const std::string& image, int tileSize = 16) {
    const std::string size = std::to_string(tileSize);
    return R"(<tileset firstgid=")" + std::to_string(firstGid) + R"(" name=")" + name + R"(" tilewidth=")" +
           size + R"(" tileheight=")" + size + R"("><image source=")" + image + R"("/></tileset>)";
}

std::string layer(const std::string& name, int width, int height, const std::string& data) {
    return R"(<layer name=")" + name + R"(" width=")" + std::to_string(width) + R"(" height=")" +
           std::to_string(height) + R"("><data encoding="csv">)" + data + "</data></layer>";
}

/// Tilemaps read their tileset images through the asset manager, rooted at the test directory.
class TilemapTest : public ::testing::Test {
protected:
    TilemapTest() : previousRoot(orn::AssetManager::getInstance().rootPath) {
        orn::AssetManager::getInstance().rootPath = dir.root();
        writeImage("tiles/sheet.png", 64, 32);
    }
    ~TilemapTest() override { orn::AssetManager::getInstance().rootPath = previousRoot; }

    void writeImage(const std::string& relativePath, unsigned width, unsigned height) {
        dir.write(relativePath, "");
        sf::Image image;
        image.create(width, height, sf::Color::Red);
        ASSERT_TRUE(image.saveToFile(dir.path(relativePath)));
    }
    Tilemap load(const std::string& children, int tileSize = 16) {
        const std::string size = std::to_string(tileSize);
        return Tilemap(dir.write("map.tmx", R"(<map width="2" height="2" tilewidth=")" + size +
                                                R"(" tileheight=")" + size + R"(">)" + children + "</map>"));
    }
    void expectRejected(const std::string& children, const std::string& message) {
        expectLoadError([&] { load(children); }, message, dir.path("map.tmx"));
    }

    AssetTestDir dir;
    std::string previousRoot;
};

TEST_F(TilemapTest, TilesRunColumnByColumnWithTheirSheetRectangles) {
    // The sheet holds 4 x 2 tiles of 16 pixels: local id 5 is column 1 of row 1.
    const Tilemap map = load(tileset("sheet", 1, "tiles/sheet.png") + layer("ground", 2, 2, "1,2,\n6,8"));
    const auto& tiles = map.layers.at("ground")->tiles;
    ASSERT_EQ(tiles.size(), 4u);
    const std::vector<std::pair<int, int>> positions{{0, 0}, {0, 16}, {16, 0}, {16, 16}};
    const std::vector<int> gids{1, 6, 2, 8};
    const std::vector<sf::IntRect> rects{{0, 0, 16, 16}, {16, 16, 16, 16}, {16, 0, 16, 16}, {48, 16, 16, 16}};
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        EXPECT_EQ(tiles[i]->x, positions[i].first) << "tile " << i;
        EXPECT_EQ(tiles[i]->y, positions[i].second) << "tile " << i;
        EXPECT_EQ(tiles[i]->gid, gids[i]) << "tile " << i;
        EXPECT_EQ(tiles[i]->textureRect, rects[i]) << "tile " << i;
        EXPECT_EQ(tiles[i]->tileset, map.tilesets.at("sheet"));
    }
    EXPECT_EQ(map.tilesets.at("sheet")->texture->getSize(), sf::Vector2u(64, 32));
}

TEST_F(TilemapTest, EmptyCellsArePassedOverAndTilesSitOnTheBottomLeftOfTheirCells) {
    writeImage("small.png", 16, 16);
    const Tilemap map = load(tileset("small", 1, "small.png", 8) + layer("sparse", 2, 2, "0,0,0,3") +
                                 layer("empty", 2, 2, "0,0,0,0"),
                             32);
    ASSERT_EQ(map.layers.at("sparse")->tiles.size(), 1u);
    const auto& tile = *map.layers.at("sparse")->tiles[0];
    // Cell (1, 1) of a 32-pixel grid: an 8-pixel tile sits in its bottom-left corner.
    EXPECT_EQ(tile.x, 32);
    EXPECT_EQ(tile.y, 56);
    EXPECT_EQ(tile.textureRect, sf::IntRect(0, 8, 8, 8));
    EXPECT_TRUE(map.layers.at("empty")->tiles.empty());
}

TEST_F(TilemapTest, TheLastTilesetStartingAtOrBelowTheIdOwnsIt) {
    writeImage("big.png", 160, 160);
    const Tilemap map = load(tileset("first", 1, "big.png") + tileset("second", 50, "tiles/sheet.png") +
                             layer("ground", 2, 1, "49,50"));
    const auto& tiles = map.layers.at("ground")->tiles;
    ASSERT_EQ(tiles.size(), 2u);
    EXPECT_EQ(tiles[0]->tileset->name, "first");
    EXPECT_EQ(tiles[0]->textureRect, sf::IntRect(128, 64, 16, 16));  // local id 48 of 10 columns
    EXPECT_EQ(tiles[1]->tileset->name, "second");
    EXPECT_EQ(tiles[1]->textureRect, sf::IntRect(0, 0, 16, 16));
}

TEST_F(TilemapTest, TilesetsSharingAnImageShareOneTexture) {
    const Tilemap map = load(tileset("a", 1, "tiles/sheet.png") + tileset("b", 9, "tiles/sheet.png"));
    EXPECT_EQ(map.textures.size(), 1u);
    EXPECT_EQ(map.tilesets.at("a")->texture, map.tilesets.at("b")->texture);
}

TEST_F(TilemapTest, ObjectsCarryFloatGeometryAndTypedProperties) {
    const Tilemap map = load(R"(<objectgroup name="entities">
        <object name="Darklord" type="Darklord" x="16.9" y="32" width="8" height="24" rotation="45">
          <properties>
            <property name="Flag" value="true"/><property name="Shout" value="TRUE"/>
            <property name="One" type="bool" value="1"/><property name="Number" value="7.9"/>
            <property name="Digits" value="12abc"/><property name="Word" value="abc"/>
            <property name="Huge" value="99999999999"/>
            <property name="DirX" value="-1.5"/><property name="DirY" value="0.25"/><property name="OnlyX" value="3"/>
            <property name="Speed" value="first"/><property name="Speed" value="second"/>
          </properties>
        </object>
      </objectgroup>)");
    const auto& object = *map.getObjectGroup("entities").objects.at(0);
    EXPECT_EQ(object.name, "Darklord");
    EXPECT_EQ(object.type, "Darklord");
    EXPECT_FLOAT_EQ(object.x, 16.9f);
    EXPECT_FLOAT_EQ(object.y, 32.f);
    EXPECT_FLOAT_EQ(object.width, 8.f);
    EXPECT_FLOAT_EQ(object.height, 24.f);
    EXPECT_FLOAT_EQ(object.rotation, 45.f);

    EXPECT_TRUE(object.getPropertyBool("Flag"));
    EXPECT_FALSE(object.getPropertyBool("Shout"));
    EXPECT_FALSE(object.getPropertyBool("One"));
    EXPECT_EQ(object.getPropertyInt("Number"), 7);
    EXPECT_FLOAT_EQ(object.getPropertyFloat("Number"), 7.9f);
    EXPECT_EQ(object.getPropertyInt("Digits"), 12);
    EXPECT_EQ(object.getPropertyInt("Word"), 0);
    EXPECT_EQ(object.getPropertyInt("Huge"), 2147483647);
    EXPECT_EQ(object.getPropertyVector("Dir"), sf::Vector2f(-1.5f, 0.25f));
    EXPECT_EQ(object.getProperty("Speed"), "first");
}

TEST_F(TilemapTest, MissingGroupsAndPropertiesRaiseTheirMessages) {
    const Tilemap map = load(R"(<objectgroup name="triggers"><object name="Gate" x="0" y="0">
        <properties><property name="OnlyY" value="1"/><property name="BothX" value="1"/></properties>
      </object></objectgroup>)");
    try {
        map.getObjectGroup("tutorial");
        ADD_FAILURE() << "expected TiledObjectNotFoundException";
    } catch (const orn::TiledObjectNotFoundException& e) {
        EXPECT_STREQ(e.what(), "An object group with the name 'tutorial' does not exist!");
    }
    EXPECT_EQ(map.objectGroups.size(), 1u);

    const auto& gate = *map.getObjectGroup("triggers").objects.at(0);
    auto expectMissing = [](auto get, const std::string& key) {
        try {
            get();
            ADD_FAILURE() << "expected PropertyNotFoundException for " << key;
        } catch (const orn::PropertyNotFoundException& e) {
            EXPECT_EQ(e.what(), "Property with key '" + key + "' not found in GameObject 'Gate'!");
        }
    };
    expectMissing([&] { gate.getProperty("IsTrigger"); }, "IsTrigger");
    expectMissing([&] { gate.getPropertyBool("IsTrigger"); }, "IsTrigger");
    expectMissing([&] { gate.getPropertyInt("Damage"); }, "Damage");
    expectMissing([&] { gate.getPropertyFloat("Damage"); }, "Damage");
    expectMissing([&] { gate.getPropertyVector("Only"); }, "OnlyX");  // X is read before Y
    expectMissing([&] { gate.getPropertyVector("Both"); }, "BothY");
}

TEST_F(TilemapTest, UnreadableFilesAndImagesRaiseLoadErrors) {
    expectLoadError([&] { Tilemap(dir.path("absent.tmx")); }, "Failed to load tilemap!",
                    dir.path("absent.tmx"));
    expectLoadError([&] { load(tileset("gone", 1, "gone.png")); },
                    "The tileset 'gone' in '" + dir.path("map.tmx") +
                        "' uses the image 'gone.png', which cannot be loaded (Unable to open file)!",
                    "gone.png");
}

TEST_F(TilemapTest, TilesNoTilesetHoldsAreRejected) {
    const std::string where = "The layer 'ground' in '" + dir.path("map.tmx") + "' uses the tile id '";
    expectRejected(tileset("sheet", 5, "tiles/sheet.png") + layer("ground", 1, 1, "4"),
                   where + "4', below the first id of every tileset!");
    expectRejected(tileset("sheet", 1, "tiles/sheet.png") + layer("ground", 1, 1, "9"),
                   where + "9', outside the image of the tileset 'sheet'!");
    // Flip bits do not make an id: a flipped tile 9 is still outside the sheet, named as the file has it.
    expectRejected(tileset("sheet", 1, "tiles/sheet.png") + layer("ground", 1, 1, "2147483657"),
                   where + "2147483657', outside the image of the tileset 'sheet'!");
}

TEST_F(TilemapTest, TilesetsThatCannotHoldATileAreRejected) {
    const std::string where = "The tileset 'sheet' in '" + dir.path("map.tmx") + "'";
    expectRejected(
        tileset("sheet", 1, "tiles/sheet.png", 128),
        where + " has the image 'tiles/sheet.png' of 64 x 32 pixels, smaller than one tile of 128 x 128!");
    expectRejected(tileset("sheet", 1, "tiles/sheet.png", 0), where + " has tiles of 0 x 0 pixels!");
}

TEST_F(TilemapTest, TheAssetManagerBuildsEachKeyOnceUntilTheSceneStoreIsCleared) {
    orn::AssetManager& assets = orn::AssetManager::getInstance();
    dir.write("level.tmx", R"(<map width="1" height="1" tilewidth="16" tileheight="16">)" +
                               tileset("sheet", 1, "tiles/sheet.png") + "</map>");
    orn::Tilemap* first = assets.loadTilemap("level", "level.tmx");
    EXPECT_EQ(assets.loadTilemap("level", "absent.tmx"), first);
    EXPECT_EQ(first->tilesets.count("sheet"), 1u);
    assets.clearSceneAssets();
    expectLoadError([&] { assets.loadTilemap("level", "absent.tmx"); }, "Failed to load tilemap!",
                    dir.path("absent.tmx"));
}

}  // namespace
