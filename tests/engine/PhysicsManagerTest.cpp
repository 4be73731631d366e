#include <gtest/gtest.h>

#include <algorithm>

#include "PhysicsTestSupport.hpp"
#include "engine/CollisionMethodNotImplementedException.hpp"
#include "engine/Game.hpp"
#include "engine/SceneManager.hpp"

using phystest::World;
using Log = std::vector<std::string>;

namespace {

class PhysicsWorld : public ::testing::Test {
protected:
    /// Two boxes side by side whose x ranges overlap by one pixel, so their normal is horizontal.
    std::pair<orn::GameObject*, orn::GameObject*> sideBySide(bool secondHasBody = true) {
        orn::GameObject* left = world.box("left", {0.f, 0.f}, {10.f, 10.f});
        orn::GameObject* right = world.box("right", {9.f, 0.f}, {10.f, 10.f}, secondHasBody);
        world.settle();
        return {left, right};
    }

    World world;
};

TEST_F(PhysicsWorld, ARestingBodyLosesItsDownwardSpeedAndMostOfItsOverlap) {
    orn::GameObject* floor = world.box("floor", {0.f, 100.f}, {200.f, 50.f}, false);
    orn::GameObject* body = world.box("body", {0.f, 82.f}, {10.f, 20.f});
    world.settle();
    World::body(body).velocity = {5.f, 50.f};
    world.physics.collisionPass();
    EXPECT_EQ(World::body(body).velocity, sf::Vector2f(5.f, 0.f));
    EXPECT_FLOAT_EQ(World::position(body).y, 82.f - (2.f - 0.001f) * 0.8f);
    EXPECT_EQ(World::contacts(body).last.normal, sf::Vector2f(0.f, -1.f));
    EXPECT_FLOAT_EQ(World::contacts(body).last.depth, 2.f);
    // The floor's record carries the same normal and depth, with the roles swapped.
    EXPECT_EQ(World::contacts(floor).last.normal, sf::Vector2f(0.f, -1.f));
    EXPECT_EQ(World::contacts(floor).last.collider, &World::collider(floor));
    EXPECT_EQ(World::contacts(floor).last.other, &World::collider(body));
    EXPECT_EQ(world.takeLog(), (Log{"body.collisionEnter floor", "body.collisionStay floor",
                                    "floor.collisionEnter body", "floor.collisionStay body"}));
    EXPECT_EQ(World::position(floor), sf::Vector2f(0.f, 100.f));
}

TEST_F(PhysicsWorld, RestitutionAgainstStaticCollidersIsCappedAtOne) {
    auto [left, wall] = sideBySide(false);
    orn::Rigidbody& body = World::body(left);
    body.velocity = {100.f, 0.f};
    body.restitution = 1.5f;
    world.physics.collisionPass();
    EXPECT_FLOAT_EQ(body.velocity.x, -100.f);
    body.velocity = {100.f, 0.f};
    body.restitution = 0.5f;
    world.physics.collisionPass();
    EXPECT_FLOAT_EQ(body.velocity.x, -50.f);
}

TEST_F(PhysicsWorld, TwoBodiesBounceWithTheSmallerRestitution) {
    auto [left, right] = sideBySide();
    World::body(left).restitution = 0.2f;
    World::body(right).restitution = 0.9f;
    World::body(left).velocity = {100.f, 0.f};
    world.physics.collisionPass();
    EXPECT_FLOAT_EQ(World::body(left).velocity.x, 40.f);
    EXPECT_FLOAT_EQ(World::body(right).velocity.x, 60.f);
    // Half the correction each: (1 - 0.001) / 2 x 0.8.
    EXPECT_FLOAT_EQ(World::position(left).x, -0.3996f);
    EXPECT_FLOAT_EQ(World::position(right).x, 9.3996f);
}

TEST_F(PhysicsWorld, InfiniteMassAndNegativeMassBodiesAreNotPushedByBodies) {
    for (const bool infiniteFirst : {true, false}) {
        for (const bool useInfiniteMass : {true, false}) {
            World local;
            orn::GameObject* first = local.box("a", {0.f, 0.f}, {10.f, 10.f}, false);
            orn::GameObject* second = local.box("b", {9.f, 0.f}, {10.f, 10.f}, false);
            orn::GameObject* rock = infiniteFirst ? first : second;
            orn::GameObject* mover = infiniteFirst ? second : first;
            for (orn::GameObject* object : {first, second}) {  // bodies register in object order
                if (object == rock) {
                    rock->addComponent<orn::Rigidbody>(useInfiniteMass ? 1.f : -3.f)->infiniteMass =
                        useInfiniteMass;
                } else {
                    mover->addComponent<orn::Rigidbody>();
                }
            }
            local.settle();
            World::body(mover).velocity = {infiniteFirst ? -100.f : 100.f, 0.f};
            const sf::Vector2f rockAt = World::position(rock);
            local.physics.collisionPass();
            const std::string label = std::string(useInfiniteMass ? "infinite" : "negative") +
                                      (infiniteFirst ? " first" : " second");
            EXPECT_EQ(World::body(rock).velocity, sf::Vector2f(0.f, 0.f)) << label;
            EXPECT_EQ(World::position(rock), rockAt) << label;
            EXPECT_FLOAT_EQ(World::body(mover).velocity.x, 0.f) << label;
        }
    }
}

TEST_F(PhysicsWorld, KinematicAndAxisLockedBodiesKeepTheirMotionButReport) {
    auto [left, wall] = sideBySide(false);
    orn::Rigidbody& body = World::body(left);
    body.isKinematic = true;
    body.velocity = {100.f, 0.f};
    world.physics.collisionPass();
    EXPECT_EQ(body.velocity, sf::Vector2f(100.f, 0.f));
    EXPECT_EQ(World::position(left), sf::Vector2f(0.f, 0.f));
    EXPECT_EQ(world.takeLog().front(), "left.collisionEnter right");

    body.isKinematic = false;
    body.axisFactors = {0u, 1u};
    world.physics.collisionPass();
    EXPECT_EQ(body.velocity, sf::Vector2f(100.f, 0.f));
    EXPECT_EQ(World::position(left), sf::Vector2f(0.f, 0.f));
}

TEST_F(PhysicsWorld, ContactsEnterOnceStayEveryStepAndExitOnBothSides) {
    auto [left, right] = sideBySide();
    world.step(3);
    EXPECT_EQ(world.takeLog(),
              (Log{"left.collisionEnter right", "left.collisionStay right", "right.collisionEnter left",
                   "right.collisionStay left", "left.collisionStay right", "right.collisionStay left",
                   "left.collisionStay right", "right.collisionStay left"}));
    right->getTransform().lock()->setLocalPosition({30.f, 0.f});
    world.step(2);
    EXPECT_EQ(world.takeLog(), (Log{"left.collisionExit right", "right.collisionExit left"}));
}

TEST_F(PhysicsWorld, TriggersReportWithoutMovingEither) {
    orn::GameObject* area = world.box("area", {0.f, 0.f}, {50.f, 50.f}, false);
    World::collider(area).isTrigger = true;
    orn::GameObject* player = world.box("player", {10.f, 10.f}, {10.f, 10.f});
    world.settle();
    World::body(player).velocity = {0.f, 25.f};
    world.physics.collisionPass();
    world.physics.collisionPass();
    EXPECT_EQ(World::body(player).velocity, sf::Vector2f(0.f, 25.f));
    EXPECT_EQ(World::position(player), sf::Vector2f(10.f, 10.f));
    EXPECT_EQ(world.takeLog(),
              (Log{"player.triggerEnter area", "player.triggerStay area", "area.triggerEnter player",
                   "area.triggerStay player", "player.triggerStay area", "area.triggerStay player"}));
    player->getTransform().lock()->setLocalPosition({100.f, 10.f});
    world.physics.collisionPass();
    world.physics.collisionPass();
    EXPECT_EQ(world.takeLog(), (Log{"player.triggerExit area", "area.triggerExit player"}));
}

TEST_F(PhysicsWorld, StaticPairsOwnCollidersAndDeadCollidersAreNeverTested) {
    world.box("wallA", {0.f, 0.f}, {10.f, 10.f}, false);
    world.box("wallB", {5.f, 0.f}, {10.f, 10.f}, false);
    orn::GameObject* twoBoxes = world.box("pair", {100.f, 0.f}, {10.f, 10.f});
    twoBoxes->addComponent<orn::BoxCollider>(sf::FloatRect(2.f, 0.f, 10.f, 10.f));
    orn::GameObject* off = world.box("off", {105.f, 0.f}, {10.f, 10.f}, false);
    orn::GameObject* hidden = world.box("hidden", {105.f, 0.f}, {10.f, 10.f}, false);
    world.settle();
    World::collider(off).enabled = false;
    hidden->setActive(false);
    world.step(2);
    EXPECT_TRUE(world.takeLog().empty());
    EXPECT_EQ(World::body(twoBoxes).colliders.size(), 2u);
}

TEST_F(PhysicsWorld, AStaleContactLeftByDisablingEndsWithExitsWhenThePairIsTestedApart) {
    auto [left, right] = sideBySide();
    world.physics.collisionPass();
    world.takeLog();
    left->setActive(false);
    world.physics.collisionPass();
    EXPECT_TRUE(World::collider(left).contacts.empty());
    EXPECT_EQ(World::collider(right).contacts.count(World::collider(left).id), 1u);
    left->getTransform().lock()->setLocalPosition({-50.f, 0.f});
    left->setActive(true);
    world.physics.collisionPass();
    EXPECT_EQ(world.takeLog(), (Log{"left.collisionExit right", "right.collisionExit left"}));
    EXPECT_TRUE(World::collider(right).contacts.empty());
}

TEST_F(PhysicsWorld, CallbacksMayCreateAndDestroyCollidersAndBodiesMidPass) {
    orn::GameObject* player = world.box("player", {0.f, 0.f}, {10.f, 10.f});
    world.box("spawner", {5.f, 0.f}, {10.f, 10.f}, false);
    // A second scene whose objects, body included, all die inside a callback.
    World doomed;
    doomed.box("victim", {0.f, 5.f}, {10.f, 10.f});
    doomed.box("bystander", {3.f, 3.f}, {10.f, 10.f}, false);
    doomed.settle();
    world.settle();
    const std::size_t colliders = world.physics.colliders.size();
    const std::size_t bodies = world.physics.rigidbodies.size();
    World::contacts(player).hook = [&](const std::string& callback) {
        if (callback != "collisionEnter" || !doomed.scene) {
            return;
        }
        doomed.scene.reset();
        orn::GameObject* spawned = world.scene->createGameObject(1);
        spawned->addComponent<orn::BoxCollider>(sf::FloatRect(0.f, 0.f, 10.f, 10.f));
        spawned->addComponent<orn::Rigidbody>();
    };
    world.physics.collisionPass();
    EXPECT_FALSE(doomed.scene);
    EXPECT_EQ(world.physics.colliders.size(), colliders - 2 + 1);
    EXPECT_EQ(world.physics.rigidbodies.size(), bodies - 1 + 1);
    EXPECT_EQ(std::count(world.physics.colliders.begin(), world.physics.colliders.end(), nullptr), 0);
    EXPECT_EQ(std::count(world.physics.rigidbodies.begin(), world.physics.rigidbodies.end(), nullptr), 0);
}

TEST_F(PhysicsWorld, AnUntestablePairRaisesOutOfThePass) {
    class Odd : public orn::Collider {
    public:
        bool checkCollision(orn::Collider*, sf::Vector2f*, float*) override { return false; }
    };
    world.box("box", {0.f, 0.f}, {10.f, 10.f});
    world.scene->createGameObject(1)->addComponent<Odd>();
    world.settle();
    EXPECT_THROW(world.physics.collisionPass(), orn::CollisionMethodNotImplementedException);
}

TEST_F(PhysicsWorld, AFrameOfTenMillisecondsRunsTwoSteps) {
    orn::Game& game = coretest::sharedGame();
    orn::GameObject* body = world.box("body", {0.f, 0.f}, {1.f, 1.f});
    orn::SceneManager::getInstance().loadScene(world.scene);
    world.physics.accumulator = 0.f;
    game.update(sf::seconds(0.f));  // the switch to the scene, which attaches the components
    World::body(body).velocity = {250.f, 0.f};
    game.update(sf::seconds(0.01f));
    EXPECT_FLOAT_EQ(World::position(body).x, 2.f);
    EXPECT_NEAR(world.physics.accumulator, 0.002f, 1e-6f);
    orn::SceneManager::getInstance().loadScene(std::make_shared<coretest::ScriptedScene>());
    game.update(sf::seconds(0.f));
}

}  // namespace
