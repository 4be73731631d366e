#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <set>
#include <sstream>
#include <utility>

#include "CoreTestSupport.hpp"
#include "engine/BoxCollider.hpp"
#include "engine/CollisionMethodNotImplementedException.hpp"
#include "engine/DuplicateRigidbodyException.hpp"
#include "engine/PhysicsManager.hpp"
#include "engine/Rigidbody.hpp"
#include "engine/Transform.hpp"

// Box colliders, rigid bodies and the physics world's pass: the contact test, the links between bodies and
// colliders, callbacks that change the world mid-pass, and the broad phase's grid against the pair walk.
// (The real level's runs check the step's numbers.)
namespace {

using coretest::Log;

/// Records every collision and trigger callback of its game object as "<object>.<callback> <other object>"
/// in a shared log, and runs an optional hook from inside the callback.
class ContactLog : public orn::Component {
public:
    explicit ContactLog(std::shared_ptr<Log> sharedLog) : log(std::move(sharedLog)) {}

    void onCollisionEnter(orn::Collision c) override { record("collisionEnter", c.other); }
    void onCollisionStay(orn::Collision c) override { record("collisionStay", c.other); }
    void onCollisionExit(orn::Collider* other) override { record("collisionExit", other); }
    void onTriggerEnter(orn::Collision c) override { record("triggerEnter", c.other); }
    void onTriggerStay(orn::Collision c) override { record("triggerStay", c.other); }
    void onTriggerExit(orn::Collider* other) override { record("triggerExit", other); }

    std::shared_ptr<Log> log;
    std::function<void(const std::string& callback)> hook;

private:
    void record(const std::string& callback, orn::Collider* other) {
        log->push_back(gameObject->name + "." + callback + " " + other->gameObject->name);
        if (hook) {
            hook(callback);
        }
    }
};

/// A scene of named boxes for driving the physics world step by step.
class World {
public:
    std::shared_ptr<coretest::ScriptedScene> scene = std::make_shared<coretest::ScriptedScene>();
    std::shared_ptr<Log> log = std::make_shared<coretest::Log>();
    orn::PhysicsManager& physics = orn::PhysicsManager::getInstance();

    /// A game object named name at position with a box of size and a contact log, and a rigid body unless
    /// body is false. Call settle() before stepping so that init links collider and body.
    orn::GameObject* box(const std::string& name, sf::Vector2f position, sf::Vector2f size,
                         bool body = true) {
        orn::GameObject* object = scene->createGameObject(1);
        object->name = name;
        object->getTransform().lock()->setLocalPosition(position);
        object->addComponent<orn::BoxCollider>(sf::FloatRect(0.f, 0.f, size.x, size.y));
        if (body) {
            object->addComponent<orn::Rigidbody>();
        }
        object->addComponent<ContactLog>(log);
        return object;
    }
    void settle() { scene->update(); }
    Log takeLog() { return std::exchange(*log, {}); }

    /// The component of type T of object (there must be one).
    template <class T>
    static T& get(orn::GameObject* object) {
        return *object->getComponent<T>().lock();
    }
    static sf::Vector2f position(orn::GameObject* object) {
        return object->getTransform().lock()->getPosition();
    }
};

/// Everything that may differ between the grid's pass and the pair walk, per step: every live object's
/// position and velocity to the last bit, and the callbacks in their order.
using Trace = std::vector<std::string>;

/// A random world in a 480 x 360 area: static boxes and triggers, bodies of every kind with gravity or drift,
/// some with extra trigger boxes, and callbacks that move bodies, add colliders and destroy objects while
/// the pass runs. The same seed builds the same world and makes the same decisions.
class RandomWorld {
public:
    explicit RandomWorld(unsigned seed) : random(seed) {
        for (int i = 0; i < 24; ++i) {
            orn::GameObject* wall = world.box("static" + std::to_string(i), point(), size(8.f, 120.f), false);
            World::get<orn::BoxCollider>(wall).isTrigger = chance(0.25);
            objects.push_back(wall);
        }
        for (int i = 0; i < 36; ++i) {
            orn::GameObject* object = world.box("body" + std::to_string(i), point(), size(6.f, 40.f));
            orn::Rigidbody& body = World::get<orn::Rigidbody>(object);
            body.velocity = {uniform(-150.f, 150.f), uniform(-150.f, 150.f)};
            body.restitution = uniform(0.f, 1.2f);
            body.damping = chance(0.5) ? 1.f : 0.97f;
            body.isKinematic = chance(0.15);
            body.infiniteMass = chance(0.15);
            if (chance(0.5)) {
                body.forces.push_back({0.f, 9.81f});
            }
            if (chance(0.3)) {
                auto* zone = object->addComponent<orn::BoxCollider>(sf::FloatRect(-4.f, -4.f, 30.f, 30.f));
                zone->isTrigger = true;
            }
            hook(object, i);
            objects.push_back(object);
        }
        // Bounds the grid cannot place (not finite, or over too many cells) are in every answer.
        objects.push_back(world.box("nowhere", point(), {NAN, 10.f}, false));
        objects.push_back(world.box("floor", {-1e6f, 400.f}, {2e6f, 500.f}, false));
        world.settle();
    }

    Trace run(bool bruteForce, int steps) {
        world.physics.bruteForce = bruteForce;
        Trace trace;
        for (int step = 0; step < steps; ++step) {
            world.physics.collisionPass();
            world.physics.integrate(orn::PhysicsManager::fixedStep);
            if (step % 10 == 9) {
                world.settle();  // attaches what callbacks added, removes what they destroyed
            }
            std::ostringstream state;
            for (const std::string& entry : world.takeLog()) {
                state << entry << '\n';
            }
            for (orn::GameObject* object : objects) {
                if (destroyed.count(object) != 0) {
                    continue;  // freed by the scene update
                }
                const sf::Vector2f p = World::position(object);
                state << std::hexfloat << object->name << ' ' << p.x << ' ' << p.y;
                if (auto body = object->getComponent<orn::Rigidbody>().lock()) {
                    state << ' ' << body->velocity.x << ' ' << body->velocity.y;
                }
                state << '\n';
            }
            trace.push_back(state.str());
        }
        world.physics.bruteForce = false;
        return trace;
    }

    World world;

private:
    sf::Vector2f point() { return {uniform(0.f, 480.f), uniform(0.f, 360.f)}; }
    sf::Vector2f size(float smallest, float largest) {
        return {uniform(smallest, largest), uniform(smallest, largest)};
    }
    float uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); }
    bool chance(double p) { return std::bernoulli_distribution(p)(random); }

    /// Callbacks that change the world mid-pass, decided by counting, so that both runs decide alike.
    void hook(orn::GameObject* object, int index) {
        ContactLog& log = World::get<ContactLog>(object);
        const sf::Vector2f jump = {uniform(-240.f, 240.f), uniform(-180.f, 180.f)};
        log.hook = [this, object, index, jump, calls = 0](const std::string& callback) mutable {
            ++calls;
            const auto transform = object->getTransform().lock();
            if (index % 4 == 0 && (callback == "collisionEnter" || calls % 25 == 0)) {
                // A teleport there and back: the body lands on whatever is there in this same pass, and
                // leaves its contacts far behind.
                transform->setLocalPosition(transform->getLocalPosition() + (calls % 2 == 0 ? jump : -jump));
            } else if (index % 4 == 1 && callback == "triggerEnter" && spawned < 40) {
                // A new static box where the body is, tested in this same pass.
                orn::GameObject* added = world.box("spawn" + std::to_string(spawned++),
                                                   transform->getPosition(), {12.f, 12.f}, false);
                objects.push_back(added);
            } else if (index % 4 == 2 && callback == "collisionStay" && calls % 40 == 0) {
                object->destroy();
                destroyed.insert(object);
            } else if (index % 4 == 3 && callback == "collisionExit" && calls % 2 == 0) {
                // Forgets its contacts, so the partners' stale entries end in exits later.
                auto collider = object->getComponent<orn::BoxCollider>().lock();
                collider->onDisable();
            }
        };
    }

    std::mt19937 random;
    /// Not owned: the scene frees destroyed ones at its next update, so they are only compared by address.
    std::vector<orn::GameObject*> objects;
    std::set<const orn::GameObject*> destroyed;
    int spawned = 0;
};

/// A shape the box test knows nothing about.
class Circle : public orn::Collider {
public:
    bool checkCollision(orn::Collider*, sf::Vector2f*, float*) override { return false; }
};

TEST(BoxCollider, TheShallowerAxisGivesTheNormalAwayFromTheOtherAndTheDepth) {
    World world;
    const struct {
        sf::FloatRect a, b;
        bool hit;
        sf::Vector2f normal;
        float depth;
    } cases[] = {{{0, 0, 16, 16}, {16, 0, 16, 16}, false, {7, 7}, 7},  // touching edges write nothing
                 {{0, 0, 16, 16}, {0, 16, 16, 16}, false, {7, 7}, 7},
                 {{0, 0, 16, 16}, {10, 4, 16, 16}, true, {-1, 0}, 6},
                 {{10, 4, 16, 16}, {0, 0, 16, 16}, true, {1, 0}, 6},
                 {{0, 0, 16, 16}, {2, 12, 16, 16}, true, {0, -1}, 4},
                 {{2, 12, 16, 16}, {0, 0, 16, 16}, true, {0, 1}, 4},
                 {{0, 0, 10, 10}, {5, 5, 10, 10}, true, {0, -1}, 5}};  // equal overlaps: vertical
    for (const auto& c : cases) {
        auto* a = world.scene->createGameObject(0)->addComponent<orn::BoxCollider>(c.a);
        auto* b = world.scene->createGameObject(0)->addComponent<orn::BoxCollider>(c.b);
        sf::Vector2f normal(7.f, 7.f);
        float depth = 7.f;
        EXPECT_EQ(a->checkCollision(b, &normal, &depth), c.hit) << c.b.left << "," << c.b.top;
        EXPECT_EQ(normal, c.normal) << c.b.left << "," << c.b.top;
        EXPECT_FLOAT_EQ(depth, c.depth) << c.b.left << "," << c.b.top;
    }

    // The world rectangle: the offset unscaled, the size scaled, a mirrored size normalised.
    orn::GameObject* object = world.scene->createGameObject(0);
    auto* box = object->addComponent<orn::BoxCollider>(sf::FloatRect(0, 0, 10, 20));
    box->origin = {0.5f, 1.f};
    object->getTransform().lock()->setLocalPosition({100.f, 50.f});
    object->getTransform().lock()->setLocalScale({-1.f, 1.f});
    EXPECT_EQ(box->getWorldRect(), sf::FloatRect(95, 30, 10, 20));
    box->offset = {5.f, -5.f};
    box->origin = {0.f, 0.f};
    object->getTransform().lock()->setLocalScale({2.f, -0.5f});
    EXPECT_EQ(box->getWorldRect(), sf::FloatRect(105, 35, 20, 10));
    EXPECT_EQ(box->rect, box->getWorldRect());

    // Other shapes raise, naming both types, and the pass lets the exception through.
    auto* circle = world.scene->createGameObject(1)->addComponent<Circle>();
    try {
        box->checkCollision(circle, nullptr, nullptr);
        ADD_FAILURE() << "expected CollisionMethodNotImplementedException";
    } catch (const orn::CollisionMethodNotImplementedException& e) {
        EXPECT_STREQ(
            e.what(),
            "Collission between <orn::BoxCollider> and <(anonymous namespace)::Circle> not implemented!");
    }
    world.box("body", {0.f, 0.f}, {10.f, 10.f});
    world.settle();
    EXPECT_THROW(world.physics.collisionPass(), orn::CollisionMethodNotImplementedException);
}

TEST(Rigidbody, BodiesAndCollidersLinkOnceAndForgetEachOtherWhenDestroyed) {
    World world;
    orn::GameObject* object = world.scene->createGameObject(0);
    auto* body = object->addComponent<orn::Rigidbody>();
    auto* box = object->addComponent<orn::BoxCollider>(sf::FloatRect(0, 0, 1, 1));
    orn::GameObject* colliderFirst = world.box("c", {0.f, 0.f}, {1.f, 1.f});
    world.settle();
    EXPECT_EQ(box->rigidbody, body);
    EXPECT_EQ(body->colliders, std::vector<orn::Collider*>{box});
    EXPECT_EQ(World::get<orn::Rigidbody>(colliderFirst).colliders.size(), 1u)
        << "whichever initialises first";
    body->addCollider(box);
    EXPECT_EQ(body->colliders.size(), 1u);

    orn::Rigidbody lasting;
    auto dropped = std::make_shared<orn::BoxCollider>(sf::FloatRect(0, 0, 1, 1));
    lasting.addCollider(dropped.get());
    dropped.reset();
    EXPECT_TRUE(lasting.colliders.empty());
    auto kept = std::make_shared<orn::BoxCollider>(sf::FloatRect(0, 0, 1, 1));
    {
        orn::Rigidbody shortLived(-3.f);
        EXPECT_EQ(shortLived.mass, -1.f);
        EXPECT_EQ(shortLived.inverseMass, 0.f);
        EXPECT_EQ(world.physics.rigidbodies.back(), &shortLived) << "registered in construction order";
        shortLived.addCollider(kept.get());
    }
    EXPECT_EQ(kept->rigidbody, nullptr) << "a collider outliving its body becomes static";
    EXPECT_EQ(orn::Rigidbody(0.f).inverseMass, 0.f);

    orn::GameObject* twice = world.box("twice", {0.f, 0.f}, {1.f, 1.f});
    twice->addComponent<orn::Rigidbody>();
    try {
        world.settle();
        ADD_FAILURE() << "expected DuplicateRigidbodyException";
    } catch (const orn::DuplicateRigidbodyException& e) {
        EXPECT_EQ(e.what(),
                  "Duplicate rigid bodies found on game object with id '" + std::to_string(twice->id) + "'!");
    }
}

TEST(PhysicsWorld, CallbacksMayCreateAndDestroyCollidersAndBodiesMidPass) {
    World world;
    orn::GameObject* player = world.box("player", {0.f, 0.f}, {10.f, 10.f});
    world.box("spawner", {5.f, 0.f}, {10.f, 10.f}, false);
    World doomed;  // a second scene whose objects, body included, all die inside a callback
    doomed.box("victim", {0.f, 5.f}, {10.f, 10.f});
    doomed.box("bystander", {3.f, 3.f}, {10.f, 10.f}, false);
    doomed.settle();
    world.settle();
    const std::size_t colliders = world.physics.colliders.size(), bodies = world.physics.rigidbodies.size();
    World::get<ContactLog>(player).hook = [&](const std::string& callback) {
        if (callback == "collisionEnter" && doomed.scene) {
            doomed.scene.reset();
            orn::GameObject* spawned = world.scene->createGameObject(1);
            spawned->addComponent<orn::BoxCollider>(sf::FloatRect(0.f, 0.f, 10.f, 10.f));
            spawned->addComponent<orn::Rigidbody>();
        }
    };
    world.physics.collisionPass();
    EXPECT_FALSE(doomed.scene);
    EXPECT_EQ(world.physics.colliders.size(), colliders - 2 + 1);
    EXPECT_EQ(world.physics.rigidbodies.size(), bodies - 1 + 1);
    EXPECT_EQ(std::count(world.physics.colliders.begin(), world.physics.colliders.end(), nullptr), 0);
    EXPECT_EQ(std::count(world.physics.rigidbodies.begin(), world.physics.rigidbodies.end(), nullptr), 0);
}

TEST(PhysicsWorld, RandomWorldsStepExactlyAsThePairWalk) {
    constexpr int steps = 300;
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        const Trace walked = RandomWorld(seed).run(true, steps);
        const Trace gridded = RandomWorld(seed).run(false, steps);
        const auto step = std::mismatch(walked.begin(), walked.end(), gridded.begin()).first - walked.begin();
        ASSERT_EQ(step, steps) << "seed " << seed << " differs in step " << step << ":\n"
                               << walked[step] << "\nversus\n"
                               << gridded[step];
        // The worlds must actually collide, or the comparison proves nothing.
        EXPECT_GT(
            std::count_if(walked.begin(), walked.end(),
                          [](const std::string& state) { return state.find("Enter") != std::string::npos; }),
            10)
            << "seed " << seed;
    }
}

}  // namespace
