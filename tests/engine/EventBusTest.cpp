#include <gtest/gtest.h>

#include <stdexcept>

#include "CoreTestSupport.hpp"
#include "engine/EventArgs.hpp"
#include "engine/EventBus.hpp"

namespace {

struct Payload : virtual orn::EventArgs {
    int value = 0;
};

class Listener : public orn::Component {
public:
    void onEvent(const std::string& eventName, std::shared_ptr<orn::EventArgs> args) override {
        names.push_back(eventName);
        senders.push_back(args->sender.lock().get());
        if (auto payload = std::dynamic_pointer_cast<Payload>(args)) {
            values.push_back(payload->value);
        }
        if (onReceive) {
            onReceive();
        }
    }
    std::vector<std::string> names;
    std::vector<orn::Component*> senders;
    std::vector<int> values;
    std::function<void()> onReceive;
};

class EventBusTest : public ::testing::Test {
protected:
    std::shared_ptr<coretest::ScriptedScene> scene = std::make_shared<coretest::ScriptedScene>();

    Listener* makeListener() { return scene->createGameObject(0)->addComponent<Listener>(); }

    // Each test uses its own names: the bus lives for the whole process.
    std::string unique(const std::string& base) {
        return base + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }
};

}  // namespace

TEST_F(EventBusTest, DeliversSynchronouslyWithTheFiringComponentAsSender) {
    Listener* listener = makeListener();
    Listener* firstSender = makeListener();
    Listener* secondSender = makeListener();
    const std::string name = unique("hit");
    listener->subscribe(name);

    auto payload = std::make_shared<Payload>();
    payload->value = 7;
    firstSender->fireEvent(name, payload);
    ASSERT_EQ(listener->values, std::vector<int>{7});
    // The same payload fired again by someone else names the new sender.
    secondSender->fireEvent(name, payload);
    ASSERT_EQ(listener->senders.size(), 2u);
    EXPECT_EQ(listener->senders[0], firstSender);
    EXPECT_EQ(listener->senders[1], secondSender);
    EXPECT_TRUE(firstSender->names.empty());
}

TEST_F(EventBusTest, SubscribingTwiceDeliversTwiceAndUnknownNamesDoNothing) {
    Listener* listener = makeListener();
    const std::string name = unique("twice");
    listener->subscribe(name);
    listener->subscribe(name);
    listener->fireEvent(name, std::make_shared<orn::EventArgs>());
    EXPECT_EQ(listener->names.size(), 2u);

    const auto sizeBefore = orn::EventBus::getInstance().events.size();
    listener->fireEvent(unique("nobody"), std::make_shared<orn::EventArgs>());
    EXPECT_EQ(orn::EventBus::getInstance().events.size(), sizeBefore);
}

TEST_F(EventBusTest, DeadListenersArePrunedWhenTheirEventFires) {
    const std::string name = unique("prune");
    Listener* survivor = makeListener();
    survivor->subscribe(name);
    auto doomedObject = std::make_shared<orn::GameObject>(scene.get(), 0);
    doomedObject->addComponent<Listener>()->subscribe(name);
    Listener* tail = makeListener();
    tail->subscribe(name);
    auto& listeners = orn::EventBus::getInstance().events[name].listeners;
    ASSERT_EQ(listeners.size(), 3u);

    doomedObject.reset();
    survivor->fireEvent(name, std::make_shared<orn::EventArgs>());
    EXPECT_EQ(listeners.size(), 2u);
    EXPECT_EQ(survivor->names.size(), 1u);
    EXPECT_EQ(tail->names.size(), 1u);
}

TEST_F(EventBusTest, ListenersMaySubscribeDuringDelivery) {
    const std::string name = unique("grow");
    Listener* listener = makeListener();
    std::vector<Listener*> recruits;
    listener->onReceive = [&] {
        if (recruits.size() < 40) {
            recruits.push_back(makeListener());
            recruits.back()->subscribe(name);
        }
    };
    listener->subscribe(name);
    listener->fireEvent(name, std::make_shared<orn::EventArgs>());
    ASSERT_EQ(recruits.size(), 1u);
    EXPECT_EQ(recruits[0]->names.size(), 1u);
}

TEST_F(EventBusTest, AThrowingListenerStopsTheDelivery) {
    const std::string name = unique("throw");
    Listener* thrower = makeListener();
    Listener* after = makeListener();
    thrower->onReceive = [] { throw std::runtime_error("listener failed!"); };
    thrower->subscribe(name);
    after->subscribe(name);
    EXPECT_THROW(thrower->fireEvent(name, std::make_shared<orn::EventArgs>()), std::runtime_error);
    EXPECT_TRUE(after->names.empty());
}
