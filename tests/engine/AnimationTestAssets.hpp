#pragma once

#include <string>

#include "AssetTestDir.hpp"
#include "engine/AssetManager.hpp"
#include "engine/Time.hpp"

/// Loads a 64 x 32 sheet texture and sprite animation under the key "hero" into the process-wide asset
/// manager for one test, and puts the manager and Time's deltaTime back afterwards.
///
/// Animations, every frame 16 x 16:
/// - "run": four frames of 100 ms along the top row (x = 0, 16, 32, 48);
/// - "long": frames of 100, 300 and 300 ms along the bottom row;
/// - "tick": two frames of 125 ms (the top row's first two);
/// - "attack": three frames of 200 ms (600 ms in all), the bottom row.
class AnimationTestAssets {
public:
    AnimationTestAssets() : savedRoot(assets.rootPath), savedScene(assets.sceneAssets) {
        assets.rootPath = dir.root();
        dir.writeImage("hero.png", 64, 32);
        dir.write("hero.json", R"({"frames": [
            {"frame": {"x": 0, "y": 0, "w": 16, "h": 16}, "duration": 100},
            {"frame": {"x": 16, "y": 0, "w": 16, "h": 16}, "duration": 100},
            {"frame": {"x": 32, "y": 0, "w": 16, "h": 16}, "duration": 100},
            {"frame": {"x": 48, "y": 0, "w": 16, "h": 16}, "duration": 100},
            {"frame": {"x": 0, "y": 16, "w": 16, "h": 16}, "duration": 100},
            {"frame": {"x": 16, "y": 16, "w": 16, "h": 16}, "duration": 300},
            {"frame": {"x": 32, "y": 16, "w": 16, "h": 16}, "duration": 300},
            {"frame": {"x": 0, "y": 0, "w": 16, "h": 16}, "duration": 125},
            {"frame": {"x": 16, "y": 0, "w": 16, "h": 16}, "duration": 125},
            {"frame": {"x": 0, "y": 16, "w": 16, "h": 16}, "duration": 200},
            {"frame": {"x": 16, "y": 16, "w": 16, "h": 16}, "duration": 200},
            {"frame": {"x": 32, "y": 16, "w": 16, "h": 16}, "duration": 200}],
            "meta": {"frameTags": [{"name": "run", "from": 0, "to": 3}, {"name": "long", "from": 4, "to": 6},
                                   {"name": "tick", "from": 7, "to": 8}, {"name": "attack", "from": 9, "to": 11}]}})");
        assets.sceneAssets.textures.erase("hero");
        assets.sceneAssets.spriteAnimations.erase("hero");
        assets.loadTexture("hero", "hero.png");
        assets.loadSpriteAnimation("hero", "hero.json");
    }
    ~AnimationTestAssets() {
        assets.rootPath = savedRoot;
        assets.sceneAssets = savedScene;
        orn::Time::getInstance().deltaTime = savedDeltaTime;
    }
    AnimationTestAssets(const AnimationTestAssets&) = delete;
    AnimationTestAssets& operator=(const AnimationTestAssets&) = delete;

    /// Sets the scaled frame time that the next updates read.
    static void setDeltaTime(float seconds) { orn::Time::getInstance().deltaTime = seconds; }

    orn::AssetManager& assets = orn::AssetManager::getInstance();
    AssetTestDir dir;

private:
    std::string savedRoot;
    orn::AssetStore savedScene;
    float savedDeltaTime = orn::Time::getInstance().deltaTime;
};
