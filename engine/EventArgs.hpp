#pragma once

#include <memory>

namespace orn {

class Component;

/// Polymorphic base of every event payload. Payload types derive from it virtually and add plain fields;
/// they are always created with std::make_shared.
struct EventArgs {
    /// The component that fired the event; written by Component::fireEvent.
    std::weak_ptr<Component> sender;

    virtual ~EventArgs() = default;
};

}  // namespace orn
