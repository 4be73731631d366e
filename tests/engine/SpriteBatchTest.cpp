#include <gtest/gtest.h>

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CoreTestSupport.hpp"
#include "WindowCapture.hpp"
#include "engine/AssetManager.hpp"
#include "engine/GameObject.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Sprite.hpp"
#include "engine/SpriteBatch.hpp"
#include "engine/TileLayer.hpp"
#include "engine/Tilemap.hpp"
#include "engine/Transform.hpp"

namespace {

class LevelScene : public orn::Scene {
public:
    void init() override {}
    void unload() override {}
};

/// Draws a translucent square straight into the window, as texts and shapes do, between the sprites.
class Square : public orn::Component {
public:
    void draw() override {
        sf::RectangleShape shape({24.f, 24.f});
        shape.setPosition(gameObject->getTransform().lock()->getPosition());
        shape.setFillColor(sf::Color(255, 0, 255, 160));
        orn::SceneManager::getInstance().requireWindow().draw(shape);
    }
};

/// The level's three tile layers, and over them sprites in every way a tile or character can be drawn:
/// rotated, mirrored by a negative scale or flipX, tinted, translucent, cut from a reversed texture
/// rectangle, with squares drawn directly in between.
class SpriteBatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        assets.rootPath = KESTRITH_SOURCE_DIR "/data/";
        map = std::make_unique<orn::Tilemap>(KESTRITH_SOURCE_DIR "/data/main.tmx");
        scene.createGameObject(0)->addComponent<orn::TileLayer>(map.get(), "background");
        scene.createGameObject(1)->addComponent<orn::TileLayer>(map.get(), "foreground");
        scene.createGameObject(4)->addComponent<orn::TileLayer>(map.get(), "overlay");
        scene.update();  // the layers make their tiles
        scene.update();  // which join the scene
        ASSERT_NE(tiles = tileTexture(), nullptr);
        for (int i = 0; i < 12; ++i) {
            orn::GameObject* object = scene.createGameObject(3);
            const auto transform = object->getTransform().lock();
            transform->setLocalPosition(
                {560.f + 24.f * static_cast<float>(i), 150.f + 5.f * static_cast<float>(i % 4)});
            if (i % 3 == 0) {
                object->addComponent<Square>();
                continue;
            }
            const int column = i % 8;
            auto* sprite = object->addComponent<orn::Sprite>(
                *tiles, i % 4 == 1 ? sf::IntRect(16 * column + 16, 16, -16, 32)
                                   : sf::IntRect(16 * column, 0, 16, 32));
            transform->setLocalScale({i % 2 == 0 ? -1.f : 2.f, 1.f + static_cast<float>(i % 3)});
            sprite->origin = {0.5f, 1.f};
            sprite->flipX = i % 5 == 2;
            rects.emplace_back(sprite, sprite->sprite.getTextureRect());
            sprite->scale = {1.f, i % 4 == 3 ? -1.f : 1.f};
            const auto shade = static_cast<sf::Uint8>(10 * i);
            sprite->sprite.setColor(sf::Color(255, static_cast<sf::Uint8>(200 - shade), 255,
                                              static_cast<sf::Uint8>(120 + shade)));
        }
        scene.update();
    }

    /// The texture of the foreground's tiles, owned by the map.
    const sf::Texture* tileTexture() {
        for (const auto& entry : scene.layers[1]) {
            if (const auto sprite = entry.second->getComponent<orn::Sprite>().lock()) {
                return sprite->sprite.getTexture();
            }
        }
        return nullptr;
    }

    sf::Image drawLevel(bool batched) {
        window.setView(sf::View(sf::FloatRect(440.f, 60.f, 400.f, 300.f)));
        window.clear(sf::Color::Black);
        // A flipped sprite keeps its mirrored rectangle, so its owner sets the rectangle before every draw.
        for (const auto& [sprite, rect] : rects) {
            sprite->sprite.setTextureRect(rect);
        }
        scene.batchSprites = batched;
        scene.spriteBatch.drawCalls = 0;
        scene.drawComponents(false);
        const sf::Image image = captureWindow(window);
        window.setView(window.getDefaultView());
        return image;
    }

    sf::RenderWindow& window = coretest::sharedGame().getWindow();
    void TearDown() override { assets.rootPath = savedRoot; }

    orn::AssetManager& assets = orn::AssetManager::getInstance();
    const std::string savedRoot = assets.rootPath;
    std::unique_ptr<orn::Tilemap> map;
    /// The foreground's tile texture, owned by map.
    const sf::Texture* tiles = nullptr;
    /// The sprites added over the tiles, owned by the scene, with their texture rectangles.
    std::vector<std::pair<orn::Sprite*, sf::IntRect>> rects;
    LevelScene scene;
};

TEST_F(SpriteBatchTest, ALevelFrameDrawnInRunsHasThePixelsOfOneCallPerSprite) {
    const sf::Image alone = drawLevel(false);
    const sf::Image batched = drawLevel(true);
    const std::size_t runs = scene.spriteBatch.drawCalls;
    // Set KESTRITH_KEEP_FRAMES to a folder to look at both frames.
    if (const char* keep = std::getenv("KESTRITH_KEEP_FRAMES")) {
        batched.saveToFile(std::string(keep) + "/batched.png");
        alone.saveToFile(std::string(keep) + "/alone.png");
    }

    ASSERT_EQ(alone.getSize(), batched.getSize());
    const std::size_t bytes = 4u * alone.getSize().x * alone.getSize().y;
    EXPECT_EQ(std::memcmp(alone.getPixelsPtr(), batched.getPixelsPtr(), bytes), 0);
    std::size_t different = 0;
    std::size_t lit = 0;
    for (unsigned y = 0; y < alone.getSize().y; ++y) {
        for (unsigned x = 0; x < alone.getSize().x; ++x) {
            different += alone.getPixel(x, y) != batched.getPixel(x, y) ? 1 : 0;
            lit += batched.getPixel(x, y) != sf::Color::Black ? 1 : 0;
        }
    }
    EXPECT_EQ(different, 0u);
    // The frame shows the level, and far fewer draw calls than sprites did it: the squares split the runs
    // of the characters' layer, the layers split the rest, and a call holds at most 14 sprites.
    EXPECT_GT(lit, alone.getSize().x * alone.getSize().y / 2);
    EXPECT_GE(runs, 5u);
    EXPECT_LT(runs, 60u);
}

TEST_F(SpriteBatchTest, MirroredAndWholeScaledSpritesShareARunAndRotatedOnesAreDrawnAlone) {
    ASSERT_NE(tiles, nullptr);
    std::vector<sf::Sprite> sprites;
    // Five overlapping translucent sprites at fractional positions with whole, mirrored scales: one run.
    for (int i = 0; i < 5; ++i) {
        sf::Sprite sprite(*tiles, sf::IntRect(16 * i, 16, i % 2 == 0 ? 32 : -32, 16));
        sprite.setPosition(60.f + 17.3f * static_cast<float>(i), 260.f + 3.3f * static_cast<float>(i));
        sprite.setOrigin(16.f, 8.f);
        sprite.setScale(i % 2 == 0 ? -1.f : 2.f, i % 3 == 0 ? -3.f : 1.f);
        sprite.setColor(sf::Color(255, 255, 255, static_cast<sf::Uint8>(100 + 30 * i)));
        sprites.push_back(sprite);
    }
    // Five rotated or stretched ones: each drawn on its own.
    for (int i = 5; i < 10; ++i) {
        sf::Sprite sprite(*tiles, sf::IntRect(16 * i, 16, i % 2 == 0 ? 32 : -32, 16));
        sprite.setPosition(60.f + 37.f * static_cast<float>(i), 300.f + 3.3f * static_cast<float>(i));
        sprite.setOrigin(16.f, 8.f);
        sprite.setRotation(i % 2 == 0 ? 0.f : 37.f * static_cast<float>(i));
        sprite.setScale(i % 3 == 0 ? -1.5f : 1.25f, i % 4 == 3 ? -1.75f : 1.75f);
        sprite.setColor(sf::Color(255, 255, 255, static_cast<sf::Uint8>(100 + 15 * i)));
        sprites.push_back(sprite);
    }
    window.setView(sf::View(sf::FloatRect(40.f, 200.f, 400.f, 300.f)));
    window.clear(sf::Color::Black);
    for (const sf::Sprite& sprite : sprites) {
        window.draw(sprite);
    }
    const sf::Image alone = captureWindow(window);
    window.clear(sf::Color::Black);
    orn::SpriteBatch batch;
    for (const sf::Sprite& sprite : sprites) {
        batch.add(sprite, window);
    }
    batch.flush();
    const sf::Image batched = captureWindow(window);

    EXPECT_EQ(batch.drawCalls, 6u);
    std::size_t different = 0;
    for (unsigned y = 0; y < alone.getSize().y; ++y) {
        for (unsigned x = 0; x < alone.getSize().x; ++x) {
            different += alone.getPixel(x, y) != batched.getPixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(different, 0u);
    window.setView(window.getDefaultView());
    // The first sprite covers the view's point (60, 260), at window pixel (40, 120).
    EXPECT_NE(batched.getPixel(40, 120), sf::Color::Black);
}

}  // namespace
