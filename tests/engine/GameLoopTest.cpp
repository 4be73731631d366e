#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "CoreTestSupport.hpp"
#include "engine/Camera.hpp"
#include "engine/DebugDraw.hpp"
#include "engine/InputManager.hpp"
#include "engine/PhysicsManager.hpp"
#include "engine/SceneManager.hpp"

using coretest::Recorder;
using coretest::ScriptedScene;

namespace {

/// Frames of the shared game with a scripted keyboard.
class GameLoop : public ::testing::Test {
protected:
    orn::Game& game = coretest::sharedGame();
    orn::InputManager& input = orn::InputManager::getInstance();
    orn::SceneManager& scenes = orn::SceneManager::getInstance();
    std::set<sf::Keyboard::Key> held;
    std::shared_ptr<std::vector<std::string>> log = coretest::makeLog();

    void SetUp() override {
        input.setKeyStateSource([this](sf::Keyboard::Key key) { return held.count(key) > 0; });
        input.setFocusSource([](const sf::Window&) { return true; });
        orn::PhysicsManager::getInstance().accumulator = 0.f;
        orn::DebugDraw::enabled = false;
    }
    void TearDown() override {
        input.setKeyStateSource(nullptr);
        input.setFocusSource(nullptr);
    }

    void frame(float seconds = 1.f / 60.f) {
        game.update(sf::seconds(seconds));
        game.draw();
    }

    std::shared_ptr<ScriptedScene> makeScene(const std::string& label) {
        auto scene = std::make_shared<ScriptedScene>();
        // The scene may outlive this test (the scene manager keeps it), so it shares the log, not the
        // fixture.
        scene->onInit = [log = log, label](ScriptedScene&) { log->push_back(label + ".init"); };
        scene->onUnload = [log = log, label](ScriptedScene&) { log->push_back(label + ".unload"); };
        return scene;
    }
};

}  // namespace

TEST_F(GameLoop, SceneSwitchHappensAtTheNextUpdateWithUnloadBeforeInit) {
    scenes.loadScene(makeScene("first"));
    frame();
    std::weak_ptr<orn::Scene> first = scenes.getCurrentScene();
    log->clear();

    std::weak_ptr<ScriptedScene> dropped;
    {
        auto never = makeScene("never");
        dropped = never;
        scenes.loadScene(never);
    }
    scenes.loadScene(makeScene("second"));
    EXPECT_EQ(scenes.getCurrentScene(), first.lock());
    EXPECT_TRUE(dropped.expired());

    frame();
    EXPECT_EQ(*log, (std::vector<std::string>{"first.unload", "second.init"}));
    EXPECT_TRUE(first.expired());
}

TEST_F(GameLoop, FixedStepsConsumeTheAccumulatorStrictlyAboveTheStep) {
    scenes.loadScene(makeScene("physics"));
    orn::PhysicsManager& physics = orn::PhysicsManager::getInstance();
    physics.accumulator = 0.f;
    game.update(sf::seconds(0.01f));
    EXPECT_NEAR(physics.accumulator, 0.002f, 1e-6f);

    physics.accumulator = 0.f;
    game.update(sf::seconds(0.004f));
    EXPECT_NEAR(physics.accumulator, 0.004f, 1e-7f);
    game.update(sf::seconds(0.f));
    EXPECT_NEAR(physics.accumulator, 0.004f, 1e-7f);
}

TEST_F(GameLoop, FramesDrawActiveObjectsAndF3TogglesTheDebugPassOncePerPress) {
    struct Gizmo : orn::Component {
        std::vector<sf::Color>* seen;
        explicit Gizmo(std::vector<sf::Color>* s) : seen(s) {}
        void drawDebug() override {
            seen->push_back(orn::DebugDraw::color);
            orn::DebugDraw::color = sf::Color::Red;
        }
    };
    std::vector<sf::Color> seen;
    auto scene = makeScene("draw");
    scene->onInit = [&](ScriptedScene& s) {
        orn::GameObject* visible = s.createGameObject(2);
        visible->addComponent<Recorder>("visible", log);
        visible->addComponent<Gizmo>(&seen);
        visible->addComponent<Gizmo>(&seen);
        orn::GameObject* hidden = s.createGameObject(2);
        hidden->addComponent<Recorder>("hidden", log);
        hidden->setActive(false);
    };
    scenes.loadScene(scene);
    frame();
    EXPECT_EQ(coretest::entriesOf(*log, "visible.draw").size(), 1u);
    EXPECT_TRUE(coretest::entriesOf(*log, "hidden.draw").empty());
    EXPECT_TRUE(seen.empty());

    held.insert(sf::Keyboard::F3);
    frame();
    EXPECT_TRUE(orn::DebugDraw::enabled);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], sf::Color::White);
    EXPECT_EQ(seen[1], sf::Color::White);
    frame();
    frame();
    EXPECT_TRUE(orn::DebugDraw::enabled);
    held.clear();
    frame();
    // A tap between two frames reaches the game only as window events.
    sf::Event event;
    event.key = {sf::Keyboard::F3, false, false, false, false};
    for (auto type : {sf::Event::KeyPressed, sf::Event::KeyReleased}) {
        event.type = type;
        game.handleEvent(event);
    }
    frame();
    EXPECT_FALSE(orn::DebugDraw::enabled);
}

TEST_F(GameLoop, AltEnterTogglesFullscreenOncePerPressOfEnter) {
    scenes.loadScene(makeScene("fullscreen"));
    frame();
    ASSERT_FALSE(game.isFullscreen());
    held = {sf::Keyboard::LAlt, sf::Keyboard::Enter};
    frame();
    EXPECT_TRUE(game.isFullscreen());
    EXPECT_TRUE(game.getWindow().isOpen());
    frame();
    frame();
    EXPECT_TRUE(game.isFullscreen());

    held = {sf::Keyboard::LAlt};
    frame();
    held = {sf::Keyboard::LAlt, sf::Keyboard::Enter};
    frame();
    EXPECT_FALSE(game.isFullscreen());
    EXPECT_EQ(game.getWindow().getSize(), sf::Vector2u(800, 600));

    // Without focus nothing toggles.
    held.clear();
    frame();
    input.setFocusSource([](const sf::Window&) { return false; });
    held = {sf::Keyboard::LAlt, sf::Keyboard::Enter};
    frame();
    EXPECT_FALSE(game.isFullscreen());
}

// A window larger than the game's 800 x 600 shows everything at the largest whole scale that fits: the
// GUI and a free camera over the whole window, a letterboxed camera the same world as at 800 x 600.
TEST_F(GameLoop, TheGuiAndTheCamerasFollowTheWindowAtAWholeScale) {
    scenes.init(game.getWindow(), {800, 600});  // as Game::init does
    orn::Camera* free = nullptr;
    orn::Camera* boxed = nullptr;
    auto scene = makeScene("views");
    scene->onInit = [&](ScriptedScene& s) {
        free = s.createGameObject(1)->addComponent<orn::Camera>();
        boxed = s.createGameObject(1)->addComponent<orn::Camera>();
        boxed->zoom = 2.f;
        boxed->letterbox = true;
    };
    scenes.loadScene(scene);
    // The window; the size the GUI and the free camera show; the pixels the letterboxed camera fills. Back
    // to 800 x 600 last, where nothing changes, as the next tests expect.
    for (const auto& [size, shown, picture] :
         std::vector<std::tuple<sf::Vector2u, sf::Vector2f, sf::IntRect>>{
             {{1600, 1200}, {800.f, 600.f}, {0, 0, 1600, 1200}},
             {{1280, 1024}, {1280.f, 1024.f}, {240, 212, 800, 600}},
             {{640, 480}, {640.f, 480.f}, {0, 0, 640, 480}},
             {{800, 600}, {800.f, 600.f}, {0, 0, 800, 600}}}) {
        game.getWindow().setSize(size);
        frame();
        EXPECT_EQ(scenes.getCurrentScene()->gui.getView().getSize(), shown) << size.x;
        EXPECT_EQ(free->view.getSize(), shown) << size.x;
        EXPECT_EQ(boxed->view.getSize(), sf::Vector2f(400.f, 300.f)) << size.x;
        EXPECT_EQ(game.getWindow().getViewport(boxed->view), picture) << size.x;
    }
    scenes.init(game.getWindow());
}
