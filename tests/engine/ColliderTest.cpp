#include <gtest/gtest.h>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include "PhysicsTestSupport.hpp"
#include "WindowCapture.hpp"
#include "engine/CollisionMethodNotImplementedException.hpp"
#include "engine/Game.hpp"

using phystest::World;

namespace {

/// A shape the box test knows nothing about.
class CircleCollider : public orn::Collider {
public:
    bool checkCollision(orn::Collider*, sf::Vector2f*, float*) override { return false; }
};

struct Contact {
    bool hit;
    sf::Vector2f normal;
    float depth;
};

class BoxColliderTest : public ::testing::Test {
protected:
    Contact test(sf::FloatRect a, sf::FloatRect b) {
        orn::GameObject* first = world.scene->createGameObject(0);
        orn::GameObject* second = world.scene->createGameObject(0);
        auto* boxA = first->addComponent<orn::BoxCollider>(a);
        auto* boxB = second->addComponent<orn::BoxCollider>(b);
        Contact contact{false, {7.f, 7.f}, 7.f};
        contact.hit = boxA->checkCollision(boxB, &contact.normal, &contact.depth);
        return contact;
    }

    World world;
};

TEST_F(BoxColliderTest, BoxesTouchingAlongAnEdgeDoNotCollideAndWriteNothing) {
    const Contact contact = test({0, 0, 16, 16}, {16, 0, 16, 16});
    EXPECT_FALSE(contact.hit);
    EXPECT_EQ(contact.normal, sf::Vector2f(7.f, 7.f));
    EXPECT_EQ(contact.depth, 7.f);
    EXPECT_FALSE(test({0, 0, 16, 16}, {0, 16, 16, 16}).hit);
}

TEST_F(BoxColliderTest, TheShallowerAxisGivesNormalAndDepthPointingAwayFromTheOther) {
    const Contact sideways = test({0, 0, 16, 16}, {10, 4, 16, 16});
    EXPECT_TRUE(sideways.hit);
    EXPECT_EQ(sideways.normal, sf::Vector2f(-1.f, 0.f));
    EXPECT_FLOAT_EQ(sideways.depth, 6.f);
    EXPECT_EQ(test({10, 4, 16, 16}, {0, 0, 16, 16}).normal, sf::Vector2f(1.f, 0.f));

    const Contact below = test({0, 0, 16, 16}, {2, 12, 16, 16});
    EXPECT_EQ(below.normal, sf::Vector2f(0.f, -1.f));
    EXPECT_FLOAT_EQ(below.depth, 4.f);
    EXPECT_EQ(test({2, 12, 16, 16}, {0, 0, 16, 16}).normal, sf::Vector2f(0.f, 1.f));

    // Equal overlaps on both axes: the vertical axis wins.
    const Contact corner = test({0, 0, 10, 10}, {5, 5, 10, 10});
    EXPECT_EQ(corner.normal, sf::Vector2f(0.f, -1.f));
    EXPECT_FLOAT_EQ(corner.depth, 5.f);
}

TEST_F(BoxColliderTest, WorldRectScalesTheSizeButNotTheOffsetAndNormalisesMirroring) {
    orn::GameObject* object = world.scene->createGameObject(0);
    auto transform = object->getTransform().lock();
    auto* box = object->addComponent<orn::BoxCollider>(sf::FloatRect(0, 0, 10, 20));
    box->origin = {0.5f, 1.f};
    transform->setLocalPosition({100.f, 50.f});
    transform->setLocalScale({-1.f, 1.f});
    EXPECT_EQ(box->getWorldRect(), sf::FloatRect(95, 30, 10, 20));
    EXPECT_EQ(box->rect, sf::FloatRect(95, 30, 10, 20));

    box->offset = {5.f, -5.f};
    box->origin = {0.f, 0.f};
    transform->setLocalScale({2.f, -0.5f});
    EXPECT_EQ(box->getWorldRect(), sf::FloatRect(105, 35, 20, 10));
}

TEST_F(BoxColliderTest, OtherShapesRaiseNamingBothTypes) {
    orn::GameObject* first = world.scene->createGameObject(0);
    orn::GameObject* second = world.scene->createGameObject(0);
    auto* box = first->addComponent<orn::BoxCollider>(sf::FloatRect(0, 0, 1, 1));
    auto* circle = second->addComponent<CircleCollider>();
    sf::Vector2f normal;
    float depth = 0.f;
    try {
        box->checkCollision(circle, &normal, &depth);
        ADD_FAILURE() << "expected CollisionMethodNotImplementedException";
    } catch (const orn::CollisionMethodNotImplementedException& e) {
        EXPECT_STREQ(e.what(),
                     "Collission between <orn::BoxCollider> and <(anonymous namespace)::CircleCollider> not "
                     "implemented!");
    }
}

TEST_F(BoxColliderTest, DebugOutlinesAreRedForSolidsAndYellowForTriggers) {
    sf::RenderWindow& window = coretest::sharedGame().getWindow();
    window.setView(window.getDefaultView());
    window.clear(sf::Color::Black);
    orn::GameObject* solid = world.box("solid", {10.f, 10.f}, {20.f, 20.f}, false);
    orn::GameObject* trigger = world.box("trigger", {50.f, 10.f}, {20.f, 20.f}, false);
    World::collider(trigger).isTrigger = true;
    World::collider(solid).drawDebug();
    World::collider(trigger).drawDebug();
    const sf::Image shot = captureWindow(window);
    // The outline lies outside the box, one pixel thick; the inside stays clear.
    EXPECT_EQ(shot.getPixel(9, 20), sf::Color::Red);
    EXPECT_EQ(shot.getPixel(20, 30), sf::Color::Red);
    EXPECT_EQ(shot.getPixel(20, 20), sf::Color::Black);
    EXPECT_EQ(shot.getPixel(49, 20), sf::Color::Yellow);
    EXPECT_EQ(shot.getPixel(60, 20), sf::Color::Black);
}

TEST(ColliderLinkTest, BodyAndColliderLinkOnceWhicheverInitialisesFirst) {
    World world;
    orn::GameObject* bodyFirst = world.scene->createGameObject(0);
    auto* body = bodyFirst->addComponent<orn::Rigidbody>();
    auto* box = bodyFirst->addComponent<orn::BoxCollider>(sf::FloatRect(0, 0, 1, 1));
    orn::GameObject* colliderFirst = world.box("c", {0.f, 0.f}, {1.f, 1.f});
    world.settle();
    EXPECT_EQ(box->rigidbody, body);
    EXPECT_EQ(body->colliders, std::vector<orn::Collider*>{box});
    EXPECT_EQ(World::body(colliderFirst).colliders.size(), 1u);

    body->addCollider(box);
    EXPECT_EQ(body->colliders.size(), 1u);
}

TEST(ColliderLinkTest, DisablingForgetsContactsWithoutExitCallbacks) {
    World world;
    orn::GameObject* a = world.box("a", {0.f, 0.f}, {10.f, 10.f});
    world.box("b", {5.f, 0.f}, {10.f, 10.f}, false);
    world.settle();
    world.physics.collisionPass();
    EXPECT_EQ(World::collider(a).contacts.size(), 1u);
    world.takeLog();
    a->setActive(false);
    EXPECT_TRUE(World::collider(a).contacts.empty());
    EXPECT_TRUE(world.takeLog().empty());
}

TEST(ColliderLinkTest, AColliderDestroyedWhileItsBodyLivesIsDroppedFromIt) {
    World world;
    orn::Rigidbody body;
    auto box = std::make_shared<orn::BoxCollider>(sf::FloatRect(0, 0, 1, 1));
    body.addCollider(box.get());
    EXPECT_EQ(box->rigidbody, &body);
    box.reset();
    EXPECT_TRUE(body.colliders.empty());

    // And the other way round: a collider outliving its body becomes static.
    auto kept = std::make_shared<orn::BoxCollider>(sf::FloatRect(0, 0, 1, 1));
    {
        orn::Rigidbody shortLived;
        shortLived.addCollider(kept.get());
    }
    EXPECT_EQ(kept->rigidbody, nullptr);
}

}  // namespace
