#pragma once

#include "engine/Component.hpp"

namespace orn {

/// Places the audio library's one listener at its object (10 units in front of the world plane), every frame.
class AudioListener : public Component {
public:
    ~AudioListener() override;
    /// Draws nothing into the window, so it never splits the scene's sprite runs.
    void drawInto(SpriteBatch&) override {}

    /// Places the listener at the object at once, so the first sounds are heard from the right place.
    void start() override;
    void update() override;
    void drawDebug() override;

private:
    void followObject();
};

}  // namespace orn
