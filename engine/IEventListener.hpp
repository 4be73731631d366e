#pragma once

#include <memory>
#include <string>

namespace orn {

struct EventArgs;

/// Receiver of named events delivered synchronously by the EventBus.
class IEventListener {
public:
    /// Called inside EventBus::fire for every event name the listener subscribed to.
    virtual void onEvent(const std::string& eventName, std::shared_ptr<EventArgs> args) = 0;
    virtual ~IEventListener() = default;
};

}  // namespace orn
