#include <gtest/gtest.h>

#include <unistd.h>
#include <fstream>
#include <random>
#include <set>

#include "engine/DebugDraw.hpp"
#include "engine/Game.hpp"
#include "engine/InputManager.hpp"
#include "engine/SceneManager.hpp"
#include "game/MainScene.hpp"
#include "game/scenes/CreditScene.hpp"
#include "game/scenes/LogoScene.hpp"

namespace {

/// The real game on the real data with a seeded random keyboard.
class Soak : public ::testing::Test {
protected:
    orn::Game game{"Kestrith", 800, 600, [] { return std::make_shared<LogoScene>(); }};
    std::set<sf::Keyboard::Key> held;
    std::mt19937 random{20261206u};

    void SetUp() override {
        orn::InputManager::getInstance().setKeyStateSource(
            [this](sf::Keyboard::Key key) { return held.count(key) > 0; });
        orn::InputManager::getInstance().setFocusSource([](const sf::Window&) { return true; });
        game.init();
        // The logo gives way to the menu, which loads the GUI theme the level's HUD needs.
        frames(150);
    }
    void TearDown() override {
        game.shutdown();
        orn::InputManager::getInstance().setKeyStateSource(nullptr);
        orn::InputManager::getInstance().setFocusSource(nullptr);
    }

    void frames(int count, int drawEvery = 1) {
        for (int frame = 0; frame < count; ++frame) {
            game.update(sf::seconds(1.f / 60.f));
            if (frame % drawEvery == 0) {
                game.draw();
            }
        }
    }

    /// Presses a random set of the level's keys (walk, jump, slash, change form), now and then F3; mostly
    /// walks right, so that the player meets the level rather than the wall at its start.
    void scrambleKeys() {
        held.clear();
        for (sf::Keyboard::Key key : {sf::Keyboard::A, sf::Keyboard::D, sf::Keyboard::Space,
                                      sf::Keyboard::Enter, sf::Keyboard::E, sf::Keyboard::F3}) {
            if (std::uniform_int_distribution<int>(0, 3)(random) == 0) {
                held.insert(key);
            }
        }
        if (std::uniform_int_distribution<int>(0, 2)(random) != 0) {
            held.erase(sf::Keyboard::A);
            held.insert(sf::Keyboard::D);
        }
    }

    static long residentKilobytes() {
        long pages = 0, resident = 0;
        std::ifstream("/proc/self/statm") >> pages >> resident;
        return resident * (sysconf(_SC_PAGESIZE) / 1024);
    }
};

}  // namespace

#if defined(KESTRITH_SANITIZED)

TEST_F(Soak, ThirtyMinutesOfRandomPlayWithRestartsAndSceneSwitches) {
    orn::SceneManager& scenes = orn::SceneManager::getInstance();
    scenes.loadScene<MainScene>();
    const int seconds = 30 * 60;
    for (int second = 0; second < seconds; ++second) {
        scrambleKeys();
        frames(60, 30);
        const int event = std::uniform_int_distribution<int>(0, 59)(random);
        if (event == 0) {
            scenes.loadScene<CreditScene>();  // the credits, then play again
            frames(2);
            scenes.loadScene<MainScene>();
        } else if (event == 1) {
            scenes.loadScene<MainScene>();  // a restart, as after a death
        } else if (event == 2) {
            held = {sf::Keyboard::Escape};  // back to the menu, then play again
            frames(2);
            held.clear();
            scenes.loadScene<MainScene>();
        }
    }
    orn::DebugDraw::enabled = false;
    SUCCEED() << "played " << seconds << " seconds of game time";
}

#else

TEST_F(Soak, ResidentMemoryDoesNotGrowWithLevelRestarts) {
    const auto restarts = [&](int count) {
        for (int i = 0; i < count; ++i) {
            orn::SceneManager::getInstance().loadScene<MainScene>();
            scrambleKeys();
            frames(10);
        }
        return residentKilobytes();
    };
    const long afterTen = restarts(10);
    const long afterHundred = restarts(90);
    EXPECT_LT(afterHundred - afterTen, 8 * 1024)
        << "resident memory grew from " << afterTen << " kB to " << afterHundred << " kB over 90 restarts";
}

#endif
