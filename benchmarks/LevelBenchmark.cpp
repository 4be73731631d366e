// Frame and build cost of the real level, against a bare SFML loop drawing as many sprites as the level
// shows. Needs a display (run under Xvfb) and the repository root as working directory.
#include <benchmark/benchmark.h>

#include <SFML/Graphics.hpp>

#include "VisibleSprites.hpp"
#include "engine/AssetManager.hpp"
#include "engine/Camera.hpp"
#include "engine/Game.hpp"
#include "engine/GameObject.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Sprite.hpp"
#include "game/MainScene.hpp"

namespace {

constexpr float frameSeconds = 1.f / 60.f;

orn::Game& level() {
    static orn::Game game("Kestrith", 800, 600, [] { return std::make_shared<MainScene>(); });
    static const bool started = [] {
        game.init();
        orn::AssetManager::getInstance().loadTheme("default_theme", "gui/gui_theme.txt");
        for (int frame = 0; frame < 120; ++frame) {
            game.update(sf::seconds(frameSeconds));
        }
        return true;
    }();
    (void)started;
    return game;
}

void LevelFrame(benchmark::State& state) {
    orn::Game& game = level();
    for (auto _ : state) {
        game.update(sf::seconds(frameSeconds));
        game.draw();
    }
    state.counters["visibleSprites"] = visibleSprites();
}
BENCHMARK(LevelFrame)->Unit(benchmark::kMillisecond);

void LevelFrameLogicOnly(benchmark::State& state) {
    orn::Game& game = level();
    for (auto _ : state) {
        game.update(sf::seconds(frameSeconds));
    }
}
BENCHMARK(LevelFrameLogicOnly)->Unit(benchmark::kMillisecond);

/// The same window drawing as many plain sprites of the tileset, in view, as the level shows.
void BareSfmlSprites(benchmark::State& state) {
    orn::Game& game = level();
    const int count = visibleSprites();
    sf::RenderWindow& window = game.getWindow();
    const sf::Texture& tiles = *orn::AssetManager::getInstance().getTexture("tileset");
    std::vector<sf::Sprite> sprites;
    for (int i = 0; i < count; ++i) {
        sprites.emplace_back(tiles, sf::IntRect(16 * (i % 16), 16 * ((i / 16) % 8), 16, 16));
        sprites.back().setPosition(static_cast<float>(16 * (i % 25)),
                                   static_cast<float>(16 * ((i / 25) % 19)));
    }
    window.setView(sf::View(sf::FloatRect(0.f, 0.f, 400.f, 300.f)));
    for (auto _ : state) {
        window.clear();
        for (const auto& sprite : sprites) {
            window.draw(sprite);
        }
        window.display();
    }
    state.counters["sprites"] = count;
}
BENCHMARK(BareSfmlSprites)->Unit(benchmark::kMillisecond);

void LevelBuild(benchmark::State& state) {
    orn::Game& game = level();
    for (auto _ : state) {
        orn::SceneManager::getInstance().loadScene<MainScene>();
        game.update(sf::seconds(frameSeconds));
    }
}
BENCHMARK(LevelBuild)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
