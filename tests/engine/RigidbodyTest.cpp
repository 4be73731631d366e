#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

#include "PhysicsTestSupport.hpp"
#include "engine/DuplicateRigidbodyException.hpp"

using phystest::World;

namespace {

TEST(RigidbodyTest, ConstructionSetsDefaultsAndRegistersInOrder) {
    orn::PhysicsManager& physics = orn::PhysicsManager::getInstance();
    const std::size_t before = physics.rigidbodies.size();
    {
        orn::Rigidbody first;
        orn::Rigidbody second(2.f, 0.5f, 0.9f);
        EXPECT_FLOAT_EQ(first.mass, 1.f);
        EXPECT_FLOAT_EQ(first.inverseMass, 1.f);
        EXPECT_FLOAT_EQ(first.restitution, 0.f);
        EXPECT_FLOAT_EQ(first.damping, 1.f);
        EXPECT_EQ(first.axisFactors, sf::Vector2u(1u, 1u));
        EXPECT_FLOAT_EQ(second.inverseMass, 0.5f);
        ASSERT_EQ(physics.rigidbodies.size(), before + 2);
        EXPECT_EQ(physics.rigidbodies[before], &first);
        EXPECT_EQ(physics.rigidbodies[before + 1], &second);
    }
    EXPECT_EQ(physics.rigidbodies.size(), before);

    const orn::Rigidbody negative(-3.f);
    EXPECT_FLOAT_EQ(negative.mass, -1.f);
    EXPECT_FLOAT_EQ(negative.inverseMass, 0.f);
    const orn::Rigidbody weightless(0.f);
    EXPECT_FLOAT_EQ(weightless.inverseMass, 0.f);
}

TEST(RigidbodyTest, ForcesAndImpulsesChangeTheVelocityPerStepByInverseMass) {
    World world;
    orn::GameObject* heavy = world.box("heavy", {0.f, 0.f}, {1.f, 1.f}, false);
    orn::GameObject* fixed = world.box("fixed", {100.f, 0.f}, {1.f, 1.f}, false);
    orn::Rigidbody& body = *heavy->addComponent<orn::Rigidbody>(2.f);
    fixed->addComponent<orn::Rigidbody>(-3.f)->forces.push_back({0.f, 9.81f});
    world.settle();
    body.forces.push_back({0.f, 9.81f});
    body.impulses.push_back({4.f, 0.f});

    world.physics.integrate(0.004f);
    EXPECT_EQ(body.velocity, sf::Vector2f(2.f, 4.905f));
    EXPECT_EQ(body.acceleration, sf::Vector2f(2.f, 4.905f));
    EXPECT_TRUE(body.impulses.empty());
    EXPECT_NEAR(World::position(heavy).y, 4.905f * 0.004f, 1e-6f);

    world.physics.integrate(0.004f);  // the impulse counted in one step only
    EXPECT_FLOAT_EQ(body.velocity.x, 2.f);
    EXPECT_FLOAT_EQ(body.velocity.y, 9.81f);
    EXPECT_EQ(World::body(fixed).velocity, sf::Vector2f(0.f, 0.f));
    EXPECT_EQ(World::position(fixed), sf::Vector2f(100.f, 0.f));
}

TEST(RigidbodyTest, AxisFactorsLockAccelerationButNotExistingVelocity) {
    World world;
    orn::GameObject* object = world.box("locked", {0.f, 0.f}, {1.f, 1.f});
    world.settle();
    orn::Rigidbody& body = World::body(object);
    body.axisFactors = {0u, 1u};
    body.velocity = {250.f, 0.f};
    body.forces.push_back({100.f, 1.f});
    body.damping = 0.5f;
    world.physics.integrate(0.004f);
    EXPECT_FLOAT_EQ(body.velocity.x, 125.f);
    EXPECT_FLOAT_EQ(body.velocity.y, 0.5f);
    EXPECT_FLOAT_EQ(World::position(object).x, 0.5f);
}

TEST(RigidbodyTest, SkippedBodiesKeepTheirImpulsesAndDoNotMove) {
    World world;
    orn::GameObject* off = world.box("off", {0.f, 0.f}, {1.f, 1.f});
    orn::GameObject* hidden = world.box("hidden", {0.f, 0.f}, {1.f, 1.f});
    world.settle();
    World::body(off).enabled = false;
    hidden->setActive(false);
    for (orn::GameObject* object : {off, hidden}) {
        World::body(object).impulses.push_back({10.f, 0.f});
    }
    world.physics.integrate(0.004f);
    for (orn::GameObject* object : {off, hidden}) {
        EXPECT_EQ(World::body(object).impulses.size(), 1u) << object->name;
        EXPECT_EQ(World::position(object), sf::Vector2f(0.f, 0.f)) << object->name;
    }
    World::body(off).enabled = true;
    world.physics.integrate(0.004f);
    EXPECT_FLOAT_EQ(World::body(off).velocity.x, 10.f);
}

TEST(RigidbodyTest, ASecondBodyOnOneObjectIsADuplicate) {
    World world;
    orn::GameObject* object = world.box("twice", {0.f, 0.f}, {1.f, 1.f});
    object->addComponent<orn::Rigidbody>();
    try {
        world.settle();
        ADD_FAILURE() << "expected DuplicateRigidbodyException";
    } catch (const orn::DuplicateRigidbodyException& e) {
        EXPECT_EQ(e.what(), "Duplicate rigid bodies found on game object with id '" +
                                std::to_string(object->id) + "'!");
    }
}

/// The player's numbers: gravity (0, 9.81) per step, damping 0.95, impulses appended by the controller in
/// the scene update after each 60 Hz frame's physics steps.
class MovementNumbers : public ::testing::Test {
protected:
    MovementNumbers() {
        world.physics.accumulator = 0.f;
        world.box("floor", {-10000.f, 100.f}, {20000.f, 50.f}, false);
        player = world.box("player", {0.f, 100.f}, {10.f, 20.f});
        World::collider(player).origin = {0.5f, 1.f};
        world.settle();
        World::body(player).forces.push_back({0.f, 9.81f});
        World::body(player).damping = 0.95f;
        frames(60);
    }
    void frames(int count, sf::Vector2f impulsePerFrame = {0.f, 0.f}) {
        for (int i = 0; i < count; ++i) {
            world.physics.accumulator += 1.f / 60.f;
            while (world.physics.accumulator > orn::PhysicsManager::fixedStep) {
                world.step();
                world.physics.accumulator -= orn::PhysicsManager::fixedStep;
                highest = std::min(highest, World::position(player).y);
            }
            if (impulsePerFrame != sf::Vector2f(0.f, 0.f)) {
                World::body(player).impulses.push_back(impulsePerFrame);
            }
        }
    }
    float jumpHeight(float impulse) {
        const float rest = World::position(player).y;
        World::body(player).impulses.push_back({0.f, -impulse});
        highest = rest;
        frames(120);
        return rest - highest;
    }

    World world;
    orn::GameObject* player = nullptr;
    float highest = 0.f;
};

TEST_F(MovementNumbers, HumanAndRatJumpHeights) {
    const float human = jumpHeight(1000.f);
    const float rat = jumpHeight(500.f);
    std::cout << "human jump " << human << " px, rat jump " << rat << " px\n";
    EXPECT_NEAR(human, 49.f, 1.f);
    EXPECT_NEAR(rat, 19.f, 1.f);
}

TEST_F(MovementNumbers, WalkingAndFallingSpeedsSettle) {
    frames(120, {1500.f / 60.f, 0.f});
    const float start = World::position(player).x;
    frames(60, {1500.f / 60.f, 0.f});
    const float walking = World::position(player).x - start;
    EXPECT_NEAR(World::position(player).y, 100.f, 0.1f);  // resting on the floor with a small overlap

    player->getTransform().lock()->setLocalPosition({0.f, -5000.f});
    frames(180);
    const float falling = World::body(player).velocity.y;
    std::cout << "walking " << walking << " px/s, falling " << falling << " px/s\n";
    EXPECT_NEAR(walking, 114.f, 1.5f);
    EXPECT_NEAR(falling, 186.f, 1.f);
}

}  // namespace
