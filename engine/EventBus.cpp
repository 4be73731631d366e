#include "engine/EventBus.hpp"

#include "engine/EventArgs.hpp"

namespace orn {

EventBus& EventBus::getInstance() {
    static EventBus instance;
    return instance;
}

void EventBus::subscribe(const std::string& eventName, std::weak_ptr<IEventListener> listener) {
    EventListeners& entry = events[eventName];
    entry.eventName = eventName;
    entry.listeners.push_back(std::move(listener));
}

void EventBus::fire(const std::string& eventName, std::shared_ptr<EventArgs> args) {
    auto found = events.find(eventName);
    if (found == events.end()) {
        return;
    }
    // References into an unordered_map survive rehashing, and the walk goes by index, so listeners may
    // subscribe (to this or any other event) while being called.
    std::vector<std::weak_ptr<IEventListener>>& listeners = found->second.listeners;
    std::size_t position = 0;
    while (position < listeners.size()) {
        if (std::shared_ptr<IEventListener> listener = listeners[position].lock()) {
            listener->onEvent(eventName, args);
            ++position;
        } else {
            listeners.erase(listeners.begin() + static_cast<std::ptrdiff_t>(position));
        }
    }
}

}  // namespace orn
