#include <gtest/gtest.h>
#include <SFML/Graphics/RenderWindow.hpp>

#include "AssetTestDir.hpp"
#include "CoreTestSupport.hpp"
#include "ExpectLoadError.hpp"
#include "TestScenes.hpp"
#include "WindowCapture.hpp"
#include "engine/AnimatedSprite.hpp"
#include "engine/AssetManager.hpp"
#include "engine/Camera.hpp"
#include "engine/DebugDraw.hpp"
#include "engine/Sprite.hpp"
#include "engine/SpriteBatch.hpp"
#include "engine/Time.hpp"
#include "engine/Transform.hpp"

namespace {

using testsupport::EmptyScene;

/// Sprites and cameras drawn into the shared 800 x 600 test window, with their textures loaded from a
/// fixture directory into the asset manager for the test.
class SpriteDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedRoot = assets.rootPath;
        savedScene = assets.sceneAssets;
        assets.rootPath = dir.root();
        window.setView(window.getDefaultView());
    }
    void TearDown() override {
        window.setView(window.getDefaultView());
        assets.rootPath = savedRoot;
        assets.sceneAssets = savedScene;
        orn::Time::getInstance().deltaTime = savedDeltaTime;
    }

    orn::GameObject* objectAt(sf::Vector2f position) {
        orn::GameObject* object = scene.createGameObject(0);
        object->getTransform().lock()->setLocalPosition(position);
        return object;
    }

    sf::RenderWindow& window = coretest::sharedGame().getWindow();
    orn::AssetManager& assets = orn::AssetManager::getInstance();
    AssetTestDir dir;
    EmptyScene scene;
    std::string savedRoot;
    orn::AssetStore savedScene;
    float savedDeltaTime = orn::Time::getInstance().deltaTime;
};

TEST_F(SpriteDrawTest, CameraAtZoomTwoShowsHalfTheWindowAroundItsObject) {
    {
        EmptyScene own;
        orn::GameObject* object = own.createGameObject(1);
        object->getTransform().lock()->setLocalPosition({1000.f, 400.f});
        orn::Camera* camera = object->addComponent<orn::Camera>();
        camera->zoom = 2.f;
        camera->apply();

        EXPECT_EQ(orn::Camera::main, camera);
        const sf::View& view = window.getView();
        EXPECT_EQ(view.getCenter(), sf::Vector2f(1000.f, 400.f));
        EXPECT_EQ(view.getSize(), sf::Vector2f(400.f, 300.f));
        // The world rectangle (800, 250, 400, 300) fills the window.
        const sf::Vector2f topLeft = window.mapPixelToCoords({0, 0});
        const sf::Vector2f bottomRight = window.mapPixelToCoords({800, 600});
        EXPECT_NEAR(topLeft.x, 800.f, 1e-3f);
        EXPECT_NEAR(topLeft.y, 250.f, 1e-3f);
        EXPECT_NEAR(bottomRight.x, 1200.f, 1e-3f);
        EXPECT_NEAR(bottomRight.y, 550.f, 1e-3f);
    }
    // Destroying the main camera clears Camera::main.
    EXPECT_EQ(orn::Camera::main, nullptr);
}

TEST_F(SpriteDrawTest, OriginIsAFractionOfTheRectangleAndScalesMultiply) {
    dir.writeImage("knight.png", 32, 48);
    assets.loadTexture("knight", "knight.png");

    orn::GameObject* parent = objectAt({50.f, 60.f});
    parent->getTransform().lock()->setLocalScale({2.f, 2.f});
    orn::GameObject* child = objectAt({10.f, 0.f});
    child->getTransform().lock()->setParent(parent->getTransform().lock().get());
    orn::Sprite* sprite = child->addComponent<orn::Sprite>("knight");
    sprite->origin = {0.5f, 1.f};
    sprite->scale = {0.5f, 0.5f};
    sprite->draw();

    EXPECT_EQ(sprite->sprite.getOrigin(), sf::Vector2f(16.f, 48.f));
    EXPECT_EQ(sprite->sprite.getPosition(), sf::Vector2f(60.f, 60.f));
    EXPECT_EQ(sprite->sprite.getScale(), sf::Vector2f(1.f, 1.f));

    // A smaller rectangle moves the pivot with it.
    sprite->sprite.setTextureRect({0, 0, 16, 16});
    sprite->draw();
    EXPECT_EQ(sprite->sprite.getOrigin(), sf::Vector2f(8.f, 16.f));
}

TEST_F(SpriteDrawTest, FlippedAnimatedSpritesMirrorEachFrame) {
    dir.writeImage("strip.png", 32, 8);
    dir.write("strip.json", R"({"frames": [{"frame": {"x": 0, "y": 0, "w": 16, "h": 8}, "duration": 100},
                                            {"frame": {"x": 16, "y": 0, "w": 16, "h": 8}, "duration": 100}],
                               "meta": {"frameTags": [{"name": "walk", "from": 0, "to": 1}]}})");
    assets.loadTexture("strip", "strip.png");
    assets.loadSpriteAnimation("strip", "strip.json");

    orn::AnimatedSprite* sprite =
        objectAt({0.f, 0.f})->addComponent<orn::AnimatedSprite>("strip", "strip", "walk");
    sprite->flipX = true;
    sprite->origin = {0.5f, 1.f};
    orn::Time::getInstance().deltaTime = 0.1f;
    for (const sf::IntRect mirrored : {sf::IntRect(16, 0, -16, 8), sf::IntRect(32, 0, -16, 8)}) {
        sprite->update();
        sprite->draw();
        EXPECT_EQ(sprite->sprite.getTextureRect(), mirrored);
        EXPECT_EQ(sprite->sprite.getOrigin(), sf::Vector2f(8.f, 8.f));
    }
}

TEST_F(SpriteDrawTest, TrimmedFramesAreDrawnWhereTheySitInTheirUntrimmedPicture) {
    // Two frames of one 16 x 16 picture, trimmed to their opaque parts: a red 4 x 4 part at (2, 3) and a
    // green 6 x 2 part at (9, 12); packed side by side in the sheet.
    sf::Image sheet;
    sheet.create(10, 4, sf::Color::Transparent);
    for (unsigned y = 0; y < 4; ++y) {
        for (unsigned x = 0; x < 10; ++x) {
            sheet.setPixel(x, y,
                           x < 4 ? sf::Color::Red : (y < 2 ? sf::Color::Green : sf::Color::Transparent));
        }
    }
    ASSERT_TRUE(sheet.saveToFile(dir.path("trim.png")));
    const auto trimmed = [](int x, int w, int h, int offsetX, int offsetY) {
        const std::string size = R"("w": )" + std::to_string(w) + R"(, "h": )" + std::to_string(h);
        return R"({"frame": {"x": )" + std::to_string(x) + R"(, "y": 0, )" + size +
               R"(}, "trimmed": true, "spriteSourceSize": {"x": )" + std::to_string(offsetX) + R"(, "y": )" +
               std::to_string(offsetY) + ", " + size +
               R"(}, "sourceSize": {"w": 16, "h": 16}, "duration": 100})";
    };
    dir.write("trim.json", R"({"frames": {"trim 0.ase": )" + trimmed(0, 4, 4, 2, 3) + R"(, "trim 1.ase": )" +
                               trimmed(4, 6, 2, 9, 12) +
                               R"(}, "meta": {"frameTags": [{"name": "blink", "from": 0, "to": 1}]}})");
    assets.loadTexture("trim", "trim.png");
    assets.loadSpriteAnimation("trim", "trim.json");

    // The untrimmed picture's bottom centre is the pivot, at (100, 100): the picture spans
    // (92..108, 84..100).
    orn::AnimatedSprite* sprite =
        objectAt({100.f, 100.f})->addComponent<orn::AnimatedSprite>("trim", "trim", "blink");
    sprite->origin = {0.5f, 1.f};
    orn::Time::getInstance().deltaTime = 0.1f;
    const auto drawn = [&] {
        window.clear(sf::Color::Black);
        sprite->draw();
        return captureWindow(window);
    };
    // The scene's draw pass adds sprites to a batch instead; the frame must land in the same place.
    const auto drawnInBatch = [&] {
        window.clear(sf::Color::Black);
        orn::SpriteBatch batch;
        sprite->drawInto(batch);
        batch.flush();
        return captureWindow(window);
    };
    // Whether exactly the rectangle (left, top, width, height) of the window holds colour, checked at and
    // just beyond its corners.
    const auto expectBlock = [](const sf::Image& image, int left, int top, int width, int height,
                                sf::Color color) {
        const auto at = [&](int x, int y) { return image.getPixel(unsigned(x), unsigned(y)); };
        EXPECT_EQ(at(left, top), color) << left << "," << top;
        EXPECT_EQ(at(left + width - 1, top + height - 1), color) << left << "," << top;
        EXPECT_EQ(at(left - 1, top), sf::Color::Black) << left << "," << top;
        EXPECT_EQ(at(left, top - 1), sf::Color::Black) << left << "," << top;
        EXPECT_EQ(at(left + width, top + height - 1), sf::Color::Black) << left << "," << top;
        EXPECT_EQ(at(left + width - 1, top + height), sf::Color::Black) << left << "," << top;
    };

    sprite->update();
    expectBlock(drawn(), 94, 87, 4, 4, sf::Color::Red);
    expectBlock(drawnInBatch(), 94, 87, 4, 4, sf::Color::Red);
    EXPECT_EQ(sprite->origin, sf::Vector2f(0.5f, 1.f)) << "the pivot is the untrimmed picture's";
    sprite->update();
    expectBlock(drawn(), 101, 96, 6, 2, sf::Color::Green);

    // Mirrored, each part sits as far from the picture's right edge as it sat from its left.
    sprite->flipX = true;
    sprite->update();
    expectBlock(drawn(), 102, 87, 4, 4, sf::Color::Red);
    sprite->update();
    expectBlock(drawn(), 93, 96, 6, 2, sf::Color::Green);
    expectBlock(drawnInBatch(), 93, 96, 6, 2, sf::Color::Green);

    // The top left pivot puts the picture's corner at the object.
    sprite->flipX = false;
    sprite->origin = {0.f, 0.f};
    sprite->update();
    expectBlock(drawn(), 102, 103, 4, 4, sf::Color::Red);
}

TEST_F(SpriteDrawTest, DebugDrawingShowsTheFrameIndexAtTheObject) {
    dir.writeImage("strip.png", 8, 8);
    dir.write("strip.json", R"({"frames": [{"frame": {"x": 0, "y": 0, "w": 8, "h": 8}, "duration": 100}],
                               "meta": {"frameTags": [{"name": "idle", "from": 0, "to": 0}]}})");
    assets.loadTexture("strip", "strip.png");
    assets.loadSpriteAnimation("strip", "strip.json");
    orn::AnimatedSprite* sprite =
        objectAt({200.f, 100.f})->addComponent<orn::AnimatedSprite>("strip", "strip", "idle");

    const orn::AssetStore savedGlobal = assets.globalAssets;
    assets.globalAssets.fonts.erase("default");
    expectLoadError([&] { sprite->drawDebug(); }, "There is no asset with the key 'default'!");

    auto font = std::make_shared<sf::Font>();
    ASSERT_TRUE(font->loadFromFile(KESTRITH_SOURCE_DIR "/tests/gui/fixtures/gui-test-font.ttf"));
    assets.globalAssets.fonts["default"] = font;
    window.clear(sf::Color::Black);
    orn::DebugDraw::color = sf::Color::Yellow;
    sprite->drawDebug();
    const sf::Image image = captureWindow(window);
    assets.globalAssets = savedGlobal;
    orn::DebugDraw::color = sf::Color::White;

    // The digit lies below and right of the object's position, and nowhere else.
    int lit = 0;
    for (unsigned y = 0; y < 600; y += 1) {
        for (unsigned x = 0; x < 800; x += 1) {
            if (image.getPixel(x, y) != sf::Color::Black) {
                EXPECT_TRUE(x >= 200 && x < 216 && y >= 100 && y < 124) << x << ", " << y;
                ++lit;
            }
        }
    }
    EXPECT_GT(lit, 0);
}

TEST_F(SpriteDrawTest, SpritesAreDrawnThroughTheCameraIntoTheWindow) {
    // A 4 x 4 red block, and a 4 x 4 sprite whose left half is green and right half blue.
    sf::Image halves;
    halves.create(4, 4, sf::Color::Green);
    for (unsigned y = 0; y < 4; ++y) {
        halves.setPixel(2, y, sf::Color::Blue);
        halves.setPixel(3, y, sf::Color::Blue);
    }
    ASSERT_TRUE(halves.saveToFile(dir.path("halves.png")));
    dir.writeImage("red.png", 4, 4, sf::Color::Red);
    assets.loadTexture("red", "red.png");
    assets.loadTexture("halves", "halves.png");

    EmptyScene own;
    orn::GameObject* cameraObject = own.createGameObject(1);
    cameraObject->getTransform().lock()->setLocalPosition({100.f, 100.f});
    orn::Camera* camera = cameraObject->addComponent<orn::Camera>();
    camera->zoom = 2.f;

    orn::Sprite* red = objectAt({100.f, 100.f})->addComponent<orn::Sprite>("red");
    orn::Sprite* plain = objectAt({120.f, 100.f})->addComponent<orn::Sprite>("halves");
    orn::Sprite* mirrored = objectAt({140.f, 100.f})->addComponent<orn::Sprite>("halves");
    mirrored->flipX = true;

    window.clear(sf::Color::Black);
    camera->apply();
    red->draw();
    plain->draw();
    mirrored->draw();
    const sf::Image image = captureWindow(window);

    // World (100, 100) is the window's centre; every world unit covers 2 x 2 pixels.
    EXPECT_EQ(image.getPixel(400, 300), sf::Color::Red);
    EXPECT_EQ(image.getPixel(407, 307), sf::Color::Red);
    EXPECT_EQ(image.getPixel(408, 300), sf::Color::Black);
    EXPECT_EQ(image.getPixel(399, 300), sf::Color::Black);
    EXPECT_EQ(image.getPixel(441, 302), sf::Color::Green);
    EXPECT_EQ(image.getPixel(446, 302), sf::Color::Blue);
    EXPECT_EQ(image.getPixel(481, 302), sf::Color::Blue);
    EXPECT_EQ(image.getPixel(486, 302), sf::Color::Green);
    EXPECT_EQ(image.getPixel(400, 320), sf::Color::Black);
}

}  // namespace
