#include <gtest/gtest.h>

#include "GameTestSupport.hpp"
#include "engine/AnimatedSprite.hpp"
#include "engine/BoxCollider.hpp"
#include "engine/Camera.hpp"
#include "engine/EventBus.hpp"
#include "engine/GameObject.hpp"
#include "engine/Rigidbody.hpp"
#include "engine/Transform.hpp"
#include "game/CameraFollow.hpp"
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

/// Records the names and payloads of the events it hears.
class EventLog : public orn::Component {
public:
    void onEvent(const std::string& name, std::shared_ptr<orn::EventArgs> args) override {
        std::string entry = name;
        if (auto changed = std::dynamic_pointer_cast<Health::HealthChangedEvent>(args)) {
            entry += " " + std::to_string(static_cast<int>(changed->health));
        }
        if (auto hit = std::dynamic_pointer_cast<Health::DamageEvent>(args)) {
            entry += " " + std::to_string(static_cast<int>(hit->amount));
        }
        entries.push_back(entry);
    }
    std::vector<std::string> entries;
};

/// A small level: a long floor at y 200, the player standing on it at x 100, and whatever else the test adds.
class Gameplay : public ::testing::Test {
protected:
    GameDriver& driver = GameDriver::instance();
    std::shared_ptr<ScriptedScene> scene;
    std::function<void(ScriptedScene&)> extra;

    void SetUp() override { driver.held.clear(); }

    void enterLevel(bool withPlayer = true) {
        scene = std::make_shared<ScriptedScene>();
        scene->onInit = [this, withPlayer](ScriptedScene& s) {
            MainScene::loadLevelAssets();
            auto& actions = orn::InputManager::getInstance().actions;
            actions = {{"left", sf::Keyboard::A},
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
    EXPECT_EQ(log->entries, std::vector<std::string>{"testChanged 100"});

    log->entries.clear();
    health->damage(10.f, {}, {1.f, 0.f});
    EXPECT_EQ(log->entries, (std::vector<std::string>{"testChanged 90", "testHit 10"}));
    ASSERT_EQ(body->impulses.size(), 1u);
    EXPECT_EQ(body->impulses[0], sf::Vector2f(500.f, 0.f));

    log->entries.clear();
    health->damage(-20.f, {}, {0.f, 0.f});
    EXPECT_FLOAT_EQ(health->health, 100.f);
    EXPECT_EQ(log->entries, (std::vector<std::string>{"testChanged 100", "testHit -20"}));

    log->entries.clear();
    health->damage(150.f, {}, {0.f, 0.f});
    EXPECT_FLOAT_EQ(health->health, 0.f);
    EXPECT_EQ(log->entries, (std::vector<std::string>{"testChanged 0", "testHit 150", "testDeath"}));

    log->entries.clear();
    body->impulses.clear();
    health->damage(5.f, {}, {0.f, -1.f});
    EXPECT_TRUE(log->entries.empty());
    EXPECT_EQ(body->impulses.size(), 1u);
}

TEST_F(Gameplay, GroundCountsOnlyWhatItStandsOnAndForgetsOnlyWhatItCounted) {
    enterLevel(false);
    auto makeCollider = [&](bool trigger) {
        orn::GameObject* object = scene->createGameObject(1);
        auto* collider = object->addComponent<orn::BoxCollider>(sf::FloatRect(0.f, 0.f, 10.f, 10.f));
        collider->isTrigger = trigger;
        return collider;
    };
    orn::BoxCollider* floor = makeCollider(false);
    orn::BoxCollider* wall = makeCollider(false);
    orn::BoxCollider* region = makeCollider(true);
    orn::GameObject* probeObject = scene->createGameObject(1);
    auto* probe = probeObject->addComponent<GroundedCheck>();

    probe->onTriggerEnter({nullptr, wall, 1.f, {1.f, 0.f}});
    EXPECT_EQ(probe->groundContacts, 0);
    probe->onTriggerExit(wall);
    EXPECT_EQ(probe->groundContacts, 0);  // a side contact that never counted cannot take the ground away

    probe->onTriggerEnter({nullptr, floor, 1.f, {0.f, -1.f}});
    EXPECT_EQ(probe->groundContacts, 1);
    probe->onTriggerEnter({nullptr, region, 1.f, {0.f, -1.f}});
    EXPECT_EQ(probe->groundContacts, 1);  // a trigger area is not ground
    probe->onTriggerExit(region);
    EXPECT_EQ(probe->groundContacts, 1);
    probe->onTriggerExit(floor);
    EXPECT_EQ(probe->groundContacts, 0);
}

TEST_F(Gameplay, ThePlayerPrefabStandsOnTheFloorWithTheHumanFormActive) {
    enterLevel();
    auto controller = player();
    ASSERT_TRUE(controller);
    EXPECT_TRUE(controller->isGrounded());
    const sf::Vector2f feet = findTagged("Player")->getTransform().lock()->getPosition();
    EXPECT_NEAR(feet.y, floorTop, 0.5f);

    auto human = controller->humanCollider.lock();
    auto rat = controller->ratCollider.lock();
    auto minotaur = controller->minotaurCollider.lock();
    EXPECT_TRUE(human->enabled);
    EXPECT_FALSE(rat->enabled);
    EXPECT_FALSE(minotaur->enabled);
    const auto humanSprite = findTagged("Human")->getComponent<orn::AnimatedSprite>().lock();
    const float w = static_cast<float>(humanSprite->spriteAnimation.getFrame("idle", 0).rect.width);
    EXPECT_EQ(human->size, sf::Vector2f(0.5f * w, 0.75f * w));
    EXPECT_TRUE(findTagged("Human")->isActive());
    EXPECT_FALSE(findTagged("Rat")->isActive());
}

TEST_F(Gameplay, TransmutateCyclesThroughTheAvailableFormsAndAppliesTheirStats) {
    enterLevel();
    auto transmutation = forms();
    auto controller = player();
    auto zone = controller->attackZone.lock();
    press(sf::Keyboard::E);
    EXPECT_EQ(transmutation->currentForm, Form::Human);

    transmutation->setFormAvailable(Form::Rat, true);
    transmutation->setFormAvailable(Form::Minotaur, true);
    const std::vector<Form> expected{Form::Rat, Form::Minotaur, Form::Human};
    const std::vector<sf::Vector2f> scales{{1.f, 1.f}, {4.f, 2.f}, {2.f, 1.f}};
    const std::vector<float> jumps{500.f, 0.f, 1000.f};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        press(sf::Keyboard::E);
        EXPECT_EQ(transmutation->currentForm, expected[i]);
        EXPECT_EQ(zone->getGameObject()->getTransform().lock()->getLocalScale(), scales[i]);
        EXPECT_FLOAT_EQ(controller->jumpForce, jumps[i]);
        const int enabled = controller->humanCollider.lock()->enabled +
                            controller->ratCollider.lock()->enabled +
                            controller->minotaurCollider.lock()->enabled;
        EXPECT_EQ(enabled, 1);
    }

    // Losing the active form moves to another available one at once.
    press(sf::Keyboard::E);
    ASSERT_EQ(transmutation->currentForm, Form::Rat);
    transmutation->setFormAvailable(Form::Rat, false);
    EXPECT_EQ(transmutation->currentForm, Form::Human);
}

TEST_F(Gameplay, FacingLeftSurvivesAChangeOfForm) {
    enterLevel();
    auto transmutation = forms();
    transmutation->setFormAvailable(Form::Rat, true);
    driver.held.insert(sf::Keyboard::A);
    driver.frame();
    driver.held.clear();
    press(sf::Keyboard::E);
    EXPECT_TRUE(transmutation->getCurrentSprite().lock()->flipX);
    EXPECT_LT(player()->attackZone.lock()->getGameObject()->getTransform().lock()->getLocalScale().x, 0.f);
}

TEST_F(Gameplay, SlashesHurtEnemiesButOnlyTheMinotaurBreaksBlocks) {
    extra = [](ScriptedScene& s) {
        build(s, mapObject("Darklord", "darkling", {126.f, floorTop, 0.f, 0.f},
                           {{"Health", "30"},
                            {"InitialMovementDirectionX", "0"},
                            {"InitialMovementDirectionY", "0"}}));
        build(s, mapObject("Destroyable", "wall", {60.f, floorTop - 16.f, 16.f, 16.f},
                           {{"CountX", "1"}, {"CountY", "1"}}));
    };
    enterLevel();
    auto enemyHealth = findTagged("Enemy")->getComponent<Health>().lock();
    auto blockHealth = findTagged("Destroyable")->getComponent<Health>().lock();

    slash();
    EXPECT_FLOAT_EQ(enemyHealth->health, 20.f);

    // Facing left the zone reaches the block, which the human cannot break.
    driver.held.insert(sf::Keyboard::A);
    driver.frame();
    driver.held.clear();
    driver.frames(60);
    slash();
    EXPECT_FLOAT_EQ(blockHealth->health, 100.f);
    EXPECT_FLOAT_EQ(enemyHealth->health, 20.f);

    forms()->setFormAvailable(Form::Minotaur, true);
    press(sf::Keyboard::E);
    ASSERT_EQ(forms()->currentForm, Form::Minotaur);
    std::weak_ptr<orn::GameObject> block = scene->findGameObject(blockHealth->getGameObject()->id);
    blockHealth.reset();
    slash();
    EXPECT_TRUE(block.expired());
}

TEST_F(Gameplay, AHitCancelsTheAttackSoTheNextOneStillDealsDamage) {
    extra = [](ScriptedScene& s) {
        build(s, mapObject("Darklord", "darkling", {126.f, floorTop, 0.f, 0.f},
                           {{"Health", "100"},
                            {"InitialMovementDirectionX", "0"},
                            {"InitialMovementDirectionY", "0"}}));
    };
    enterLevel();
    auto controller = player();
    auto enemyHealth = findTagged("Enemy")->getComponent<Health>().lock();
    findTagged("Enemy")->getComponent<orn::Rigidbody>().lock()->axisFactors.x = 0;  // stays in reach
    driver.held.insert(sf::Keyboard::Enter);
    driver.frame();
    driver.held.clear();
    while (!controller->hitApplied) {
        driver.frame();
    }
    EXPECT_FLOAT_EQ(enemyHealth->health, 90.f);
    findTagged("Player")->getComponent<Health>().lock()->damage(1.f, {}, {0.f, 0.f});
    EXPECT_FALSE(controller->isAttacking);
    EXPECT_FALSE(controller->hitApplied);
    driver.frames(60);
    slash();
    EXPECT_FLOAT_EQ(enemyHealth->health, 80.f);
}

TEST_F(Gameplay, EnemiesTurnAtWallsAndHurtThePlayerOncePerSecond) {
    extra = [](ScriptedScene& s) {
        build(s,
              mapObject("Collider", "wall", {300.f, floorTop - 64.f, 16.f, 64.f}, {{"IsTrigger", "false"}}),
              1);
        build(s, mapObject("Sneaker", "slimy", {250.f, floorTop, 0.f, 0.f},
                           {{"Health", "10"},
                            {"InitialMovementDirectionX", "1"},
                            {"InitialMovementDirectionY", "0"}}));
    };
    enterLevel();
    auto enemy = findTagged("Enemy")->getComponent<Enemy>().lock();
    auto playerHealth = findTagged("Player")->getComponent<Health>().lock();
    int turned = 0;
    for (int frame = 0; frame < 120 && turned == 0; ++frame) {
        driver.frame();
        turned = enemy->direction.x < 0.f ? 1 : 0;
    }
    ASSERT_EQ(turned, 1) << "the sneaker never reached the wall";
    EXPECT_TRUE(findTagged("Enemy")->getComponent<orn::AnimatedSprite>().lock()->flipX);

    // Walking back it meets the player: 10 damage at once, then at most once per second.
    float previous = playerHealth->health;
    int frame = 0;
    for (; frame < 600 && playerHealth->health == previous; ++frame) {
        driver.frame();
    }
    ASSERT_LT(playerHealth->health, previous) << "the sneaker never touched the player";
    EXPECT_FLOAT_EQ(playerHealth->health, previous - 10.f);
    previous = playerHealth->health;
    driver.frames(30);
    EXPECT_GE(playerHealth->health, previous - 10.f);
    EXPECT_LE(enemy->cooldownTimer, 1.f);
}

TEST_F(Gameplay, TheCameraClosesAFixedShareOfTheGapEachFrame) {
    orn::GameObject* camera = nullptr;
    extra = [&camera](ScriptedScene& s) {
        camera = s.createGameObject(1);
        camera->addComponent<CameraFollow>();
        camera->addComponent<orn::Camera>();
    };
    enterLevel();
    auto transform = camera->getTransform().lock();
    transform->setPosition({0.f, 0.f});
    const sf::Vector2f target = findTagged("Player")->getTransform().lock()->getPosition();
    driver.frame(0.02f);
    const sf::Vector2f after = transform->getPosition();
    EXPECT_NEAR(after.x, target.x * 0.1f, 0.5f);
    driver.frame(0.f);
    EXPECT_EQ(transform->getPosition(), after);
}
