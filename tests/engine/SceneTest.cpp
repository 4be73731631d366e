#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "CoreTestSupport.hpp"
#include "engine/Camera.hpp"
#include "engine/ComponentNotFoundException.hpp"
#include "engine/DebugDraw.hpp"
#include "engine/GameObjectNotFoundException.hpp"
#include "engine/InputManager.hpp"
#include "engine/Time.hpp"
#include "engine/Transform.hpp"

// Game objects in a scene (destruction, activity, lookups) and whole frames of the shared game with a
// scripted keyboard (drawing, and the keys the engine handles itself: F3 and Alt+Enter). The order of the
// per-frame calls, deferred additions and the transform hierarchy are what every run of the real game relies
// on.
namespace {

using coretest::Log;
using coretest::Recorder;
using coretest::ScriptedScene;

class SceneTest : public ::testing::Test {
protected:
    /// An object in layer with a Recorder labelled label (none when label is empty), child of parent.
    orn::GameObject* object(const std::string& label, int layer = 0, orn::GameObject* parent = nullptr) {
        orn::GameObject* created = scene->createGameObject(layer);
        created->name = label;
        if (!label.empty()) {
            created->addComponent<Recorder>(label, log);
        }
        if (parent != nullptr) {
            created->getTransform().lock()->setParent(parent->getTransform().lock().get());
        }
        return created;
    }
    static Recorder& recorder(orn::GameObject* object) { return *object->getComponent<Recorder>().lock(); }
    Log update() {
        log->clear();
        scene->update();
        return *log;
    }

    std::shared_ptr<ScriptedScene> scene = std::make_shared<ScriptedScene>();
    std::shared_ptr<Log> log = std::make_shared<coretest::Log>();
};

TEST_F(SceneTest, DestroyedObjectsStopAtOnceAndLeaveOnceChildrenFirst) {
    orn::GameObject* victim = object("victim", 5);
    orn::GameObject* killer = object("killer", 0);
    update();
    recorder(killer).onUpdate = [&](Recorder&) {
        victim->destroy(0.f);
        victim->destroy(0.f);
    };
    const std::weak_ptr<orn::GameObject> watch = scene->findGameObject(victim->id);
    EXPECT_EQ(update(), (Log{"killer.update", "killer.lateUpdate"}));
    EXPECT_EQ(scene->objectsToDestroy.size(), 1u);
    recorder(killer).onUpdate = nullptr;
    std::shared_ptr<orn::GameObject> keep = watch.lock();
    EXPECT_EQ(update(), (Log{"victim.onDestroy", "killer.update", "killer.lateUpdate"}));
    keep->destroy(0.f);
    EXPECT_TRUE(scene->objectsToDestroy.empty()) << "the scene no longer holds it";
    keep.reset();
    EXPECT_TRUE(watch.expired());

    // A delayed destroy runs the object until its time, then removes its children first.
    orn::GameObject* parent = object("parent", 1);
    object("child", 1, parent);
    update();
    parent->destroy(2.f);
    parent->destroy(2.5f);
    orn::Time::getInstance().update(sf::seconds(1.5f));
    EXPECT_EQ(update().size(), 6u) << "both still update";
    orn::Time::getInstance().update(sf::seconds(0.5f));
    const Log removed = update();
    EXPECT_EQ(Log(removed.begin(), removed.begin() + 2), (Log{"child.onDestroy", "parent.onDestroy"}));
    orn::Time::getInstance().update(sf::seconds(1.f));
    EXPECT_EQ(update(), (Log{"killer.update", "killer.lateUpdate"})) << "no second onDestroy";
    EXPECT_TRUE(scene->layers[1].empty());
}

TEST_F(SceneTest, ActivityPropagatesToChildrenThatAreActiveThemselves) {
    orn::GameObject* parent = object("parent");
    orn::GameObject* child = object("child", 0, parent);
    orn::GameObject* grandchild = object("grandchild", 0, child);
    update();
    log->clear();
    parent->setActive(false);
    EXPECT_EQ(*log, (Log{"parent.onDisable", "child.onDisable", "grandchild.onDisable"}));
    log->clear();
    child->setActive(true);
    EXPECT_TRUE(log->empty()) << "the parent is still inactive";
    child->setActive(false);
    parent->setActive(true);
    EXPECT_EQ(*log, (Log{"parent.onEnable"}));
    EXPECT_FALSE(grandchild->isActive());
    EXPECT_EQ(update(), (Log{"parent.update", "parent.lateUpdate"}));
}

TEST_F(SceneTest, LookupsFindByIdTypeAndNameAndReportWhatIsMissing) {
    struct Base : orn::Component {};
    struct Derived : Base {};
    struct Unrelated : orn::Component {};
    orn::GameObject* root = object("");
    const auto transform = root->getTransform().lock();
    EXPECT_EQ(transform->id, root->id + 1) << "one counter for objects and components";
    Derived* derived = root->addComponent<Derived>();
    EXPECT_EQ(derived->id, root->id + 2);
    EXPECT_EQ(root->getComponent<Base>().lock().get(), derived);
    EXPECT_TRUE(root->getComponent<Unrelated>().expired());
    EXPECT_EQ(scene->getGameObject(root->id).lock().get(), root);

    orn::GameObject* first = object("", 0, root);
    object("target", 0, first);
    object("target", 0, root);
    first->name = "first";
    EXPECT_EQ(root->findChildByName("target").lock()->getTransform().lock()->getParent(),
              first->transform.lock().get())
        << "depth first, in child order";
    EXPECT_TRUE(root->findChildByName("").expired());

    using ::testing::HasSubstr;
    using ::testing::ThrowsMessage;
    EXPECT_THROW(scene->createGameObject(8), std::out_of_range);
    EXPECT_THAT([&] { scene->createGameObject(-1); }, ThrowsMessage<std::out_of_range>(HasSubstr("'-1'")));
    EXPECT_THAT(
        [&] { scene->getGameObject(4000000000u); },
        ThrowsMessage<orn::GameObjectNotFoundException>("GameObject with id '4000000000' was not found!"));
    EXPECT_THAT([&] { root->getComponentById(4000000001u); },
                ThrowsMessage<orn::ComponentNotFoundException>("Component with id '4000000001' not found!"));
}

class GameLoop : public ::testing::Test {
protected:
    void SetUp() override {
        input.setKeyStateSource([this](sf::Keyboard::Key key) { return held.count(key) > 0; });
        input.setFocusSource([](const sf::Window&) { return true; });
    }
    void TearDown() override {
        input.setKeyStateSource(nullptr);
        input.setFocusSource(nullptr);
    }
    void frames(int count) {
        for (int i = 0; i < count; ++i) {
            game.update(sf::seconds(1.f / 60.f));
            game.draw();
        }
    }

    orn::Game& game = coretest::sharedGame();
    orn::InputManager& input = orn::InputManager::getInstance();
    std::set<sf::Keyboard::Key> held;
    std::shared_ptr<coretest::Log> log = std::make_shared<coretest::Log>();
};

TEST_F(GameLoop, FramesDrawActiveObjectsAndF3AndAltEnterToggleOncePerPress) {
    struct Gizmo : orn::Component {
        std::vector<sf::Color>* seen;
        explicit Gizmo(std::vector<sf::Color>* s) : seen(s) {}
        void drawDebug() override {
            seen->push_back(orn::DebugDraw::color);
            orn::DebugDraw::color = sf::Color::Red;
        }
    };
    std::vector<sf::Color> seen;
    auto drawn = std::make_shared<ScriptedScene>();
    drawn->onInit = [&](ScriptedScene& s) {
        s.batchSprites = false;
        orn::GameObject* visible = s.createGameObject(2);
        visible->addComponent<coretest::Recorder>("visible", log);
        visible->addComponent<Gizmo>(&seen);
        visible->addComponent<Gizmo>(&seen);
        orn::GameObject* hidden = s.createGameObject(2);
        hidden->addComponent<coretest::Recorder>("hidden", log);
        hidden->setActive(false);
    };
    orn::SceneManager::getInstance().loadScene(drawn);
    frames(1);
    EXPECT_EQ(std::count(log->begin(), log->end(), "visible.draw"), 1);
    EXPECT_EQ(std::count(log->begin(), log->end(), "hidden.draw"), 0);
    EXPECT_TRUE(seen.empty());

    // Each key of a press: held for three frames, released, pressed again.
    const std::pair<std::set<sf::Keyboard::Key>, std::function<bool()>> toggles[] = {
        {{sf::Keyboard::F3}, [] { return orn::DebugDraw::enabled; }},
        {{sf::Keyboard::LAlt, sf::Keyboard::Enter}, [this] { return game.isFullscreen(); }}};
    for (const auto& [keys, on] : toggles) {
        ASSERT_FALSE(on());
        held = keys;
        frames(3);
        EXPECT_TRUE(on());
        held.clear();
        frames(1);
        held = keys;
        frames(1);
        EXPECT_FALSE(on());
        held.clear();
        frames(1);
    }
    EXPECT_EQ(seen, std::vector<sf::Color>(8, sf::Color::White))
        << "four frames, each debug call starts white";
    EXPECT_EQ(game.getWindow().getSize(), sf::Vector2u(800, 600));

    // A tap between two frames reaches the game only as window events, and still counts once.
    sf::Event event;
    event.key = {sf::Keyboard::F3, false, false, false, false};
    for (const bool on : {true, false}) {
        for (auto type : {sf::Event::KeyPressed, sf::Event::KeyReleased}) {
            event.type = type;
            game.handleEvent(event);
        }
        frames(1);
        EXPECT_EQ(orn::DebugDraw::enabled, on);
    }

    input.setFocusSource([](const sf::Window&) { return false; });
    held = {sf::Keyboard::LAlt, sf::Keyboard::Enter, sf::Keyboard::F3};
    frames(1);
    EXPECT_FALSE(game.isFullscreen()) << "nothing toggles without focus";
}

// A window larger than the game's 800 x 600 shows everything at the largest whole scale that fits: the
// GUI and a free camera over the whole window, a letterboxed camera the same world as at 800 x 600.
TEST_F(GameLoop, TheGuiAndTheCamerasFollowTheWindowAtAWholeScale) {
    orn::SceneManager& scenes = orn::SceneManager::getInstance();
    scenes.init(game.getWindow(), {800, 600});  // as Game::init does
    orn::Camera* free = nullptr;
    orn::Camera* boxed = nullptr;
    auto scene = std::make_shared<ScriptedScene>();
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
        frames(1);
        EXPECT_EQ(scenes.getCurrentScene()->gui.getView().getSize(), shown) << size.x;
        EXPECT_EQ(free->view.getSize(), shown) << size.x;
        EXPECT_EQ(boxed->view.getSize(), sf::Vector2f(400.f, 300.f)) << size.x;
        EXPECT_EQ(game.getWindow().getViewport(boxed->view), picture) << size.x;
    }
    scenes.init(game.getWindow());
}

}  // namespace
