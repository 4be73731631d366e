#include <gtest/gtest.h>

#include <cmath>

#include "LevelTestSupport.hpp"
#include "game/Enemy.hpp"

using gametest::Level;

namespace {

/// Puts the player's feet at a point of the level and lets it settle there.
void placePlayer(Level& level, sf::Vector2f feet) {
    level.playerObject()->getTransform().lock()->setPosition(feet);
    level.body()->velocity = {};
    ASSERT_TRUE(level.land());
}

std::shared_ptr<orn::GameObject> nearestEnemy(const Level& level) {
    std::shared_ptr<orn::GameObject> nearest;
    float best = 1e9f;
    for (const auto& enemy : level.allTagged("Enemy")) {
        const float distance = std::fabs(enemy->getTransform().lock()->getPosition().x - level.position().x);
        if (distance < best) {
            best = distance;
            nearest = enemy;
        }
    }
    return nearest;
}

/// Stands the player a little left of the first slime, which walks towards it.
std::shared_ptr<orn::GameObject> meetTheFirstSlime(Level& level) {
    const auto& slime =
        level.mapObject("entities", [](const orn::Tilemap::Object& o) { return o.type == "Sneaker"; });
    placePlayer(level, {slime.x - 48.f, slime.y});
    return nearestEnemy(level);
}

}  // namespace

TEST(LevelMechanics, SlashesKillTheFirstSlimeAndItLeavesAfterItsDeath) {
    Level level;
    ASSERT_TRUE(level.land());
    auto slime = meetTheFirstSlime(level);
    ASSERT_TRUE(slime);
    auto enemy = slime->getComponent<Enemy>().lock();
    std::weak_ptr<orn::GameObject> watch = slime;
    slime.reset();

    for (int frame = 0; frame < 60 * 20 && enemy->alive; ++frame) {
        const auto there = watch.lock();
        const float gap = there ? there->getTransform().lock()->getPosition().x - level.position().x : 0.f;
        level.release(sf::Keyboard::Enter);
        if (gap < 36.f) {
            level.release(sf::Keyboard::D);
            if (!level.player()->isAttacking) {
                level.hold(sf::Keyboard::Enter);
            }
        } else {
            level.hold(sf::Keyboard::D);
        }
        level.frames(1);
    }
    level.release(sf::Keyboard::D);
    level.release(sf::Keyboard::Enter);
    ASSERT_FALSE(enemy->alive) << "the slime survived";
    EXPECT_FALSE(watch.expired());  // its death animation plays first
    level.frames(120);
    EXPECT_TRUE(watch.expired());
}

TEST(LevelMechanics, ASlimeTouchingThePlayerHurtsAtMostOncePerSecond) {
    Level level;
    ASSERT_TRUE(level.land());
    meetTheFirstSlime(level);
    auto health = level.health();
    std::vector<int> hurtFrames;
    float last = health->health;
    for (int frame = 0; frame < 60 * 20 && hurtFrames.size() < 3; ++frame) {
        level.frames(1);
        if (health->health < last) {
            EXPECT_FLOAT_EQ(last - health->health, 10.f);
            last = health->health;
            hurtFrames.push_back(frame);
        }
    }
    ASSERT_GE(hurtFrames.size(), 2u) << "the slime never reached the waiting player twice";
    for (std::size_t i = 1; i < hurtFrames.size(); ++i) {
        EXPECT_GE(hurtFrames[i] - hurtFrames[i - 1], 59);
    }
}

TEST(LevelMechanics, OnlyTheRatFitsThroughTheDrain) {
    Level level;
    ASSERT_TRUE(level.land());
    const auto& region = level.mapObject(
        "triggers", [](const orn::Tilemap::Object& o) { return o.getPropertyBool("RatFormAvailable"); });
    const float regionRight = region.x + region.width;
    // The drain is the low rock overhang that follows the rat's region.
    const auto& drain = level.mapObject(
        "colliders", [&](const orn::Tilemap::Object& o) { return o.y == 0.f && o.x >= regionRight; });
    placePlayer(level, {regionRight + 12.f, region.y + region.height});
    level.hold(sf::Keyboard::D);
    level.frames(180);
    EXPECT_LT(level.position().x, drain.x) << "the human walked into the drain";
    level.release(sf::Keyboard::D);

    level.forms()->setFormAvailable(Form::Rat, true);
    level.press(sf::Keyboard::E);
    ASSERT_EQ(level.forms()->currentForm, Form::Rat);
    level.hold(sf::Keyboard::D);
    level.frames(240);
    level.release(sf::Keyboard::D);
    EXPECT_GT(level.position().x, drain.x + drain.width) << "the rat did not get through";
}

TEST(LevelMechanics, TheMinotaurSmashesTheCrates) {
    Level level;
    ASSERT_TRUE(level.land());
    const auto& crate = level.mapObject(
        "destroyables", [](const orn::Tilemap::Object& o) { return o.type == "Destroyable"; });
    placePlayer(level, {crate.x - 16.f, crate.y + crate.height});
    const std::size_t crates = level.allTagged("Destroyable").size();
    ASSERT_GT(crates, 0u);

    level.press(sf::Keyboard::Enter);  // the human's slash does not break them
    level.frames(60);
    EXPECT_EQ(level.allTagged("Destroyable").size(), crates);

    level.forms()->setFormAvailable(Form::Minotaur, true);
    level.press(sf::Keyboard::E);
    ASSERT_EQ(level.forms()->currentForm, Form::Minotaur);
    level.hold(sf::Keyboard::D);
    level.frames(30);
    level.release(sf::Keyboard::D);
    level.press(sf::Keyboard::Enter);
    level.frames(60);
    EXPECT_LT(level.allTagged("Destroyable").size(), crates);
}
