#pragma once

#include <SFML/Graphics/RenderWindow.hpp>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestScenes.hpp"
#include "engine/Component.hpp"
#include "engine/Game.hpp"
#include "engine/GameObject.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"

namespace coretest {

using ScriptedScene = testsupport::ScriptedScene;
using Log = std::vector<std::string>;

/// Appends "<label>.<operation>" to a shared log for each engine call it receives; onUpdate lets a test act
/// from inside an update.
class Recorder : public orn::Component {
public:
    Recorder(std::string recorderLabel, std::shared_ptr<Log> sharedLog)
        : label(std::move(recorderLabel)), log(std::move(sharedLog)) {}

    void init() override { record("init"); }
    void start() override { record("start"); }
    void update() override {
        record("update");
        if (onUpdate) {
            onUpdate(*this);
        }
    }
    void lateUpdate() override { record("lateUpdate"); }
    void onEnable() override { record("onEnable"); }
    void onDisable() override { record("onDisable"); }
    void onDestroy() override { record("onDestroy"); }
    void draw() override { record("draw"); }

    void record(const std::string& operation) { log->push_back(label + "." + operation); }

    std::string label;
    std::shared_ptr<Log> log;
    std::function<void(Recorder&)> onUpdate;
};

/// One game with an open 800 x 600 window for the whole test process, handed to the scene manager (which
/// keeps a pointer to the window). Game::init is not run, so no data files are needed.
inline orn::Game& sharedGame() {
    static orn::Game game("tests", 800, 600, [] { return std::make_shared<ScriptedScene>(); });
    static const bool opened = [] {
        game.createWindow(false);
        orn::SceneManager::getInstance().init(game.getWindow());
        return true;
    }();
    (void)opened;
    return game;
}

}  // namespace coretest
