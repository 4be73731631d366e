#include <gtest/gtest.h>

#include <utility>

#include "AssetTestDir.hpp"
#include "CoreTestSupport.hpp"
#include "WindowCapture.hpp"
#include "engine/AnimatedSprite.hpp"
#include "engine/AssetManager.hpp"
#include "engine/GameObject.hpp"
#include "engine/SpriteBatch.hpp"
#include "engine/Time.hpp"
#include "engine/Transform.hpp"

// Animated sprites of trimmed frames drawn into the shared 800 x 600 test window, alone and through a sprite
// batch.
namespace {

TEST(SpriteDraw, TrimmedAndMirroredFramesSitWhereTheyWereInTheirPictureAloneAndBatched) {
    // Two frames of one 16 x 16 picture, trimmed to their opaque parts: a red 4 x 4 part at (2, 3) and a
    // green 6 x 2 part at (9, 12), packed side by side in the sheet.
    AssetTestDir dir;
    orn::AssetManager& assets = orn::AssetManager::getInstance();
    const std::string savedRoot = std::exchange(assets.rootPath, dir.root());
    sf::Image sheet;
    sheet.create(10, 4, sf::Color::Transparent);
    for (unsigned i = 0; i < 40; ++i) {
        sheet.setPixel(i % 10, i / 10,
                       i % 10 < 4 ? sf::Color::Red : (i < 20 ? sf::Color::Green : sf::Color::Transparent));
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
                               R"(}, "meta": {"frameTags": [{"name": "play", "from": 0, "to": 1}]}})");
    assets.loadTexture("trim", "trim.png");
    assets.loadSpriteAnimation("trim", "trim.json");
    testsupport::EmptyScene scene;
    orn::GameObject* object = scene.createGameObject(0);
    object->getTransform().lock()->setLocalPosition({100.f, 100.f});
    auto* sprite = object->addComponent<orn::AnimatedSprite>("trim", "trim", "play");
    orn::Time::getInstance().deltaTime = 0.1f;

    sf::RenderWindow& window = coretest::sharedGame().getWindow();
    window.setView(window.getDefaultView());
    const auto drawn = [&](bool batched) {
        window.clear(sf::Color::Black);
        orn::SpriteBatch batch;
        batched ? sprite->drawInto(batch) : sprite->draw();
        batch.flush();
        return captureWindow(window);
    };
    // Per update: flipX and origin, then the window rectangle that alone holds the frame's part. With the
    // untrimmed picture's bottom centre as the pivot, at (100, 100), the picture spans (92..108, 84..100).
    const struct {
        bool flip;
        sf::Vector2f origin;
        int left, top, width, height;
        sf::Color color;
    } frames[] = {{false, {0.5f, 1.f}, 94, 87, 4, 4, sf::Color::Red},
                  {false, {0.5f, 1.f}, 101, 96, 6, 2, sf::Color::Green},
                  {true, {0.5f, 1.f}, 102, 87, 4, 4, sf::Color::Red},  // mirrored: as far from the right edge
                  {true, {0.5f, 1.f}, 93, 96, 6, 2, sf::Color::Green},
                  {false, {0.f, 0.f}, 102, 103, 4, 4, sf::Color::Red}};  // the top left at the object
    for (const auto& f : frames) {
        sprite->flipX = f.flip;
        sprite->origin = f.origin;
        sprite->update();
        for (const bool batched : {false, true}) {
            const sf::Image image = drawn(batched);
            const auto at = [&](int x, int y) { return image.getPixel(unsigned(x), unsigned(y)); };
            const int right = f.left + f.width - 1, bottom = f.top + f.height - 1;
            EXPECT_EQ(at(f.left, f.top), f.color) << f.left << "," << f.top << (batched ? " batched" : "");
            EXPECT_EQ(at(right, bottom), f.color) << f.left << "," << f.top << (batched ? " batched" : "");
            for (const auto& [x, y] : {std::pair(f.left - 1, f.top),
                                       {f.left, f.top - 1},
                                       {right + 1, bottom},
                                       {right, bottom + 1}}) {
                EXPECT_EQ(at(x, y), sf::Color::Black) << x << "," << y << (batched ? " batched" : "");
            }
        }
    }
    assets.rootPath = savedRoot;
}

}  // namespace
