#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <sstream>

#include "PhysicsTestSupport.hpp"
#include "engine/BroadPhase.hpp"
#include "engine/GameObject.hpp"

using phystest::World;

namespace {

/// Everything that may differ between the grid's pass and the pair walk after a step: every live object's
/// position and velocity to the last bit, and the callbacks in their order.
struct Trace {
    std::vector<std::string> steps;
};

std::string bits(float value) {
    std::uint32_t raw = 0;
    std::memcpy(&raw, &value, sizeof raw);
    return std::to_string(raw);
}

/// A random world in a 480 x 360 area: static boxes and triggers, bodies of every kind with gravity or drift,
/// some with extra trigger boxes, and callbacks that move bodies, add colliders and destroy objects while
/// the pass runs. The same seed builds the same world and makes the same decisions.
class RandomWorld {
public:
    explicit RandomWorld(unsigned seed) : random(seed) {
        for (int i = 0; i < 24; ++i) {
            orn::GameObject* wall = world.box("static" + std::to_string(i), point(), size(8.f, 120.f), false);
            World::collider(wall).isTrigger = chance(0.25);
            objects.push_back(wall);
        }
        for (int i = 0; i < 36; ++i) {
            orn::GameObject* object = world.box("body" + std::to_string(i), point(), size(6.f, 40.f));
            orn::Rigidbody& body = World::body(object);
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
        world.settle();
    }

    Trace run(bool bruteForce, int steps) {
        world.physics.bruteForce = bruteForce;
        Trace trace;
        for (int step = 0; step < steps; ++step) {
            world.step();
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
                state << object->name << ' ' << bits(p.x) << ' ' << bits(p.y);
                if (auto body = object->getComponent<orn::Rigidbody>().lock()) {
                    state << ' ' << bits(body->velocity.x) << ' ' << bits(body->velocity.y);
                }
                state << '\n';
            }
            trace.steps.push_back(state.str());
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
        phystest::ContactLog& log = World::contacts(object);
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

std::size_t firstDifference(const Trace& a, const Trace& b) {
    std::size_t step = 0;
    while (step < a.steps.size() && step < b.steps.size() && a.steps[step] == b.steps[step]) {
        ++step;
    }
    return step;
}

}  // namespace

TEST(BroadPhase, RandomWorldsStepExactlyAsThePairWalk) {
    constexpr int steps = 300;
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        const Trace walked = RandomWorld(seed).run(true, steps);
        const Trace gridded = RandomWorld(seed).run(false, steps);
        ASSERT_EQ(walked.steps.size(), gridded.steps.size());
        const std::size_t step = firstDifference(walked, gridded);
        ASSERT_EQ(step, walked.steps.size()) << "seed " << seed << " differs in step " << step << ":\n"
                                             << walked.steps[step] << "\nversus\n"
                                             << gridded.steps[step];
        // The worlds must actually collide, or the comparison proves nothing.
        std::size_t callbacks = 0;
        for (const std::string& state : walked.steps) {
            callbacks += state.find("Enter") != std::string::npos ? 1 : 0;
        }
        EXPECT_GT(callbacks, 10u) << "seed " << seed;
    }
}

TEST(BroadPhase, AnswersEveryColliderThatSharesACellAndThoseThatCannotBePlaced) {
    World world;
    orn::GameObject* a = world.box("a", {0.f, 0.f}, {10.f, 10.f}, false);
    orn::GameObject* b = world.box("b", {100.f, 0.f}, {10.f, 10.f}, false);
    orn::GameObject* c = world.box("c", {0.f, 0.f}, {10.f, 10.f}, false);
    world.settle();
    orn::BoxCollider& boxA = World::collider(a);
    orn::BoxCollider& boxB = World::collider(b);
    orn::BoxCollider& boxC = World::collider(c);
    orn::BroadPhase grid(64.f);
    grid.place(boxA, {0.f, 0.f, 10.f, 10.f});
    grid.place(boxB, {100.f, 0.f, 10.f, 10.f});
    grid.place(boxC, {0.f, 0.f, NAN, 10.f});

    std::vector<orn::Collider*> found;
    grid.query({60.f, 5.f, 2.f, 2.f}, found);
    EXPECT_EQ(found, (std::vector<orn::Collider*>{&boxC, &boxA}));

    // Moving changes the version and the answer; a query spanning both cells lists each collider once.
    const std::uint64_t before = grid.version();
    grid.place(boxA, {130.f, 0.f, 10.f, 10.f});
    EXPECT_NE(grid.version(), before);
    found.clear();
    grid.query({60.f, 5.f, 2.f, 2.f}, found);
    EXPECT_EQ(found, (std::vector<orn::Collider*>{&boxC}));
    found.clear();
    grid.query({-1000.f, -1000.f, 3000.f, 2000.f}, found);
    EXPECT_EQ(found.size(), 3u);

    grid.remove(boxA);
    grid.remove(boxB);
    grid.remove(boxC);
    found.clear();
    grid.query({0.f, 0.f, 200.f, 200.f}, found);
    EXPECT_TRUE(found.empty());
}
