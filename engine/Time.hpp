#pragma once

#include <SFML/System/Time.hpp>

namespace orn {

/// Process-wide frame time, advanced once per frame by Game::update before anything else.
class Time {
public:
    /// The process-wide clock, created on first use.
    static Time& getInstance();

    /// elapsed: the measured duration of the frame.
    void update(sf::Time elapsed);

    float deltaTime = 0.f;  ///< seconds of the last frame times timeScale
    float time = 0.f;       ///< unscaled seconds since the service was created; never reset
    /// Factor applied to every frame's duration: 0 pauses, 0.5 is slow motion.
    float timeScale = 1.f;

private:
    Time() = default;
};

}  // namespace orn
