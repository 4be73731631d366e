#include "engine/TmxMap.hpp"

#include <gtest/gtest.h>
#include <SFML/System/Err.hpp>

#include <rapidxml/rapidxml.hpp>
#include <sstream>

#include "AssetTestDir.hpp"
#include "ExpectLoadError.hpp"

using orn::TmxMap;

namespace {

/// A map laid out exactly as the editor (1.8) saves it, with the attributes it leaves out for empty names,
/// fractional object coordinates and the three ways it writes property values.
const char* const kEditorMap = R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.8" tiledversion="1.8.2" orientation="orthogonal" renderorder="right-down" width="3" height="2" tilewidth="16" tileheight="16" infinite="0" nextlayerid="5" nextobjectid="5">
 <tileset firstgid="1" name="rogue" tilewidth="16" tileheight="16" tilecount="8" columns="4">
  <image source="tiles/rogue.png" width="64" height="32"/>
 </tileset>
 <layer id="1" name="background" width="3" height="2">
  <data encoding="csv">
1,2,3,
4,5,2147483654
</data>
 </layer>
 <layer id="2" width="3" height="2" visible="0">
  <data encoding="csv">
0,0,0,
0,0,0
</data>
 </layer>
 <objectgroup id="3" name="entities">
  <object id="1" name="Player" type="Player" x="16.9" y="-3.25" width="10"/>
  <object id="2" x="1" y="2" rotation="90.5" gid="7">
   <properties>
    <property name="IsTrigger" type="bool" value="true"/>
    <property name="Empty" value=""/>
    <property name="Text">line one
line two</property>
   </properties>
  </object>
  <object id="3" x="4" y="5">
   <point/>
  </object>
 </objectgroup>
 <objectgroup id="4" visible="0"/>
</map>
)";

std::string mapWith(const std::string& children) {
    return R"(<map width="2" height="2" tilewidth="16" tileheight="16">)" + children + "</map>";
}

std::string layerWith(const std::string& data, int width = 2, int height = 2) {
    return R"(<layer name="ground" width=")" + std::to_string(width) + R"(" height=")" +
           std::to_string(height) + R"("><data encoding="csv">)" + data + "</data></layer>";
}

class TmxMapTest : public ::testing::Test {
protected:
    std::shared_ptr<TmxMap> load(const std::string& text) {
        return TmxMap::loadMap(dir.write("map.tmx", text));
    }
    void expectRejected(const std::string& text, const std::string& message) {
        const std::string path = dir.write("map.tmx", text);
        expectLoadError([&] { TmxMap::loadMap(path); }, message, path);
    }
    std::string file() const { return dir.path("map.tmx"); }

    AssetTestDir dir;
};

TEST_F(TmxMapTest, ReadsAMapAsTheEditorWritesIt) {
    const auto map = load(kEditorMap);
    ASSERT_TRUE(map);
    EXPECT_EQ(map->width, 3);
    EXPECT_EQ(map->height, 2);
    EXPECT_EQ(map->tileWidth, 16);
    EXPECT_EQ(map->tileHeight, 16);

    ASSERT_EQ(map->tilesets.size(), 1u);
    EXPECT_EQ(map->tilesets[0]->firstGid, 1);
    EXPECT_EQ(map->tilesets[0]->name, "rogue");
    EXPECT_EQ(map->tilesets[0]->imageSource, "tiles/rogue.png");

    ASSERT_EQ(map->layers.size(), 2u);
    EXPECT_EQ(map->layers[0]->name, "background");
    // The flip bits of the last id stay in the top bits; the model interprets them.
    EXPECT_EQ(map->layers[0]->data, (std::vector<int32_t>{1, 2, 3, 4, 5, static_cast<int32_t>(0x80000006u)}));
    EXPECT_EQ(map->layers[1]->name, "");
    EXPECT_EQ(map->layers[1]->data, std::vector<int32_t>(6, 0));

    ASSERT_EQ(map->objectGroups.size(), 2u);
    const auto& group = *map->objectGroups[0];
    EXPECT_EQ(group.name, "entities");
    EXPECT_TRUE(group.visible);
    ASSERT_EQ(group.objects.size(), 3u);
    const auto& player = *group.objects[0];
    EXPECT_EQ(player.name, "Player");
    EXPECT_EQ(player.type, "Player");
    // Fractions are kept.
    EXPECT_FLOAT_EQ(player.x, 16.9f);
    EXPECT_FLOAT_EQ(player.y, -3.25f);
    EXPECT_EQ(player.width, 10);
    EXPECT_EQ(player.height, 0);
    EXPECT_TRUE(player.properties.empty());

    const auto& marker = *group.objects[1];
    EXPECT_EQ(marker.name, "");
    EXPECT_EQ(marker.type, "");
    EXPECT_EQ(marker.gid, 7);
    EXPECT_FLOAT_EQ(marker.rotation, 90.5f);
    ASSERT_EQ(marker.properties.size(), 3u);
    EXPECT_EQ(marker.properties[0]->name, "IsTrigger");
    EXPECT_EQ(marker.properties[0]->value, "true");
    EXPECT_EQ(marker.properties[1]->value, "");
    EXPECT_EQ(marker.properties[2]->name, "Text");
    EXPECT_EQ(marker.properties[2]->value, "line one\nline two");

    EXPECT_EQ(group.objects[2]->x, 4);
    EXPECT_EQ(group.objects[2]->shape, orn::TmxObject::Shape::Point);
    EXPECT_FALSE(map->layers[1]->visible);
    EXPECT_EQ(map->objectGroups[1]->name, "");
    EXPECT_FALSE(map->objectGroups[1]->visible);
}

TEST_F(TmxMapTest, AMapWithoutContentHasEmptyLists) {
    const auto map = load("\xEF\xBB\xBF" + mapWith(""));
    ASSERT_TRUE(map);
    EXPECT_EQ(map->width, 2);
    EXPECT_TRUE(map->tilesets.empty());
    EXPECT_TRUE(map->layers.empty());
    EXPECT_TRUE(map->objectGroups.empty());
}

TEST_F(TmxMapTest, CsvDelimitersOfAnyKindAndNumberSeparateTheIds) {
    for (const std::string data :
         {"1,2,3,4", "\n1,2,\n3,4\n\n", "\r\n1, 2,\r\n\t3 ,4,\r\n", ",,1,,2 3\t4,,"}) {
        const auto map = load(mapWith(layerWith(data)));
        ASSERT_TRUE(map);
        EXPECT_EQ(map->layers[0]->data, (std::vector<int32_t>{1, 2, 3, 4})) << "data: " << data;
    }
    // Each id is read with atoi rules.
    EXPECT_EQ(load(mapWith(layerWith("7x,+8,-0,12.9")))->layers[0]->data,
              (std::vector<int32_t>{7, 8, 0, 12}));
}

TEST_F(TmxMapTest, InterleavedElementsKeepDocumentOrderWithinTheirKind) {
    const std::string tileset =
        R"(<tileset firstgid="F" name="N" tilewidth="8" tileheight="8"><image source="N.png"/></tileset>)";
    auto tilesetNamed = [&](const std::string& name, const std::string& firstGid) {
        std::string text = tileset;
        text.replace(text.find('F'), 1, firstGid);
        text.replace(text.find("\"N\""), 3, "\"" + name + "\"");
        return text;
    };
    const auto map =
        load(mapWith(R"(<objectgroup name="g1"/>)" + layerWith("0,0,0,0") + tilesetNamed("a", "1") +
                     R"(<properties><property name="x" value="y"/></properties>)" +
                     R"(<objectgroup name="g2"/><imagelayer name="sky"/>)" + tilesetNamed("b", "9") +
                     R"(<group name="nested">)" + layerWith("1,1,1,1") + "</group>" +
                     R"(<layer name="top" width="1" height="1"><data encoding="csv">5</data></layer>)"));
    ASSERT_TRUE(map);
    ASSERT_EQ(map->tilesets.size(), 2u);
    EXPECT_EQ(map->tilesets[0]->name, "a");
    EXPECT_EQ(map->tilesets[1]->firstGid, 9);
    // The layer inside the group layer comes in document order.
    ASSERT_EQ(map->layers.size(), 3u);
    EXPECT_EQ(map->layers[0]->name, "ground");
    EXPECT_EQ(map->layers[1]->data, (std::vector<int32_t>{1, 1, 1, 1}));
    EXPECT_EQ(map->layers[2]->name, "top");
    ASSERT_EQ(map->properties.size(), 1u);
    EXPECT_EQ(map->properties[0]->value, "y");
    ASSERT_EQ(map->objectGroups.size(), 2u);
    EXPECT_EQ(map->objectGroups[0]->name, "g1");
    EXPECT_EQ(map->objectGroups[1]->name, "g2");
}

TEST_F(TmxMapTest, ObjectGroupVisibilityAndObjectTypeSpellings) {
    const auto map = load(mapWith(R"(<objectgroup name="a" visible="1">
        <object x="0" y="0" class="Player"/>
        <object x="0" y="0" type="Enemy" class="Player"/>
      </objectgroup>
      <objectgroup name="b" visible="0"/><objectgroup name="c" visible=""/>)"));
    ASSERT_TRUE(map);
    EXPECT_TRUE(map->objectGroups[0]->visible);
    EXPECT_FALSE(map->objectGroups[1]->visible);
    EXPECT_FALSE(map->objectGroups[2]->visible);
    EXPECT_EQ(map->objectGroups[0]->objects[0]->type, "Player");
    EXPECT_EQ(map->objectGroups[0]->objects[1]->type, "Enemy");
}

TEST_F(TmxMapTest, DuplicatePropertiesAreAllKeptInOrder) {
    const auto map = load(mapWith(R"(<objectgroup name="a"><object x="1" y="1"><properties>
        <property name="Speed" value="1"/><property name="Speed" value="2"/></properties></object></objectgroup>)"));
    ASSERT_TRUE(map);
    const auto& properties = map->objectGroups[0]->objects[0]->properties;
    ASSERT_EQ(properties.size(), 2u);
    EXPECT_EQ(properties[0]->value, "1");
    EXPECT_EQ(properties[1]->value, "2");
}

TEST_F(TmxMapTest, AFileThatCannotBeOpenedGivesTheErrorLineAndNull) {
    std::ostringstream captured;
    std::streambuf* previous = sf::err().rdbuf(captured.rdbuf());
    const auto missing = TmxMap::loadMap(dir.path("absent.tmx"));
    const auto directory = TmxMap::loadMap(dir.root());
    sf::err().rdbuf(previous);
    EXPECT_FALSE(missing);
    EXPECT_FALSE(directory);
    EXPECT_EQ(captured.str(), "loadMap: could not open file " + dir.path("absent.tmx") +
                                  "\nloadMap: could not open file " + dir.root() + "\n");
}

TEST_F(TmxMapTest, MalformedXmlRaisesTheParserError) {
    EXPECT_THROW(load("<map width=\"1"), rapidxml::parse_error);
    EXPECT_THROW(load(mapWith(layerWith("1,2,3,4")).substr(0, 60)), rapidxml::parse_error);
    EXPECT_THROW(load("<map width=\"1\"><layer></map>"), rapidxml::parse_error);
}

TEST_F(TmxMapTest, MissingRequiredElementsAndAttributesNameTheElement) {
    const std::string in = "> in '" + file() + "' has no ";
    expectRejected("<?xml version=\"1.0\"?><tileset/>", "The file '" + file() + "' has no element 'map'!");
    expectRejected("", "The file '" + file() + "' has no element 'map'!");
    expectRejected(R"(<map width="1" height="1" tilewidth="1"/>)",
                   "The element <map" + in + "attribute 'tileheight'!");
    expectRejected(
        mapWith(R"(<tileset name="t" tilewidth="8" tileheight="8"><image source="a.png"/></tileset>)"),
        "The element <tileset 't'" + in + "attribute 'firstgid'!");
    expectRejected(
        mapWith(R"(<tileset firstgid="1" tilewidth="8" tileheight="8"><image source="a.png"/></tileset>)"),
        "The element <tileset" + in + "attribute 'name'!");
    expectRejected(mapWith(R"(<tileset firstgid="1" name="t" tilewidth="8" tileheight="8"/>)"),
                   "The element <tileset 't'" + in + "element 'image'!");
    expectRejected(
        mapWith(R"(<tileset firstgid="1" name="t" tilewidth="8" tileheight="8"><image/></tileset>)"),
        "The element <image" + in + "attribute 'source'!");
    expectRejected(mapWith(R"(<layer name="l" height="1"><data encoding="csv">1</data></layer>)"),
                   "The element <layer 'l'" + in + "attribute 'width'!");
    expectRejected(mapWith(R"(<layer name="l" width="1" height="1"/>)"),
                   "The element <layer 'l'" + in + "element 'data'!");
    expectRejected(mapWith(R"(<objectgroup name="g"><object y="1"/></objectgroup>)"),
                   "The element <object" + in + "attribute 'x'!");
    expectRejected(mapWith(R"(<objectgroup><object name="o" x="1"/></objectgroup>)"),
                   "The element <object 'o'" + in + "attribute 'y'!");
    expectRejected(
        mapWith(
            R"(<objectgroup><object x="1" y="1"><properties><property value="1"/></properties></object></objectgroup>)"),
        "The element <property" + in + "attribute 'name'!");
    expectRejected(
        mapWith(
            R"(<objectgroup><object x="1" y="1"><properties><property name="p" type="int">)"
            R"(<properties><property name="q" value="1"/></properties></property></properties></object></objectgroup>)"),
        "The element <property 'p'" + in + "attribute 'value'!");
}

TEST_F(TmxMapTest, UnsupportedLayoutsAndMalformedLayerDataAreRejected) {
    const std::string layer = "The layer 'ground' in '" + file() + "'";
    expectRejected(
        R"(<map orientation="isometric" width="1" height="1" tilewidth="16" tileheight="8"/>)",
        "The map '" + file() + "' has the orientation 'isometric'; only orthogonal maps are supported!");
    expectRejected(
        R"(<map orientation="hexagonal" width="1" height="1" tilewidth="16" tileheight="8"/>)",
        "The map '" + file() + "' has the orientation 'hexagonal'; only orthogonal maps are supported!");
    expectRejected(mapWith(R"(<tileset firstgid="5" source="tiles.tsx"/>)"),
                   "The element <tileset> in '" + file() + "' refers to the file '" + dir.path("tiles.tsx") +
                       "', which cannot be opened!");
    expectRejected(
        mapWith(R"(<layer name="ground" width="1" height="1"><data encoding="base85">1</data></layer>)"),
        layer + " stores its tiles with the unknown encoding 'base85'!");
    expectRejected(mapWith(layerWith("", -1, 2)), layer + " has the invalid size -1 x 2!");
    expectRejected(mapWith(layerWith("1,2,3,4,5")), layer + " holds 5 tile ids instead of 4!");
    expectRejected(mapWith(layerWith("1,2,3\n")), layer + " holds 3 tile ids instead of 4!");
    // A billion cells are refused before anything is allocated for them.
    expectRejected(mapWith(layerWith("1", 100000, 10000)),
                   layer + " spans 100000 x 10000 cells, more than the 16777216 a layer may hold!");
    expectRejected(
        mapWith(R"(<layer name="ground" width="2" height="1"><data><tile gid="1"/></data></layer>)"),
        layer + " holds 1 tile ids instead of 2!");
}

}  // namespace
