#include "engine/AnimatedSprite.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "AnimationTestAssets.hpp"

namespace {

using orn::AnimatedSprite;

TEST(AnimatedSpriteTest, TagDirectionsAndRepeatCountsOrderTheFrames) {
    AnimationTestAssets fixture;
    AnimationTestAssets::setDeltaTime(0.1f);
    // Four frames of 100 ms along the sheet's top row, under one tag per direction and repeat count.
    std::string frames, tags;
    const std::pair<const char*, const char*> tagged[] = {
        {"plain", ""},
        {"forward", R"(, "direction": "forward")"},
        {"reverse", R"(, "direction": "reverse")"},
        {"pingpong", R"(, "direction": "pingpong")"},
        {"pingpong_reverse", R"(, "direction": "pingpong_reverse")"},
        {"forward2", R"(, "direction": "forward", "repeat": "2")"},
        {"reverse1", R"(, "direction": "reverse", "repeat": 1)"},
        {"pingpong2", R"(, "direction": "pingpong", "repeat": "2")"},
        {"pingpong_reverse3", R"(, "direction": "pingpong_reverse", "repeat": "3")"}};
    for (int i = 0; i < 4; ++i) {
        frames += (i > 0 ? "," : "") + std::string(R"({"frame": {"x": )") + std::to_string(16 * i) +
                  R"(, "y": 0, "w": 16, "h": 16}, "duration": 100})";
    }
    for (const auto& [name, extra] : tagged) {
        tags += std::string(tags.empty() ? "" : ",") + R"({"name": ")" + name + R"(", "from": 0, "to": 3)" +
                extra + "}";
    }
    fixture.dir.write("dirs.json",
                      R"({"frames": [)" + frames + R"(], "meta": {"frameTags": [)" + tags + "]}}");
    fixture.assets.loadSpriteAnimation("dirs", "dirs.json");

    using Order = std::vector<int>;
    const struct {
        const char* tag;
        float speed;
        bool loop;
        Order shown;
    } cases[] = {
        // Looping, at speed 1 every update shows the next frame; at speed 2 every other one.
        {"plain", 1.f, true, {0, 1, 2, 3, 0, 1, 2, 3, 0, 1}},
        {"forward", 2.f, true, {0, 2, 0, 2, 0, 2}},
        {"reverse", 1.f, true, {3, 2, 1, 0, 3, 2, 1, 0, 3, 2}},
        {"reverse", 2.f, true, {3, 1, 3, 1, 3, 1}},
        {"pingpong", 1.f, true, {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 1}},
        {"pingpong", 2.f, true, {0, 2, 2, 0, 2, 2, 0}},
        {"pingpong_reverse", 1.f, true, {3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2}},
        {"pingpong_reverse", 2.f, true, {3, 1, 1, 3, 1, 1, 3}},
        // Without loop, one pass (there and back for a ping-pong), then the last shown frame holds.
        {"plain", 1.f, false, {0, 1, 2, 3, 3, 3}},
        {"reverse", 2.f, false, {3, 1, 0, 0}},
        {"pingpong", 1.f, false, {0, 1, 2, 3, 2, 1, 0, 0, 0}},
        {"pingpong_reverse", 2.f, false, {3, 1, 1, 3, 3, 3}},
        // A repeat count ends the play even when the sprite loops; a ping-pong pass is one direction.
        {"forward2", 1.f, true, {0, 1, 2, 3, 0, 1, 2, 3, 3, 3}},
        {"forward2", 2.f, true, {0, 2, 0, 2, 3, 3}},
        {"reverse1", 1.f, true, {3, 2, 1, 0, 0, 0}},
        {"pingpong2", 1.f, true, {0, 1, 2, 3, 2, 1, 0, 0, 0}},
        {"pingpong2", 2.f, false, {0, 2, 2, 0, 0, 0}},
        {"pingpong_reverse3", 1.f, true, {3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 0, 0}}};
    for (const auto& c : cases) {
        AnimatedSprite sprite("hero", "dirs", c.tag);
        sprite.speed = c.speed;
        sprite.loop = c.loop;
        // The frames shown by successive updates, as their index in the sheet's top row (x / 16).
        Order shown;
        while (shown.size() < c.shown.size()) {
            sprite.update();
            shown.push_back(sprite.sprite.getTextureRect().left / 16);
        }
        EXPECT_EQ(shown, c.shown) << c.tag << " at speed " << c.speed << (c.loop ? ", looping" : "");
    }
}

}  // namespace
