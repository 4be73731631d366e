#include <gtest/gtest.h>

#include "GameTestSupport.hpp"
#include "engine/AnimatedSprite.hpp"
#include "engine/AssetManager.hpp"
#include "engine/BoxCollider.hpp"
#include "engine/GameObject.hpp"
#include "engine/Rigidbody.hpp"
#include "engine/Transform.hpp"
#include "game/Enemy.hpp"
#include "game/GroundedCheck.hpp"
#include "game/Health.hpp"
#include "game/MainScene.hpp"
#include "game/Player.hpp"
#include "game/PlayerAttackZone.hpp"
#include "game/Transmutation.hpp"

using gametest::build;
using gametest::GameDriver;
using gametest::mapObject;
using gametest::ScriptedScene;

namespace {

constexpr float floorTop = 200.f;

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

/// A small level: a long floor at y 200, the player standing on it at x 100, and whatever else the test adds.
class Gameplay : public ::testing::Test {
protected:
    GameDriver& driver = GameDriver::instance();
    std::shared_ptr<ScriptedScene> scene;

    void SetUp() override { driver.held.clear(); }

    void enterLevel(bool withPlayer = true, std::function<void(ScriptedScene&)> extra = {}) {
        scene = std::make_shared<ScriptedScene>();
        scene->onInit = [withPlayer, extra](ScriptedScene& s) {
            MainScene::loadLevelAssets();
            orn::InputManager::getInstance().actions = {{"left", sf::Keyboard::A},
                                                        {"right", sf::Keyboard::D},
                                                        {"jump", sf::Keyboard::Space},
                                                        {"attack", sf::Keyboard::Enter},
                                                        {"transmutate", sf::Keyboard::E}};
            build(s, mapObject("Collider", "floor", {0.f, floorTop, 600.f, 16.f}, {{"IsTrigger", "false"}}),
                  1);
            if (withPlayer) {
                build(s, mapObject("Player", "Player", {100.f, floorTop, 0.f, 0.f}, {{"Health", "100"}}));
            }
            if (extra) {
                extra(s);
            }
        };
        driver.enter(scene);
        driver.frames(30);  // settle on the floor
    }

    orn::GameObject* findTagged(const std::string& tag) {
        for (auto& layer : scene->layers) {
            for (auto& entry : layer) {
                if (entry.second->hasTag(tag)) {
                    return entry.second.get();
                }
            }
        }
        return nullptr;
    }
    std::shared_ptr<Player> player() { return findTagged("Player")->getComponent<Player>().lock(); }
    std::shared_ptr<Transmutation> forms() {
        return findTagged("Player")->getComponent<Transmutation>().lock();
    }
    template <class T>
    std::shared_ptr<T> of(const std::string& tag) {
        return findTagged(tag)->getComponent<T>().lock();
    }

    void press(sf::Keyboard::Key key) {
        driver.held.insert(key);
        driver.frame();
        driver.held.erase(key);
        driver.frame();
    }
    /// Presses attack and runs frames until the attack is over.
    void slash() {
        press(sf::Keyboard::Enter);
        driver.frames(60);
    }
};

/// An enemy with the given health and direction at x on the floor.
void addEnemy(ScriptedScene& s, const char* type, float x, const char* health, const char* direction) {
    build(s, mapObject(type, "enemy", {x, floorTop, 0.f, 0.f},
                       {{"Health", health},
                        {"InitialMovementDirectionX", direction},
                        {"InitialMovementDirectionY", "0"}}));
}

}  // namespace

TEST_F(Gameplay, HealthClampsAndFiresChangedHitDeathInOrder) {
    enterLevel(false);
    orn::GameObject* target = scene->createGameObject(3);
    auto* health = target->addComponent<Health>(100.f, 100.f, 500.f, "testDeath", "testHit", "testChanged");
    auto* body = target->addComponent<orn::Rigidbody>();
    body->isKinematic = true;
    auto* log = scene->createGameObject(0)->addComponent<EventLog>();
    for (const char* name : {"testDeath", "testHit", "testChanged"}) {
        log->subscribe(name);
    }
    driver.frame();
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

TEST_F(Gameplay, GroundCountsOnlyWhatItStandsOnAndForgetsOnlyWhatItCounted) {
    enterLevel(false);
    auto makeCollider = [&](bool trigger) {
        auto* collider =
            scene->createGameObject(1)->addComponent<orn::BoxCollider>(sf::FloatRect(0, 0, 10, 10));
        collider->isTrigger = trigger;
        return collider;
    };
    orn::BoxCollider* floor = makeCollider(false);
    orn::BoxCollider* wall = makeCollider(false);
    orn::BoxCollider* region = makeCollider(true);
    auto* probe = scene->createGameObject(1)->addComponent<GroundedCheck>();
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

/// The prefab stands the human on the floor; each press of the change key then brings the next form with its
/// object, body (in widths of its first frame), reach, jump, slash timing and block breaking, facing as
/// before.
TEST_F(Gameplay, EachFormBringsItsBodyReachJumpAndSlash) {
    enterLevel();
    auto controller = player();
    auto zone = controller->attackZone.lock();
    EXPECT_TRUE(controller->isGrounded());
    EXPECT_NEAR(findTagged("Player")->getTransform().lock()->getPosition().y, floorTop, 0.5f);
    EXPECT_EQ(zone->player.lock(), controller);
    press(sf::Keyboard::E);  // nothing else is available yet
    EXPECT_EQ(forms()->currentForm, Form::Human);
    forms()->setFormAvailable(Form::Rat, true);
    forms()->setFormAvailable(Form::Minotaur, true);
    press(sf::Keyboard::A);

    const struct {
        Form form;
        const char* tag;
        const char* key;
        sf::Vector2f body;
        sf::Vector2f reach;
        float jump;
        float hitFraction;
        bool breaksBlocks;
    } table[] = {{Form::Rat, "Rat", "rat", {0.25f, 0.25f}, {1.f, 1.f}, 500.f, 0.5f, false},
                 {Form::Minotaur, "Minotaur", "minotaur", {0.25f, 0.25f}, {4.f, 2.f}, 0.f, 0.5f, true},
                 {Form::Human, "Human", "player", {0.5f, 0.75f}, {2.f, 1.f}, 1000.f, 0.25f, false}};
    orn::AssetManager& assets = orn::AssetManager::getInstance();
    for (const auto& row : table) {
        SCOPED_TRACE(row.tag);
        press(sf::Keyboard::E);
        ASSERT_EQ(forms()->currentForm, row.form);
        auto object = forms()->currentFormObject.lock();
        EXPECT_TRUE(object->hasTag(row.tag) && object->isActive());
        EXPECT_TRUE(forms()->getCurrentSprite().lock()->flipX) << "the facing survives the change";
        const float w =
            static_cast<float>(assets.getSpriteAnimation(row.key)->getFrame("idle", 0).rect.width);
        int enabled = 0;
        for (const auto* body :
             {&controller->humanCollider, &controller->ratCollider, &controller->minotaurCollider}) {
            auto box = body->lock();
            enabled += box->enabled;
            if (box->enabled) {
                EXPECT_EQ(box->size, sf::Vector2f(row.body.x * w, row.body.y * w));
            }
        }
        EXPECT_EQ(enabled, 1);
        EXPECT_EQ(zone->getGameObject()->getTransform().lock()->getLocalScale(),
                  sf::Vector2f(-row.reach.x, row.reach.y));
        EXPECT_FLOAT_EQ(controller->jumpForce, row.jump);
        EXPECT_EQ(zone->breaksBlocks, row.breaksBlocks);
        float speed = 1.f;
        for (const auto& state : assets.getAnimatorConfiguration(row.key)->states) {
            speed = state.name == "slash" ? state.speed : speed;
        }
        const float slash = assets.getSpriteAnimation(row.key)->getDuration("slash") / speed;
        EXPECT_FLOAT_EQ(controller->attackDuration, slash);
        EXPECT_FLOAT_EQ(controller->attackHitTime, slash * row.hitFraction);
    }
}

TEST_F(Gameplay, TheCycleSkipsUnavailableFormsAndALostFormGivesWayInOrder) {
    enterLevel();
    auto t = forms();
    t->setFormAvailable(Form::Minotaur, true);
    press(sf::Keyboard::E);
    EXPECT_EQ(t->currentForm, Form::Minotaur);  // human -> (rat skipped) -> minotaur
    t->setFormAvailable(Form::Rat, true);
    t->setFormAvailable(Form::Human, false);
    press(sf::Keyboard::E);
    EXPECT_EQ(t->currentForm, Form::Rat);  // minotaur -> (human skipped) -> rat

    t->setFormAvailable(Form::Human, true);
    t->setFormAvailable(Form::Rat, false);  // human before minotaur
    EXPECT_EQ(t->currentForm, Form::Human);
    t->setFormAvailable(Form::Human, false);  // the rat is not available: on to the minotaur
    EXPECT_EQ(t->currentForm, Form::Minotaur);
    t->setFormAvailable(Form::Rat, true);
    t->setFormAvailable(Form::Minotaur, false);  // the human is not available: on to the rat
    EXPECT_EQ(t->currentForm, Form::Rat);
    t->setFormAvailable(Form::Rat, false);  // nothing left: the form stays although it is lost
    EXPECT_EQ(t->currentForm, Form::Rat);
    press(sf::Keyboard::E);
    EXPECT_EQ(t->currentForm, Form::Rat);
    t->setFormAvailable(Form::Human, true);
    EXPECT_EQ(t->currentForm, Form::Rat);
    press(sf::Keyboard::E);
    EXPECT_EQ(t->currentForm, Form::Human);
}

/// A slash hurts the enemy in reach, and a hit that cancels it does not cost the next one its damage; blocks
/// only break under the minotaur.
TEST_F(Gameplay, SlashesHurtEnemiesButOnlyTheMinotaurBreaksBlocks) {
    enterLevel(true, [](ScriptedScene& s) {
        addEnemy(s, "Darklord", 126.f, "100", "0");
        build(s, mapObject("Destroyable", "wall", {60.f, floorTop - 16.f, 16.f, 16.f},
                           {{"CountX", "1"}, {"CountY", "1"}}));
    });
    auto controller = player();
    auto enemyHealth = of<Health>("Enemy");
    auto blockHealth = of<Health>("Destroyable");
    of<orn::Rigidbody>("Enemy")->axisFactors.x = 0;  // stays in reach
    press(sf::Keyboard::Enter);
    while (!controller->hitApplied) {
        driver.frame();
    }
    EXPECT_FLOAT_EQ(enemyHealth->health, 90.f);
    of<Health>("Player")->damage(1.f, {}, {0.f, 0.f});
    EXPECT_FALSE(controller->isAttacking || controller->hitApplied);
    driver.frames(60);
    slash();
    EXPECT_FLOAT_EQ(enemyHealth->health, 80.f);

    press(sf::Keyboard::A);  // facing left, the zone reaches the block, which the human cannot break
    driver.frames(60);
    slash();
    EXPECT_FLOAT_EQ(blockHealth->health, 100.f);
    EXPECT_FLOAT_EQ(enemyHealth->health, 80.f);
    forms()->setFormAvailable(Form::Minotaur, true);
    press(sf::Keyboard::E);
    std::weak_ptr<orn::GameObject> block = scene->findGameObject(blockHealth->getGameObject()->id);
    blockHealth.reset();
    slash();
    EXPECT_TRUE(block.expired());
}

TEST_F(Gameplay, EnemiesTurnAtWallsAndHurtThePlayerAtMostOncePerSecond) {
    enterLevel(true, [](ScriptedScene& s) {
        build(s,
              mapObject("Collider", "wall", {300.f, floorTop - 64.f, 16.f, 64.f}, {{"IsTrigger", "false"}}),
              1);
        addEnemy(s, "Sneaker", 250.f, "10", "1");
    });
    auto enemy = of<Enemy>("Enemy");
    auto playerHealth = of<Health>("Player");
    for (int frame = 0; frame < 120 && enemy->direction.x > 0.f; ++frame) {
        driver.frame();
    }
    ASSERT_LT(enemy->direction.x, 0.f) << "the sneaker never reached the wall";
    EXPECT_TRUE(of<orn::AnimatedSprite>("Enemy")->flipX);

    // Walking back, it meets the player and pushes against it: 10 damage, then at most once a second.
    std::vector<int> hurt;
    for (int frame = 0; frame < 600 && hurt.size() < 3; ++frame) {
        const float before = playerHealth->health;
        driver.frame();
        if (playerHealth->health < before) {
            EXPECT_FLOAT_EQ(before - playerHealth->health, 10.f);
            hurt.push_back(frame);
        }
    }
    ASSERT_GE(hurt.size(), 2u) << "the sneaker never touched the player twice";
    for (std::size_t i = 1; i < hurt.size(); ++i) {
        EXPECT_GE(hurt[i] - hurt[i - 1], 59);
    }
}
