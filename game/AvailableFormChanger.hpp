#pragma once

#include "engine/Component.hpp"

/// A form region: when the player enters its trigger box, the player's available forms become these flags.
class AvailableFormChanger : public orn::Component {
public:
    AvailableFormChanger(bool humanAvailable, bool ratAvailable, bool minotaurAvailable);
    ~AvailableFormChanger() override;

    void onTriggerEnter(orn::Collision collision) override;

    bool humanAvailable;
    bool ratAvailable;
    bool minotaurAvailable;
};
