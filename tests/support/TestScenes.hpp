#pragma once

#include <functional>

#include "engine/Scene.hpp"

namespace testsupport {

/// A scene with nothing in it, for tests that only need a current scene.
class EmptyScene : public orn::Scene {
public:
    void init() override {}
    void unload() override {}
};

/// A scene whose init and unload run what the test gives it.
class ScriptedScene : public orn::Scene {
public:
    std::function<void(ScriptedScene&)> onInit;
    std::function<void(ScriptedScene&)> onUnload;

    void init() override {
        if (onInit) {
            onInit(*this);
        }
    }
    void unload() override {
        if (onUnload) {
            onUnload(*this);
        }
    }
};

}  // namespace testsupport
