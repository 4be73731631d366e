// The parts of the TMX format beyond CSV layers of embedded tilesets: encoded and compressed tile data,
// external tilesets and templates, group layers, infinite maps, object shapes and class properties, and the
// refusals of malformed or absurd input.
#include <gtest/gtest.h>

#include <cstring>
#include <rapidxml/rapidxml.hpp>
#include <string>
#include <vector>

#include "AssetTestDir.hpp"
#include "ExpectLoadError.hpp"
#include "TileDataEncoding.hpp"
#include "engine/TmxMap.hpp"

using orn::TmxMap;
using orn::TmxObject;

namespace {

std::string mapWith(const std::string& children, const std::string& attributes = "") {
    return R"(<map width="2" height="2" tilewidth="16" tileheight="16")" + attributes + ">" + children +
           "</map>";
}

std::string dataLayer(const std::string& dataAttributes, const std::string& text, int width = 2,
                      int height = 2) {
    return R"(<layer name="ground" width=")" + std::to_string(width) + R"(" height=")" +
           std::to_string(height) + R"("><data )" + dataAttributes + ">" + text + "</data></layer>";
}

class TmxMapFormatsTest : public ::testing::Test {
protected:
    std::shared_ptr<TmxMap> load(const std::string& text) {
        return TmxMap::loadMap(dir.write("map.tmx", text));
    }
    void expectRejected(const std::string& text, const std::string& message, const std::string& file = "") {
        const std::string path = dir.write("map.tmx", text);
        expectLoadError([&] { TmxMap::loadMap(path); }, message, file.empty() ? path : file);
    }
    std::string layerWhere() const { return "The layer 'ground' in '" + dir.path("map.tmx") + "'"; }

    AssetTestDir dir;
};

const std::vector<uint32_t> kIds{1, 0x80000002u, 0x60000003u, 70000};

TEST_F(TmxMapFormatsTest, EveryEncodingAndCompressionGivesTheSameIds) {
    const std::string bytes = bytesOf(kIds);
    const std::vector<std::pair<std::string, std::string>> forms{
        {R"(encoding="csv")", "1,2147483650,\n1610612739,70000"},
        {R"(encoding="base64")", "\n   " + base64(bytes) + "\n  "},
        {R"(encoding="base64" compression="zlib")", base64(deflated(bytes, 15))},
        {R"(encoding="base64" compression="gzip")", base64(deflated(bytes, 31))},
        {R"(encoding="base64" compression="zstd")", base64(zstdCompressed(bytes))},
        {"", R"(<tile gid="1"/><tile gid="2147483650"/><tile gid="1610612739"/><tile gid="70000"/>)"},
    };
    std::vector<int32_t> expected;
    for (const uint32_t id : kIds) {
        expected.push_back(static_cast<int32_t>(id));
    }
    for (const auto& [attributes, text] : forms) {
        const auto map = load(mapWith(dataLayer(attributes, text)));
        ASSERT_TRUE(map) << attributes;
        EXPECT_EQ(map->layers[0]->data, expected) << attributes;
    }
    // An empty XML tile is an empty cell.
    EXPECT_EQ(load(mapWith(dataLayer("", R"(<tile/><tile gid="3"/><tile/><tile/>)")))->layers[0]->data,
              (std::vector<int32_t>{0, 3, 0, 0}));
}

TEST_F(TmxMapFormatsTest, MalformedEncodedDataNamesTheLayerAndNeverReadsBeyondIt) {
    const std::string bytes = bytesOf(kIds);
    const std::string zlib = deflated(bytes, 15);
    const std::string where = layerWhere();
    expectRejected(mapWith(dataLayer(R"(encoding="base64")", base64(bytes.substr(0, 12)))),
                   where + " holds 3 tile ids instead of 4!");
    expectRejected(mapWith(dataLayer(R"(encoding="base64")", base64(bytesOf({1, 2, 3, 4, 5})))),
                   where + " holds more than 4 tile ids instead of 4!");
    expectRejected(
        mapWith(dataLayer(R"(encoding="base64")", "AQAAA")),
        where + " is not valid base64: 5 digits and 0 padding characters do not make whole bytes!");
    expectRejected(mapWith(dataLayer(R"(encoding="base64")", "AQ*AAA==")),
                   where + " is not valid base64: it holds the character '*'!");
    expectRejected(mapWith(dataLayer(R"(encoding="base64" compression="zlib")",
                                     base64(zlib.substr(0, zlib.size() / 2)))),
                   where + " could not be decompressed by zlib: the data ends too early!");
    std::string corrupt = zlib;
    corrupt[1] = static_cast<char>(corrupt[1] ^ 1);
    expectRejected(mapWith(dataLayer(R"(encoding="base64" compression="zlib")", base64(corrupt))),
                   where + " could not be decompressed by zlib: incorrect header check!");
    const std::string zstd = zstdCompressed(bytes);
    expectRejected(mapWith(dataLayer(R"(encoding="base64" compression="zstd")",
                                     base64(zstd.substr(0, zstd.size() - 3)))),
                   where + " could not be decompressed by zstd: the data ends too early!");
    expectRejected(mapWith(dataLayer(R"(encoding="base64" compression="lzma")", base64(bytes))),
                   where + " is compressed by 'lzma'; only zlib, gzip and zstd are supported!");
    // Megabytes of zeros compress to a few hundred bytes; only what the layer holds is ever decompressed.
    const std::string bomb = deflated(std::string(8 << 20, '\0'), 15);
    expectRejected(mapWith(dataLayer(R"(encoding="base64" compression="zlib")", base64(bomb))),
                   where + " holds more than 4 tile ids instead of 4!");
}

TEST_F(TmxMapFormatsTest, ExternalTilesetsAreReadRelativeToTheMapWithTheirImagesRebased) {
    dir.write("sets/terrain.tsx", R"(<?xml version="1.0"?>
<tileset name="terrain" tilewidth="16" tileheight="24" margin="1" spacing="2" tilecount="6" columns="3">
 <tileoffset x="3" y="-4"/>
 <image source="../images/terrain.png" trans="ff00ff" width="54" height="53"/>
 <tile id="2" type="Water"><properties><property name="deep" type="bool" value="true"/></properties>
  <animation><frame tileid="2" duration="100"/><frame tileid="5" duration="250"/></animation>
 </tile>
</tileset>)");
    const auto map = load(mapWith(R"(<tileset firstgid="1" source="sets/terrain.tsx"/>)"
                                  R"(<tileset firstgid="7" source="./sets/../sets/terrain.tsx"/>)"));
    ASSERT_TRUE(map);
    ASSERT_EQ(map->tilesets.size(), 2u);
    const orn::TmxTileset& tileset = *map->tilesets[0];
    EXPECT_EQ(tileset.name, "terrain");
    EXPECT_EQ(tileset.source, "sets/terrain.tsx");
    EXPECT_EQ(tileset.imageSource, "images/terrain.png");
    EXPECT_EQ(tileset.transparentColor, "ff00ff");
    EXPECT_EQ(tileset.tileHeight, 24);
    EXPECT_EQ(tileset.margin, 1);
    EXPECT_EQ(tileset.spacing, 2);
    EXPECT_EQ(tileset.offsetX, 3);
    EXPECT_EQ(tileset.offsetY, -4);
    ASSERT_EQ(tileset.tiles.size(), 1u);
    EXPECT_EQ(tileset.tiles[0].type, "Water");
    ASSERT_EQ(tileset.tiles[0].animation.size(), 2u);
    EXPECT_EQ(tileset.tiles[0].animation[1].tileId, 5);
    EXPECT_EQ(tileset.tiles[0].animation[1].duration, 250);
    EXPECT_EQ(map->tilesets[1]->firstGid, 7);
    EXPECT_EQ(map->tilesets[1]->imageSource, "images/terrain.png");

    dir.write("loop.tsx", R"(<tileset firstgid="1" source="loop.tsx"/>)");
    expectRejected(mapWith(R"(<tileset firstgid="1" source="loop.tsx"/>)"),
                   "The tileset file '" + dir.path("loop.tsx") +
                       "' refers on to the file 'loop.tsx'; a tileset file must hold the tileset!",
                   dir.path("loop.tsx"));
    dir.write("broken.tsx", R"(<tileset name="b" tilewidth="8">)");
    EXPECT_THROW(load(mapWith(R"(<tileset firstgid="1" source="broken.tsx"/>)")), rapidxml::parse_error);
}

TEST_F(TmxMapFormatsTest, ImageCollectionTilesCarryTheirOwnImages) {
    const auto map = load(mapWith(R"(<tileset firstgid="1" name="things" tilewidth="40" tileheight="30">
      <tile id="0"><image source="a.png" width="10" height="12"/></tile>
      <tile id="4"><image source="sub/b.png" width="40" height="30"/></tile></tileset>)"));
    ASSERT_TRUE(map);
    const orn::TmxTileset& tileset = *map->tilesets[0];
    EXPECT_TRUE(tileset.imageSource.empty());
    ASSERT_EQ(tileset.tiles.size(), 2u);
    EXPECT_EQ(tileset.tiles[1].id, 4);
    EXPECT_EQ(tileset.tiles[1].imageSource, "sub/b.png");
    EXPECT_EQ(tileset.tiles[0].imageWidth, 10);
}

TEST_F(TmxMapFormatsTest, GroupsCombineOffsetsOpacityVisibilityAndTint) {
    const std::string data = R"(<data encoding="csv">0,0,0,0</data>)";
    const auto map = load(mapWith(
        R"(<group name="outer" offsetx="4" offsety="-2.5" opacity="0.5" tintcolor="#ff8080ff">)"
        R"(<layer name="a" width="2" height="2" offsetx="1" opacity="0.5" tintcolor="#80ffffff">)" +
        data +
        R"(</layer><objectgroup name="inside"/>)"
        R"(<group name="hidden" visible="0"><layer name="b" width="2" height="2">)" +
        data + R"(</layer></group></group><layer name="c" width="2" height="2">)" + data + "</layer>"));
    ASSERT_TRUE(map);
    ASSERT_EQ(map->layers.size(), 3u);
    const orn::TmxLayer& a = *map->layers[0];
    EXPECT_FLOAT_EQ(a.offsetX, 5.f);
    EXPECT_FLOAT_EQ(a.offsetY, -2.5f);
    EXPECT_FLOAT_EQ(a.opacity, 0.25f);
    EXPECT_TRUE(a.visible);
    // #AARRGGBB: alpha and every channel multiply.
    EXPECT_EQ(a.tint, 0x808080FFu);
    EXPECT_FALSE(map->layers[1]->visible);
    EXPECT_FLOAT_EQ(map->layers[1]->offsetX, 4.f);
    EXPECT_TRUE(map->layers[2]->visible);
    EXPECT_FLOAT_EQ(map->layers[2]->opacity, 1.f);
    EXPECT_EQ(map->layers[2]->tint, 0xFFFFFFFFu);
    ASSERT_EQ(map->objectGroups.size(), 1u);
    EXPECT_EQ(map->objectGroups[0]->name, "inside");
    EXPECT_FLOAT_EQ(map->objectGroups[0]->offsetX, 4.f);
    // The groups themselves, with their attributes combined with the enclosing ones.
    ASSERT_EQ(map->plainLayers.size(), 2u);
    EXPECT_EQ(map->plainLayers[1]->name, "hidden");
    EXPECT_EQ(map->plainLayers[1]->kind, orn::TmxPlainLayer::Kind::Group);
    EXPECT_FALSE(map->plainLayers[1]->visible);
    EXPECT_FLOAT_EQ(map->plainLayers[1]->opacity, 0.5f);
}

TEST_F(TmxMapFormatsTest, InfiniteMapsPutTheirChunksIntoOneBoundingArray) {
    const std::string chunkB = base64(deflated(bytesOf({5, 0, 0, 6}), 15));
    const auto map = load(mapWith(
        R"(<layer name="ground" width="8" height="8"><data encoding="base64" compression="zlib">)"
        R"(<chunk x="-2" y="-1" width="2" height="2">)" +
            base64(deflated(bytesOf({1, 2, 3, 4}), 15)) +
            R"(</chunk><chunk x="1" y="1" width="2" height="2">)" + chunkB + "</chunk></data></layer>",
        R"( infinite="1")"));
    ASSERT_TRUE(map);
    ASSERT_TRUE(map->infinite);
    const orn::TmxLayer& layer = *map->layers[0];
    EXPECT_EQ(layer.originX, -2);
    EXPECT_EQ(layer.originY, -1);
    ASSERT_EQ(layer.width, 5);
    ASSERT_EQ(layer.height, 4);
    // Column c, row r of the map lies at (r - originY) * width + (c - originX).
    EXPECT_EQ(layer.data, (std::vector<int32_t>{1, 2, 0, 0, 0,  //
                                                3, 4, 0, 0, 0,  //
                                                0, 0, 0, 5, 0,  //
                                                0, 0, 0, 0, 6}));

    expectRejected(mapWith(R"(<layer name="ground" width="1" height="1"><data encoding="csv">)"
                           R"(<chunk x="-2000000000" y="0" width="1" height="1">1</chunk>)"
                           R"(<chunk x="2000000000" y="0" width="1" height="1">1</chunk></data></layer>)",
                           R"( infinite="1")"),
                   layerWhere() + " spans 4000000001 x 1 cells, more than the 16777216 a layer may hold!");
    expectRejected(mapWith(R"(<layer name="ground" width="1" height="1"><data encoding="csv">)"
                           R"(<chunk x="0" y="0" width="2" height="1">1</chunk></data></layer>)",
                           R"( infinite="1")"),
                   layerWhere() + " holds 1 tile ids instead of 2!");
}

TEST_F(TmxMapFormatsTest, ObjectShapesTemplatesAndClassPropertiesAreKept) {
    dir.write("sets/props.tsx",
              R"(<tileset name="props" tilewidth="16" tileheight="16"><image source="p.png"/></tileset>)");
    dir.write("templates/chest.tx", R"(<template><tileset firstgid="1" source="../sets/props.tsx"/>
      <object name="Chest" type="Loot" gid="2147483651" width="16" height="16">
        <properties><property name="gold" type="int" value="5"/><property name="locked" type="bool" value="true"/></properties>
      </object></template>)");
    dir.write("templates/self.tx", R"(<template><object template="self.tx" x="1" y="1"/></template>)");
    const auto map =
        load(mapWith(R"(<tileset firstgid="10" source="sets/props.tsx"/><objectgroup name="things">
      <object id="1" x="1.5" y="2.25"><ellipse/></object>
      <object id="2" x="3" y="4"><polygon points="0,0 10.5,5 -4,8"/></object>
      <object id="3" x="0" y="0"><polyline points="1,2 3,4"/></object>
      <object id="4" x="5" y="6"><text wrap="1">Hello</text></object>
      <object id="5" template="templates/chest.tx" x="32" y="48">
        <properties><property name="gold" type="int" value="9"/>
          <property name="stats" type="class" propertytype="Stats">
            <properties><property name="hp" type="int" value="3"/></properties></property></properties>
      </object></objectgroup>)"));
    ASSERT_TRUE(map);
    const auto& objects = map->objectGroups[0]->objects;
    ASSERT_EQ(objects.size(), 5u);
    EXPECT_EQ(objects[0]->shape, TmxObject::Shape::Ellipse);
    EXPECT_FLOAT_EQ(objects[0]->y, 2.25f);
    EXPECT_EQ(objects[1]->shape, TmxObject::Shape::Polygon);
    EXPECT_EQ(objects[1]->points,
              (std::vector<std::pair<float, float>>{{0.f, 0.f}, {10.5f, 5.f}, {-4.f, 8.f}}));
    EXPECT_EQ(objects[2]->shape, TmxObject::Shape::Polyline);
    EXPECT_EQ(objects[2]->points.size(), 2u);
    EXPECT_EQ(objects[3]->shape, TmxObject::Shape::Text);
    EXPECT_EQ(objects[3]->text, "Hello");

    // The instance states its position and one property; the rest comes from the template, whose tile id
    // is moved to the map's numbering of the same tileset, flip kept.
    const TmxObject& chest = *objects[4];
    EXPECT_EQ(chest.name, "Chest");
    EXPECT_EQ(chest.type, "Loot");
    EXPECT_FLOAT_EQ(chest.x, 32.f);
    EXPECT_FLOAT_EQ(chest.width, 16.f);
    EXPECT_EQ(static_cast<uint32_t>(chest.gid), 0x80000000u | 12u);
    ASSERT_EQ(chest.properties.size(), 4u);
    EXPECT_EQ(chest.properties[0]->value, "9");
    EXPECT_EQ(chest.properties[1]->type, "class");
    EXPECT_EQ(chest.properties[1]->propertyType, "Stats");
    ASSERT_EQ(chest.properties[1]->members.size(), 1u);
    EXPECT_EQ(chest.properties[1]->members[0]->value, "3");
    EXPECT_EQ(chest.properties[2]->value, "5");

    expectRejected(mapWith(R"(<objectgroup><object template="templates/self.tx"/></objectgroup>)"),
                   "The template '" + dir.path("templates/self.tx") +
                       "' refers on to the template 'self.tx'; a template must hold its object!",
                   dir.path("templates/self.tx"));
    expectRejected(mapWith(R"(<objectgroup><object template="missing.tx"/></objectgroup>)"),
                   "The element <object> in '" + dir.path("map.tmx") + "' refers to the file '" +
                       dir.path("missing.tx") + "', which cannot be opened!");
}

}  // namespace
