// What a TileLayer makes of flipped, tinted, hidden and animated tiles.
#include <gtest/gtest.h>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include "AssetTestDir.hpp"
#include "CoreTestSupport.hpp"
#include "WindowCapture.hpp"
#include "engine/AssetManager.hpp"
#include "engine/Game.hpp"
#include "engine/Sprite.hpp"
#include "engine/TileLayer.hpp"
#include "engine/Tilemap.hpp"
#include "engine/Time.hpp"
#include "engine/Transform.hpp"

namespace {

/// Tile 0 of the sheet: 16 x 8 pixels in four quadrants; tile 1 below it is grey.
const sf::Color topLeft = sf::Color::Red;
const sf::Color topRight = sf::Color::Green;
const sf::Color bottomLeft = sf::Color::Blue;
const sf::Color bottomRight = sf::Color::Yellow;

class TileLayerFeaturesTest : public ::testing::Test {
protected:
    TileLayerFeaturesTest() : previousRoot(orn::AssetManager::getInstance().rootPath) {
        orn::AssetManager::getInstance().rootPath = dir.root();
        sf::Image sheet;
        sheet.create(16, 16, sf::Color(90, 90, 90));
        for (unsigned y = 0; y < 8; ++y) {
            for (unsigned x = 0; x < 16; ++x) {
                sheet.setPixel(x, y,
                               y < 4 ? (x < 8 ? topLeft : topRight) : (x < 8 ? bottomLeft : bottomRight));
            }
        }
        dir.write("sheet.png", "");
        EXPECT_TRUE(sheet.saveToFile(dir.path("sheet.png")));
    }
    ~TileLayerFeaturesTest() override { orn::AssetManager::getInstance().rootPath = previousRoot; }

    /// A 4 x 1 map of 16-pixel cells holding gids (flip bits included) in one layer.
    void build(const std::string& gids, const std::string& layerAttributes = "",
               const std::string& tileChildren = "") {
        map = std::make_unique<orn::Tilemap>(dir.write(
            "map.tmx",
            R"(<map width="4" height="1" tilewidth="16" tileheight="16">)"
            R"(<tileset firstgid="1" name="sheet" tilewidth="16" tileheight="8"><image source="sheet.png"/>)" +
                tileChildren + R"(</tileset><layer name="l" width="4" height="1")" + layerAttributes +
                R"(><data encoding="csv">)" + gids + "</data></layer></map>"));
        layerObject = scene->createGameObject(0);
        layerObject->addComponent<orn::TileLayer>(map.get(), "l");
        scene->update();
        scene->update();
    }

    sf::Image draw() {
        sf::RenderWindow& window = coretest::sharedGame().getWindow();
        window.setView(window.getDefaultView());
        window.clear(sf::Color::Black);
        scene->drawComponents(false);
        return captureWindow(window);
    }

    orn::Sprite& spriteOf(std::size_t child) {
        return *layerObject->getTransform()
                    .lock()
                    ->getChildren()
                    .at(child)
                    ->gameObject->getComponent<orn::Sprite>()
                    .lock();
    }

    AssetTestDir dir;
    std::string previousRoot;
    std::unique_ptr<orn::Tilemap> map;
    std::shared_ptr<coretest::ScriptedScene> scene = std::make_shared<coretest::ScriptedScene>();
    orn::GameObject* layerObject = nullptr;
};

TEST_F(TileLayerFeaturesTest, FlipsTurnAndMirrorTheTileInItsCell) {
    // Cell 0 unflipped, 1 mirrored horizontally, 2 anti-diagonally (x and y swapped), 3 both.
    build("1,2147483649,536870913,2684354561");
    const sf::Image shot = draw();
    // Upright: 16 x 8 on the bottom half of the cell.
    EXPECT_EQ(shot.getPixel(2, 10), topLeft);
    EXPECT_EQ(shot.getPixel(13, 14), bottomRight);
    EXPECT_EQ(shot.getPixel(2, 6), sf::Color::Black);
    // Mirrored left to right.
    EXPECT_EQ(shot.getPixel(16 + 13, 10), topLeft);
    EXPECT_EQ(shot.getPixel(16 + 2, 10), topRight);
    // Swapped: 8 x 16 standing on the cell's bottom-left corner; the top row of the tile is its left column.
    EXPECT_EQ(shot.getPixel(32 + 2, 4), topLeft);
    EXPECT_EQ(shot.getPixel(32 + 2, 12), topRight);
    EXPECT_EQ(shot.getPixel(32 + 6, 4), bottomLeft);
    EXPECT_EQ(shot.getPixel(32 + 6, 12), bottomRight);
    EXPECT_EQ(shot.getPixel(32 + 10, 8), sf::Color::Black);
    // Swapped, then mirrored left to right.
    EXPECT_EQ(shot.getPixel(48 + 6, 4), topLeft);
    EXPECT_EQ(shot.getPixel(48 + 2, 4), bottomLeft);
    EXPECT_EQ(shot.getPixel(48 + 6, 12), topRight);
}

TEST_F(TileLayerFeaturesTest, TintOpacityAndVisibilityReachTheTileObjects) {
    build("1,0,0,0", R"( tintcolor="#ff8000" opacity="0.5")");
    EXPECT_EQ(spriteOf(0).sprite.getColor(), sf::Color(255, 128, 0, 128));
    EXPECT_TRUE(spriteOf(0).gameObject->isActive());

    scene = std::make_shared<coretest::ScriptedScene>();
    build("1,1,0,0", R"( visible="0" offsetx="3.5" offsety="-2")");
    EXPECT_FALSE(spriteOf(1).gameObject->isActive());
    // Offsets are rounded to whole pixels, half up, as the editor draws them.
    EXPECT_EQ(layerObject->getTransform().lock()->getChildren().at(1)->getPosition(),
              sf::Vector2f(16.f + 4.f, 6.f));
}

TEST_F(TileLayerFeaturesTest, AnimatedTilesStepThroughTheirFramesWithTheScaledFrameTime) {
    // The updates that build the layer pass no time.
    orn::Time& time = orn::Time::getInstance();
    const float previous = time.deltaTime;
    time.deltaTime = 0.f;
    build("1,0,0,1", "",
          R"(<tile id="0"><animation><frame tileid="1" duration="100"/>)"
          R"(<frame tileid="0" duration="50"/></animation></tile>)");
    const sf::IntRect still(0, 0, 16, 8);
    const sf::IntRect grey(0, 8, 16, 8);
    EXPECT_EQ(spriteOf(0).sprite.getTextureRect(), grey);
    const std::vector<std::pair<float, sf::IntRect>> steps{{0.099f, grey}, {0.002f, still}, {0.048f, still},
                                                           {0.001f, grey}, {1.5f, grey},    {0.1f, still}};
    for (const auto& [seconds, rect] : steps) {
        time.deltaTime = seconds;
        scene->update();
        EXPECT_EQ(spriteOf(0).sprite.getTextureRect(), rect) << "after " << seconds;
        EXPECT_EQ(spriteOf(1).sprite.getTextureRect(), rect) << "after " << seconds;
    }
    time.deltaTime = previous;
}

}  // namespace
