#pragma once

#include <SFML/System/Time.hpp>

namespace orn {

/// Process-wide frame time, advanced once per frame by Game::update before anything else.
class Time {
public:
    static Time& getInstance();

    /// elapsed: the measured duration of the frame.
    void update(sf::Time elapsed);

    float deltaTime = 0.f;  ///< seconds of the last frame times timeScale
    float time = 0.f;       ///< unscaled seconds since the service was created; never reset
    float timeScale = 1.f;

private:
    Time() = default;
};

}  // namespace orn
