#include "engine/Time.hpp"

namespace orn {

Time& Time::getInstance() {
    static Time instance;
    return instance;
}

void Time::update(sf::Time elapsed) {
    const float seconds = elapsed.asSeconds();
    deltaTime = timeScale * seconds;
    time += seconds;
}

}  // namespace orn
