// Cost of one fixed physics step (collision pass and integration) for a level-like load: bodies with one to
// five colliders each (one solid box, the rest triggers, as the player's probe and attack zone are) resting
// on and falling between static platforms. The argument multiplies the load. Needs no display.
#include <benchmark/benchmark.h>

#include <memory>

#include "engine/BoxCollider.hpp"
#include "engine/GameObject.hpp"
#include "engine/PhysicsManager.hpp"
#include "engine/Rigidbody.hpp"
#include "engine/Scene.hpp"
#include "engine/Transform.hpp"

namespace {

class BenchScene : public orn::Scene {
public:
    void init() override {}
    void unload() override {}
};

/// bodies bodies (1 + i % 5 colliders each, 3 on average) over statics platforms of 64 x 16 pixels spread
/// along a row with 6-pixel gaps, settled for one second of steps so that the resting contacts exist.
std::shared_ptr<BenchScene> buildLevel(int bodies, int statics) {
    auto scene = std::make_shared<BenchScene>();
    constexpr float spacing = 70.f;
    for (int i = 0; i < statics; ++i) {
        orn::GameObject* platform = scene->createGameObject(1);
        const float y = 300.f - static_cast<float>(i % 4) * 40.f;
        platform->addComponent<orn::BoxCollider>(
            sf::FloatRect(static_cast<float>(i) * spacing, y, 64.f, 16.f));
    }
    const float stride = spacing * static_cast<float>(statics) / static_cast<float>(bodies);
    for (int i = 0; i < bodies; ++i) {
        orn::GameObject* character = scene->createGameObject(3);
        character->getTransform().lock()->setLocalPosition({static_cast<float>(i) * stride + 20.f, 100.f});
        auto* body = character->addComponent<orn::Rigidbody>();
        body->forces.push_back({0.f, 9.81f});
        body->damping = 0.95f;
        auto* solid = character->addComponent<orn::BoxCollider>(sf::FloatRect(0.f, 0.f, 10.f, 20.f));
        solid->origin = {0.5f, 1.f};
        for (int extra = 0; extra < i % 5; ++extra) {
            const float size = 5.f + 6.f * static_cast<float>(extra);
            auto* zone = character->addComponent<orn::BoxCollider>(sf::FloatRect(0.f, -size, size, size));
            zone->isTrigger = true;
        }
    }
    scene->update();
    orn::PhysicsManager& physics = orn::PhysicsManager::getInstance();
    for (int step = 0; step < 250; ++step) {
        physics.collisionPass();
        physics.integrate(orn::PhysicsManager::fixedStep);
    }
    return scene;
}

void runSteps(benchmark::State& state, int bodies, int statics) {
    const auto scene = buildLevel(bodies, statics);
    orn::PhysicsManager& physics = orn::PhysicsManager::getInstance();
    for (auto _ : state) {
        physics.collisionPass();
        physics.integrate(orn::PhysicsManager::fixedStep);
    }
    state.counters["colliders"] = static_cast<double>(physics.colliders.size());
    state.counters["bodies"] = static_cast<double>(physics.rigidbodies.size());
    // Seconds of steps per second of game time (250 steps); Google Benchmark prints an inverted rate in
    // seconds.
    state.counters["per game second"] =
        benchmark::Counter(static_cast<double>(state.iterations()) / 250.0,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

/// Bodies and platforms both scaled: the pair count grows with the square of the scale.
void PhysicsStep(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0));
    runSteps(state, 50 * scale, 300 * scale);
}
BENCHMARK(PhysicsStep)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMicrosecond);

/// Only the platforms scaled: the pair count grows linearly.
void PhysicsStepMoreStatics(benchmark::State& state) {
    runSteps(state, 50, 300 * static_cast<int>(state.range(0)));
}
BENCHMARK(PhysicsStepMoreStatics)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
