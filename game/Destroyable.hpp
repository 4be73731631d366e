#pragma once

#include "engine/Component.hpp"

/// A breakable block: removes its object when the block's health announces its death.
class Destroyable : public orn::Component {
public:
    ~Destroyable() override;

    void start() override;
    void onEvent(const std::string& eventName, std::shared_ptr<orn::EventArgs> args) override;
};
