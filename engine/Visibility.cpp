#include "engine/Visibility.hpp"

#include <SFML/Graphics/RenderTarget.hpp>

namespace orn {

bool Visibility::inView(const sf::RenderTarget& target, const sf::FloatRect& bounds) {
    const sf::View& view = target.getView();
    if (view.getRotation() != 0.f) {
        return true;
    }
    const sf::FloatRect visible(view.getCenter() - view.getSize() / 2.f, view.getSize());
    return visible.intersects(bounds);
}

}  // namespace orn
