// The tile map model over the wider TMX format: tile rectangles with margin and spacing, flips, tiles of
// other sizes than the grid, image collections, animations, layer attributes, render order, infinite maps
// and properties.
#include <gtest/gtest.h>
#include <SFML/Graphics/Image.hpp>

#include <string>

#include "AssetTestDir.hpp"
#include "engine/AssetManager.hpp"
#include "engine/Tilemap.hpp"

using orn::Tilemap;

namespace {

class TilemapFeaturesTest : public ::testing::Test {
protected:
    TilemapFeaturesTest() : previousRoot(orn::AssetManager::getInstance().rootPath) {
        orn::AssetManager::getInstance().rootPath = dir.root();
    }
    ~TilemapFeaturesTest() override { orn::AssetManager::getInstance().rootPath = previousRoot; }

    Tilemap load(const std::string& children, const std::string& attributes = "") {
        return Tilemap(
            dir.write("maps/map.tmx", R"(<map width="3" height="2" tilewidth="16" tileheight="16")" +
                                          attributes + ">" + children + "</map>"));
    }

    static std::string csvLayer(const std::string& name, const std::string& ids,
                                const std::string& attributes = "") {
        return R"(<layer name=")" + name + R"(" width="3" height="2")" + attributes +
               R"(><data encoding="csv">)" + ids + "</data></layer>";
    }

    AssetTestDir dir;
    std::string previousRoot;
};

TEST_F(TilemapFeaturesTest, MarginSpacingFlipsAndTilesOfOtherSizesArePlacedAsTheEditorPlacesThem) {
    // 3 x 2 tiles of 10 x 24 pixels, a margin of 2 and a spacing of 1: 2 + 3 * 10 + 2 * 1 + 2 = 36 wide.
    dir.writeImage("maps/tall.png", 36, 53);
    const Tilemap map =
        load(R"(<tileset firstgid="1" name="tall" tilewidth="10" tileheight="24" margin="2" spacing="1">)"
             R"(<tileoffset x="3" y="-1"/><image source="tall.png"/></tileset>)" +
             csvLayer("ground", "1,0,0,0,2147483654,1610612737"));
    const auto& tiles = map.layers.at("ground")->tiles;
    ASSERT_EQ(tiles.size(), 3u);
    EXPECT_EQ(tiles[0]->textureRect, sf::IntRect(2, 2, 10, 24));
    // Bottom-left on the cell (0, 0), whose bottom is at 16, then moved by the tile offset.
    EXPECT_EQ(tiles[0]->x, 3);
    EXPECT_EQ(tiles[0]->y, 16 - 24 - 1);
    EXPECT_FALSE(tiles[0]->flipHorizontally || tiles[0]->flipVertically || tiles[0]->flipDiagonally);

    // Cell (1, 1): local id 5 is column 2 of row 1.
    const Tilemap::Tile& flipped = *tiles[1];
    EXPECT_EQ(flipped.column, 1);
    EXPECT_EQ(flipped.row, 1);
    EXPECT_EQ(flipped.textureRect, sf::IntRect(2 + 2 * 11, 2 + 25, 10, 24));
    EXPECT_EQ(flipped.x, 16 + 3);
    EXPECT_EQ(flipped.y, 32 - 24 - 1);
    EXPECT_TRUE(flipped.flipHorizontally);
    EXPECT_FALSE(flipped.flipVertically);
    EXPECT_EQ(static_cast<uint32_t>(flipped.gid), 2147483654u);
    EXPECT_TRUE(tiles[2]->flipVertically && tiles[2]->flipDiagonally && !tiles[2]->flipHorizontally);

    // Tiles reaching beyond their cells are drawn row by row, as the render order says.
    const auto& order = map.layers.at("ground")->drawOrder;
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(tiles[order[0]]->row, 0);
    EXPECT_EQ(tiles[order[1]]->column, 1);
    EXPECT_EQ(tiles[order[2]]->column, 2);
    const Tilemap leftUp = load(
        R"(<tileset firstgid="1" name="tall" tilewidth="10" tileheight="24"><image source="tall.png"/></tileset>)" +
            csvLayer("ground", "1,0,1,0,1,1"),
        R"( renderorder="left-up")");
    const auto& upTiles = leftUp.layers.at("ground")->tiles;
    std::vector<std::pair<int, int>> cells;
    for (const std::size_t index : leftUp.layers.at("ground")->drawOrder) {
        cells.emplace_back(upTiles[index]->column, upTiles[index]->row);
    }
    EXPECT_EQ(cells, (std::vector<std::pair<int, int>>{{2, 1}, {1, 1}, {2, 0}, {0, 0}}));
}

TEST_F(TilemapFeaturesTest, ImageCollectionsAnimationsAndPropertiesComeFromTheTileset) {
    dir.writeImage("maps/art/wide.png", 32, 8);
    dir.writeImage("maps/art/small.png", 8, 8);
    dir.write("maps/sets/things.tsx", R"(<tileset name="things" tilewidth="32" tileheight="8">
      <properties><property name="kind" value="props"/></properties>
      <tile id="3"><image source="../art/wide.png"/>
        <properties><property name="solid" type="bool" value="true"/>
          <property name="stats" type="class"><properties><property name="hp" value="4"/>
            <property name="inner" type="class"><properties><property name="x" value="1"/></properties></property>
          </properties></property></properties>
        <animation><frame tileid="3" duration="100"/><frame tileid="7" duration="40"/></animation></tile>
      <tile id="7"><image source="../art/small.png"/></tile></tileset>)");
    const Tilemap map = load(R"(<properties><property name="music" value="cave"/></properties>)"
                             R"(<tileset firstgid="1" source="sets/things.tsx"/>)" +
                             csvLayer("ground", "0,4,0,0,0,8"));
    EXPECT_EQ(map.properties.at("music"), "cave");
    const Tilemap::Tileset& tileset = *map.tilesets.at("things");
    EXPECT_FALSE(tileset.texture);
    EXPECT_EQ(tileset.properties.at("kind"), "props");
    const Tilemap::Properties& tileProperties = tileset.tileProperties.at(3);
    EXPECT_EQ(tileProperties.at("solid"), "true");
    EXPECT_EQ(tileProperties.at("stats.hp"), "4");
    EXPECT_EQ(tileProperties.at("stats.inner.x"), "1");

    const auto& tiles = map.layers.at("ground")->tiles;
    ASSERT_EQ(tiles.size(), 2u);
    const Tilemap::Tile& wide = *tiles[0];
    EXPECT_EQ(wide.textureRect, sf::IntRect(0, 0, 32, 8));
    EXPECT_EQ(wide.texture->getSize(), sf::Vector2u(32, 8));
    EXPECT_EQ(wide.y, 16 - 8);
    ASSERT_EQ(wide.animation.size(), 2u);
    EXPECT_EQ(wide.animation[0].texture, wide.texture);
    EXPECT_EQ(wide.animation[1].texture, tiles[1]->texture);
    EXPECT_EQ(wide.animation[1].textureRect, sf::IntRect(0, 0, 8, 8));
    EXPECT_EQ(wide.animation[1].duration, 40);
    // One texture per image, however many tiles and frames show it.
    EXPECT_EQ(map.textures.size(), 2u);
}

TEST_F(TilemapFeaturesTest, LayersKeepOrderColourVisibilityAndInfiniteCells) {
    dir.writeImage("maps/tiles.png", 32, 16);
    const std::string tileset =
        R"(<tileset firstgid="1" name="tiles" tilewidth="16" tileheight="16"><image source="tiles.png"/></tileset>)";
    const Tilemap map =
        load(tileset + csvLayer("same", "1,0,0,0,0,0") +
             R"(<group name="g" opacity="0.5" offsetx="2.5"><layer name="same" width="3" height="2" )"
             R"(tintcolor="#80ff0000" visible="0"><data encoding="csv">2,2,2,2,2,2</data></layer></group>)");
    ASSERT_EQ(map.layersInOrder.size(), 2u);
    EXPECT_EQ(map.layers.at("same"), map.layersInOrder[1]);
    EXPECT_EQ(map.layersInOrder[0]->tiles.size(), 1u);
    const Tilemap::Layer& second = *map.layersInOrder[1];
    EXPECT_FALSE(second.visible);
    EXPECT_FLOAT_EQ(second.offsetX, 2.5f);
    // The tint's alpha darkens its colour; the opacity becomes the alpha.
    EXPECT_EQ(second.color, sf::Color(128, 0, 0, 128));

    const Tilemap infinite =
        load(tileset + R"(<layer name="far" width="3" height="2"><data encoding="csv">)"
                       R"(<chunk x="-16" y="-32" width="1" height="2">0,2</chunk></data></layer>)",
             R"( infinite="1")");
    const auto& far = infinite.layers.at("far")->tiles;
    ASSERT_EQ(far.size(), 1u);
    EXPECT_EQ(far[0]->column, -16);
    EXPECT_EQ(far[0]->row, -31);
    EXPECT_EQ(far[0]->x, -256);
    EXPECT_EQ(far[0]->y, -31 * 16);
}

}  // namespace
