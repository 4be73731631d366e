#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/IEventListener.hpp"

namespace orn {

struct EventArgs;

/// Process-wide synchronous delivery of named events. Listeners are held weakly: a subscription ends when
/// the listener is destroyed, and the dead entry is pruned the next time its event fires.
class EventBus {
public:
    /// The listeners of one event name.
    struct EventListeners {
        /// The event they listen to.
        std::string eventName;
        std::vector<std::weak_ptr<IEventListener>> listeners;  ///< in subscription order
    };

    /// The process-wide event bus, created on first use.
    static EventBus& getInstance();

    /// Appends listener to the listeners of eventName; subscribing twice delivers each event twice.
    void subscribe(const std::string& eventName, std::weak_ptr<IEventListener> listener);
    /// Calls onEvent of every live listener of eventName, in subscription order, on the caller's stack.
    /// A listener that subscribes during the delivery is appended and called in the same walk.
    /// Exceptions thrown by a listener propagate; later listeners are then not called.
    void fire(const std::string& eventName, std::shared_ptr<EventArgs> args);

    /// One entry per event name that anybody ever subscribed to; entries are never removed.
    std::unordered_map<std::string, EventListeners> events;

private:
    EventBus() = default;
};

}  // namespace orn
