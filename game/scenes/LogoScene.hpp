#pragma once

#include "engine/Scene.hpp"

/// The first scene of every run: the studio logo.
class LogoScene : public orn::Scene {
public:
    void init() override;
    void unload() override;
};
