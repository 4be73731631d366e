#pragma once

#include <cstdint>
#include <unordered_set>

#include "engine/Component.hpp"

/// Counts what the player's ground probe stands on: solid colliders entered from above, other than the
/// player's own.
class GroundedCheck : public orn::Component {
public:
    ~GroundedCheck() override;

    void onTriggerEnter(orn::Collision collision) override;
    void onTriggerExit(orn::Collider* other) override;

    /// Grounded while positive.
    std::int32_t groundContacts = 0;

private:
    /// Ids of the colliders that were counted, so only those count down when left.
    std::unordered_multiset<std::uint32_t> counted;
};
