#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "CoreTestSupport.hpp"
#include "engine/ComponentNotFoundException.hpp"
#include "engine/GameObjectNotFoundException.hpp"
#include "engine/Time.hpp"
#include "engine/Transform.hpp"

using coretest::Recorder;
using coretest::ScriptedScene;

namespace {

std::ptrdiff_t indexOf(const std::vector<std::string>& log, const std::string& entry) {
    auto found = std::find(log.begin(), log.end(), entry);
    return found == log.end() ? -1 : found - log.begin();
}

class SceneLifecycle : public ::testing::Test {
protected:
    std::shared_ptr<ScriptedScene> scene = std::make_shared<ScriptedScene>();
    std::shared_ptr<std::vector<std::string>> log = coretest::makeLog();

    Recorder* addRecorder(orn::GameObject* object, const std::string& label) {
        return object->addComponent<Recorder>(label, log);
    }
};

}  // namespace

TEST_F(SceneLifecycle, OnePassInitialisesEverythingBeforeStartingAndUpdatesBeforeLateUpdates) {
    addRecorder(scene->createGameObject(0), "a");
    addRecorder(scene->createGameObject(7), "b");
    scene->update();

    ASSERT_EQ(log->size(), 8u);
    const auto lastInit = std::max(indexOf(*log, "a.init"), indexOf(*log, "b.init"));
    const auto firstStart = std::min(indexOf(*log, "a.start"), indexOf(*log, "b.start"));
    const auto lastUpdate = std::max(indexOf(*log, "a.update"), indexOf(*log, "b.update"));
    const auto firstLate = std::min(indexOf(*log, "a.lateUpdate"), indexOf(*log, "b.lateUpdate"));
    EXPECT_LT(lastInit, firstStart);
    EXPECT_LT(std::max(indexOf(*log, "a.start"), indexOf(*log, "b.start")),
              std::min(indexOf(*log, "a.update"), indexOf(*log, "b.update")));
    EXPECT_LT(lastUpdate, firstLate);
    // Layer 0 updates before layer 7.
    EXPECT_LT(indexOf(*log, "a.update"), indexOf(*log, "b.update"));
}

TEST_F(SceneLifecycle, ComponentAddedDuringUpdateStartsNextFrameWithoutUpdatingThisFrame) {
    orn::GameObject* object = scene->createGameObject(1);
    Recorder* first = addRecorder(object, "first");
    bool added = false;
    first->onUpdate = [&](Recorder&) {
        if (!added) {
            added = true;
            addRecorder(object, "late");
        }
    };
    scene->update();
    EXPECT_EQ(indexOf(*log, "late.init"), -1);
    EXPECT_EQ(indexOf(*log, "late.update"), -1);
    // Findable at once although not attached.
    EXPECT_EQ(object->getComponents().size(), 2u);
    EXPECT_FALSE(object->getComponentById(object->pendingComponents.front()->id).expired());

    log->clear();
    scene->update();
    EXPECT_EQ(indexOf(*log, "late.init"), 0);
    EXPECT_EQ(indexOf(*log, "late.start"), 1);
    EXPECT_NE(indexOf(*log, "late.update"), -1);
    EXPECT_EQ(log->size(), 6u);
}

TEST_F(SceneLifecycle, ComponentAddedDuringInitIsAttachedInTheSameUpdate) {
    struct Spawner : orn::Component {
        std::shared_ptr<std::vector<std::string>> log;
        explicit Spawner(std::shared_ptr<std::vector<std::string>> l) : log(std::move(l)) {}
        void init() override { gameObject->addComponent<Recorder>("child", log); }
    };
    orn::GameObject* object = scene->createGameObject(2);
    object->addComponent<Spawner>(log);
    scene->update();
    EXPECT_NE(indexOf(*log, "child.init"), -1);
    EXPECT_LT(indexOf(*log, "child.start"), indexOf(*log, "child.update"));
}

TEST_F(SceneLifecycle, ObjectCreatedDuringUpdateEntersItsLayerNextFrame) {
    Recorder* spawner = addRecorder(scene->createGameObject(3), "spawner");
    orn::GameObject* spawned = nullptr;
    spawner->onUpdate = [&](Recorder&) {
        if (!spawned) {
            spawned = scene->createGameObject(0);
            addRecorder(spawned, "spawned");
        }
    };
    scene->update();
    ASSERT_NE(spawned, nullptr);
    EXPECT_EQ(indexOf(*log, "spawned.init"), -1);
    EXPECT_EQ(scene->layers[0].count(spawned->id), 0u);
    EXPECT_EQ(scene->findGameObject(spawned->id).get(), spawned);

    scene->update();
    EXPECT_EQ(scene->layers[0].count(spawned->id), 1u);
    EXPECT_LT(indexOf(*log, "spawned.init"), indexOf(*log, "spawned.update"));
}

TEST_F(SceneLifecycle, ImmediateDestroyStopsTheObjectAtOnceAndRemovesItNextUpdate) {
    orn::GameObject* victim = scene->createGameObject(5);
    addRecorder(victim, "victim");
    Recorder* killer = addRecorder(scene->createGameObject(0), "killer");
    scene->update();
    killer->onUpdate = [&](Recorder&) { victim->destroy(0.f); };
    std::weak_ptr<orn::GameObject> watch = scene->findGameObject(victim->id);

    log->clear();
    scene->update();
    EXPECT_TRUE(victim->destroyed);
    EXPECT_EQ(indexOf(*log, "victim.update"), -1);
    EXPECT_EQ(indexOf(*log, "victim.lateUpdate"), -1);
    EXPECT_EQ(indexOf(*log, "victim.onDestroy"), -1);

    killer->onUpdate = nullptr;
    log->clear();
    scene->update();
    EXPECT_EQ(indexOf(*log, "victim.onDestroy"), 0);
    EXPECT_TRUE(watch.expired());
}

TEST_F(SceneLifecycle, DelayedDestroyKeepsRunningUntilItsTimeAndDestroysChildrenFirst) {
    orn::Time& time = orn::Time::getInstance();
    orn::GameObject* parent = scene->createGameObject(1);
    orn::GameObject* child = scene->createGameObject(1);
    addRecorder(parent, "parent");
    addRecorder(child, "child");
    child->getTransform().lock()->setParent(parent->getTransform().lock().get());
    scene->update();

    parent->destroy(2.f);
    ASSERT_EQ(scene->delayedDestroys.size(), 2u);
    EXPECT_EQ(scene->delayedDestroys[0].object.get(), child);
    EXPECT_FALSE(parent->destroyed);

    time.update(sf::seconds(1.5f));
    log->clear();
    scene->update();
    EXPECT_NE(indexOf(*log, "parent.update"), -1);
    EXPECT_NE(indexOf(*log, "child.update"), -1);

    time.update(sf::seconds(0.5f));
    log->clear();
    scene->update();
    EXPECT_EQ(indexOf(*log, "child.onDestroy"), 0);
    EXPECT_EQ(indexOf(*log, "parent.onDestroy"), 1);
    EXPECT_TRUE(scene->delayedDestroys.empty());
    EXPECT_TRUE(scene->layers[1].empty());
}

TEST_F(SceneLifecycle, DestroyingTwiceOrAfterRemovalNeverCallsOnDestroyTwice) {
    orn::GameObject* object = scene->createGameObject(4);
    addRecorder(object, "object");
    scene->update();
    const auto id = object->id;
    object->destroy(0.f);
    object->destroy(0.f);
    EXPECT_EQ(scene->objectsToDestroy.size(), 1u);
    object->destroy(0.5f);
    std::shared_ptr<orn::GameObject> keepAlive = scene->findGameObject(id);
    scene->update();
    EXPECT_EQ(coretest::entriesOf(*log, "onDestroy").size(), 1u);

    // The scene no longer holds it: nothing may be queued.
    keepAlive->destroy(0.f);
    EXPECT_TRUE(scene->objectsToDestroy.empty());
    orn::Time::getInstance().update(sf::seconds(1.f));
    scene->update();
    EXPECT_EQ(coretest::entriesOf(*log, "onDestroy").size(), 1u);
}

TEST_F(SceneLifecycle, LookupsAndLayerChecksReportWhatIsWrong) {
    EXPECT_THROW(scene->createGameObject(8), std::out_of_range);
    try {
        scene->createGameObject(-1);
        FAIL();
    } catch (const std::out_of_range& error) {
        EXPECT_NE(std::string(error.what()).find("'-1'"), std::string::npos);
    }
    try {
        scene->getGameObject(4000000000u);
        FAIL();
    } catch (const orn::GameObjectNotFoundException& error) {
        EXPECT_STREQ(error.what(), "GameObject with id '4000000000' was not found!");
    }
    orn::GameObject* object = scene->createGameObject(0);
    EXPECT_EQ(scene->getGameObject(object->id).lock().get(), object);
    try {
        object->getComponentById(4000000001u);
        FAIL();
    } catch (const orn::ComponentNotFoundException& error) {
        EXPECT_STREQ(error.what(), "Component with id '4000000001' not found!");
    }
}

TEST_F(SceneLifecycle, IdsComeFromOneCounterSharedByObjectsAndComponents) {
    orn::GameObject* object = scene->createGameObject(0);
    auto transform = object->getTransform().lock();
    ASSERT_TRUE(transform);
    EXPECT_EQ(transform->id, object->id + 1);
    Recorder* recorder = addRecorder(object, "r");
    EXPECT_EQ(recorder->id, object->id + 2);
    EXPECT_EQ(scene->createGameObject(0)->id, object->id + 3);
}

TEST_F(SceneLifecycle, ComponentLookupMatchesSubclassesAndReturnsEmptyWhenNothingMatches) {
    struct Base : orn::Component {};
    struct Derived : Base {};
    struct Unrelated : orn::Component {};
    orn::GameObject* object = scene->createGameObject(0);
    Derived* derived = object->addComponent<Derived>();
    EXPECT_EQ(object->getComponent<Base>().lock().get(), derived);
    EXPECT_TRUE(object->getComponent<Unrelated>().expired());
    scene->update();
    EXPECT_EQ(object->getComponent<Base>().lock().get(), derived);
}

TEST_F(SceneLifecycle, SetActivePropagatesToChildrenAndRespectsTheirOwnFlag) {
    orn::GameObject* parent = scene->createGameObject(0);
    orn::GameObject* child = scene->createGameObject(0);
    orn::GameObject* grandchild = scene->createGameObject(0);
    addRecorder(parent, "parent");
    addRecorder(child, "child");
    addRecorder(grandchild, "grandchild");
    child->getTransform().lock()->setParent(parent->getTransform().lock().get());
    grandchild->getTransform().lock()->setParent(child->getTransform().lock().get());
    scene->update();
    log->clear();

    parent->setActive(false);
    EXPECT_EQ(*log,
              (std::vector<std::string>{"parent.onDisable", "child.onDisable", "grandchild.onDisable"}));
    EXPECT_FALSE(grandchild->isActive());

    log->clear();
    child->setActive(true);  // the parent is still inactive
    EXPECT_TRUE(log->empty());
    EXPECT_FALSE(child->isActive());

    child->setActive(false);
    log->clear();
    parent->setActive(true);
    EXPECT_EQ(*log, (std::vector<std::string>{"parent.onEnable"}));
    EXPECT_FALSE(child->isActive());
    EXPECT_FALSE(grandchild->isActive());

    log->clear();
    scene->update();
    EXPECT_EQ(indexOf(*log, "child.update"), -1);
    EXPECT_NE(indexOf(*log, "parent.update"), -1);
}

TEST_F(SceneLifecycle, ChildSearchIsDepthFirstInChildOrder) {
    orn::GameObject* root = scene->createGameObject(0);
    orn::GameObject* first = scene->createGameObject(0);
    orn::GameObject* nested = scene->createGameObject(0);
    orn::GameObject* second = scene->createGameObject(0);
    first->name = "first";
    nested->name = "target";
    second->name = "target";
    first->getTransform().lock()->setParent(root->getTransform().lock().get());
    second->getTransform().lock()->setParent(root->getTransform().lock().get());
    nested->getTransform().lock()->setParent(first->getTransform().lock().get());

    EXPECT_EQ(root->findChildByName("target").lock().get(), nested);
    EXPECT_TRUE(root->findChildByName("absent").expired());
    root->name = "root";
    EXPECT_TRUE(root->findChildByName("root").expired());
}
