#include <gtest/gtest.h>

#include <functional>

#include "LevelTestSupport.hpp"
#include "engine/AnimatedSprite.hpp"
#include "game/Enemy.hpp"
#include "game/GroundedCheck.hpp"
#include "game/PlayerAttackZone.hpp"

using gametest::build;
using gametest::Level;
using gametest::mapObject;
using gametest::ScriptedScene;

// The gameplay components on a small level of their own, for what the real level's runs do not show.
namespace {

constexpr float floorTop = 200.f;

/// A long floor at y 200 with the player standing on it at x 100, the level's actions and assets, and
/// whatever `extra` adds; settled for half a second.
Level smallLevel(const std::function<void(ScriptedScene&)>& extra = {}) {
    auto scene = std::make_shared<ScriptedScene>();
    scene->onInit = [extra](ScriptedScene& s) {
        orn::InputManager::getInstance().clearBindings();
        MainScene::bindActions();
        MainScene::loadLevelAssets();
        build(s, mapObject("Collider", "floor", {0.f, floorTop, 600.f, 16.f}, {{"IsTrigger", "false"}}), 1);
        build(s, mapObject("Player", "Player", {100.f, floorTop, 0.f, 0.f}, {{"Health", "100"}}));
        if (extra) {
            extra(s);
        }
    };
    Level level(scene);
    level.frames(30);
    return level;
}

/// The component T of the first live object with the tag.
template <class T>
std::shared_ptr<T> of(const Level& level, const std::string& tag) {
    return level.allTagged(tag).at(0)->getComponent<T>().lock();
}

/// An enemy of the type with the health and direction at x on the floor.
void addEnemy(ScriptedScene& s, const char* type, float x, const char* health, const char* direction) {
    build(s, mapObject(type, "enemy", {x, floorTop, 0.f, 0.f},
                       {{"Health", health},
                        {"InitialMovementDirectionX", direction},
                        {"InitialMovementDirectionY", "0"}}));
}

/// Records the names of the events it hears, with the health or amount they carry.
class EventLog : public orn::Component {
public:
    void onEvent(const std::string& name, std::shared_ptr<orn::EventArgs> args) override {
        auto changed = std::dynamic_pointer_cast<Health::HealthChangedEvent>(args);
        auto hit = std::dynamic_pointer_cast<Health::DamageEvent>(args);
        const float value = changed ? changed->health : hit ? hit->amount : 0.f;
        entries.push_back(name + (changed || hit ? " " + std::to_string(static_cast<int>(value)) : ""));
    }
    std::vector<std::string> entries;
};

}  // namespace

TEST(Gameplay, HealthClampsAndFiresChangedHitDeathInOrder) {
    Level level = smallLevel();
    orn::GameObject* target = level.scene()->createGameObject(3);
    auto* health = target->addComponent<Health>(100.f, 100.f, 500.f, "testDeath", "testHit", "testChanged");
    auto* body = target->addComponent<orn::Rigidbody>();
    body->isKinematic = true;
    auto* log = level.scene()->createGameObject(0)->addComponent<EventLog>();
    for (const char* name : {"testDeath", "testHit", "testChanged"}) {
        log->subscribe(name);
    }
    level.frames(1);
    health->damage(10.f, {}, {1.f, 0.f});
    ASSERT_EQ(body->impulses.size(), 1u);
    EXPECT_EQ(body->impulses[0], sf::Vector2f(500.f, 0.f));
    health->damage(-20.f, {}, {0.f, 0.f});
    health->damage(150.f, {}, {0.f, 0.f});
    body->impulses.clear();
    health->damage(5.f, {}, {0.f, -1.f});  // dead: no events, but still pushed
    EXPECT_EQ(body->impulses.size(), 1u);
    EXPECT_EQ(log->entries,
              (std::vector<std::string>{"testChanged 100", "testChanged 90", "testHit 10", "testChanged 100",
                                        "testHit -20", "testChanged 0", "testHit 150", "testDeath"}));
}

TEST(Gameplay, GroundCountsOnlyWhatItStandsOnAndForgetsOnlyWhatItCounted) {
    Level level = smallLevel();
    auto collider = [&](bool trigger) {
        auto* box =
            level.scene()->createGameObject(1)->addComponent<orn::BoxCollider>(sf::FloatRect(0, 0, 10, 10));
        box->isTrigger = trigger;
        return box;
    };
    orn::BoxCollider* floor = collider(false);
    orn::BoxCollider* wall = collider(false);
    orn::BoxCollider* region = collider(true);
    auto* probe = level.scene()->createGameObject(1)->addComponent<GroundedCheck>();
    probe->onTriggerEnter({nullptr, wall, 1.f, {1.f, 0.f}});
    probe->onTriggerExit(wall);
    EXPECT_EQ(probe->groundContacts, 0);  // a side contact that never counted cannot take the ground away
    probe->onTriggerEnter({nullptr, floor, 1.f, {0.f, -1.f}});
    probe->onTriggerEnter({nullptr, region, 1.f, {0.f, -1.f}});
    probe->onTriggerExit(region);
    EXPECT_EQ(probe->groundContacts, 1);  // a trigger area is not ground
    probe->onTriggerExit(floor);
    EXPECT_EQ(probe->groundContacts, 0);
}

/// The change key goes to the next available form (human, rat, minotaur, around), which brings its own body
/// (in widths of its sheet's first frame, the only one enabled), reach, jump and slash timing, facing as
/// before; a form that is taken away gives way to the first other one still available, in that order, or
/// stays when there is none.
TEST(Gameplay, FormsCycleWithTheirOwnBodyReachJumpAndSlash) {
    Level level = smallLevel();
    auto controller = level.player();
    auto zone = controller->attackZone.lock();
    auto t = level.forms();
    level.press(sf::Keyboard::E);
    EXPECT_EQ(t->currentForm, Form::Human) << "nothing else is available yet";
    level.press(sf::Keyboard::A);
    t->setFormAvailable(Form::Minotaur, true);
    const struct {
        Form form;
        const char* key;
        sf::Vector2f body;
        sf::Vector2f reach;
        float jump;
        float hitFraction;
    } cycle[] = {{Form::Minotaur, "minotaur", {0.25f, 0.25f}, {4.f, 2.f}, 0.f, 0.5f},  // the rat skipped
                 {Form::Human, "player", {0.5f, 0.75f}, {2.f, 1.f}, 1000.f, 0.25f},
                 {Form::Rat, "rat", {0.25f, 0.25f}, {1.f, 1.f}, 500.f, 0.5f}};
    orn::AssetManager& assets = orn::AssetManager::getInstance();
    for (const auto& row : cycle) {
        SCOPED_TRACE(row.key);
        level.press(sf::Keyboard::E);
        t->setFormAvailable(Form::Rat, true);
        ASSERT_EQ(t->currentForm, row.form);
        EXPECT_TRUE(t->currentFormObject.lock()->isActive());
        EXPECT_TRUE(t->getCurrentSprite().lock()->flipX) << "the facing survives the change";
        const float w =
            static_cast<float>(assets.getSpriteAnimation(row.key)->getFrame("idle", 0).rect.width);
        int enabled = 0;
        for (const auto* body :
             {&controller->humanCollider, &controller->ratCollider, &controller->minotaurCollider}) {
            auto box = body->lock();
            enabled += box->enabled;
            EXPECT_TRUE(!box->enabled || box->size == sf::Vector2f(row.body.x * w, row.body.y * w));
        }
        EXPECT_EQ(enabled, 1);
        EXPECT_EQ(zone->getGameObject()->getTransform().lock()->getLocalScale(),
                  sf::Vector2f(-row.reach.x, row.reach.y));
        EXPECT_FLOAT_EQ(controller->jumpForce, row.jump);
        EXPECT_EQ(zone->breaksBlocks, row.form == Form::Minotaur);
        float speed = 1.f;
        for (const auto& state : assets.getAnimatorConfiguration(row.key)->states) {
            speed = state.name == "slash" ? state.speed : speed;
        }
        const float slash = assets.getSpriteAnimation(row.key)->getDuration("slash") / speed;
        EXPECT_FLOAT_EQ(controller->attackDuration, slash);
        EXPECT_FLOAT_EQ(controller->attackHitTime, slash * row.hitFraction);
    }

    // From the rat with all three available: the form after each change of availability.
    const struct {
        Form form;
        bool available;
        Form then;
    } changes[] = {{Form::Rat, false, Form::Human},   {Form::Human, false, Form::Minotaur},
                   {Form::Rat, true, Form::Minotaur}, {Form::Minotaur, false, Form::Rat},
                   {Form::Rat, false, Form::Rat},     {Form::Human, true, Form::Rat}};
    for (const auto& change : changes) {
        t->setFormAvailable(change.form, change.available);
        EXPECT_EQ(t->currentForm, change.then) << static_cast<int>(change.form) << change.available;
    }
    level.press(sf::Keyboard::E);
    EXPECT_EQ(t->currentForm, Form::Human);
}

/// A slash hurts the enemy in reach, and a hit that cancels it does not cost the next one its damage; blocks
/// only break under the minotaur.
TEST(Gameplay, SlashesHurtEnemiesButOnlyTheMinotaurBreaksBlocks) {
    Level level = smallLevel([](ScriptedScene& s) {
        addEnemy(s, "Darklord", 126.f, "100", "0");
        build(s, mapObject("Destroyable", "wall", {60.f, floorTop - 16.f, 16.f, 16.f},
                           {{"CountX", "1"}, {"CountY", "1"}}));
    });
    auto controller = level.player();
    auto enemyHealth = of<Health>(level, "Enemy");
    std::weak_ptr<Health> block = of<Health>(level, "Destroyable");
    of<orn::Rigidbody>(level, "Enemy")->axisFactors.x = 0;  // stays in reach
    const auto slash = [&] {
        level.press(sf::Keyboard::Enter);
        level.frames(60);
    };
    level.press(sf::Keyboard::Enter);
    while (!controller->hitApplied) {
        level.frames(1);
    }
    EXPECT_FLOAT_EQ(enemyHealth->health, 90.f);
    level.health()->damage(1.f, {}, {0.f, 0.f});
    EXPECT_FALSE(controller->isAttacking || controller->hitApplied);
    level.frames(60);
    slash();
    EXPECT_FLOAT_EQ(enemyHealth->health, 80.f);

    level.press(sf::Keyboard::A);  // facing left, the zone reaches the block, which the human cannot break
    level.frames(60);
    slash();
    EXPECT_FLOAT_EQ(block.lock()->health, 100.f);
    EXPECT_FLOAT_EQ(enemyHealth->health, 80.f);
    level.forms()->setFormAvailable(Form::Minotaur, true);
    level.press(sf::Keyboard::E);
    slash();
    EXPECT_TRUE(level.allTagged("Destroyable").empty());
}

TEST(Gameplay, EnemiesTurnAtWallsAndHurtThePlayerAtMostOncePerSecond) {
    Level level = smallLevel([](ScriptedScene& s) {
        build(s,
              mapObject("Collider", "wall", {300.f, floorTop - 64.f, 16.f, 64.f}, {{"IsTrigger", "false"}}),
              1);
        addEnemy(s, "Sneaker", 250.f, "10", "1");
    });
    auto enemy = of<Enemy>(level, "Enemy");
    for (int frame = 0; frame < 120 && enemy->direction.x > 0.f; ++frame) {
        level.frames(1);
    }
    ASSERT_LT(enemy->direction.x, 0.f) << "the sneaker never reached the wall";
    EXPECT_TRUE(of<orn::AnimatedSprite>(level, "Enemy")->flipX);

    // Walking back, it meets the player and pushes against it: 10 damage, then at most once a second.
    std::vector<int> hurt;
    for (int frame = 0; frame < 600 && hurt.size() < 3; ++frame) {
        const float before = level.health()->health;
        level.frames(1);
        if (level.health()->health < before) {
            EXPECT_FLOAT_EQ(before - level.health()->health, 10.f);
            hurt.push_back(frame);
        }
    }
    ASSERT_GE(hurt.size(), 2u) << "the sneaker never touched the player twice";
    for (std::size_t i = 1; i < hurt.size(); ++i) {
        EXPECT_GE(hurt[i] - hurt[i - 1], 59);
    }
}
