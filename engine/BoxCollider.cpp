#include "engine/BoxCollider.hpp"

#include <cxxabi.h>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <typeinfo>

#include "engine/CollisionMethodNotImplementedException.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Transform.hpp"

namespace orn {

namespace {

/// The class name with its namespace ("orn::BoxCollider"), demangled from the run-time type information.
std::string typeName(const Collider& collider) {
    const char* mangled = typeid(collider).name();
    int status = 0;
    const std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    return status == 0 && demangled ? std::string(demangled.get()) : std::string(mangled);
}

}  // namespace

BoxCollider::BoxCollider(sf::FloatRect rect) : offset(rect.left, rect.top), size(rect.width, rect.height) {}

BoxCollider::~BoxCollider() = default;

sf::FloatRect BoxCollider::getWorldRect() {
    Transform& transform = ownerTransform();
    const sf::Vector2f position = transform.getPosition();
    const sf::Vector2f scale = transform.getScale();
    float width = scale.x * size.x;
    float height = scale.y * size.y;
    float left = offset.x + position.x - width * origin.x;
    float top = offset.y + position.y - height * origin.y;
    if (width < 0.f) {
        left += width;
        width = -width;
    }
    if (height < 0.f) {
        top += height;
        height = -height;
    }
    const sf::FloatRect world(left, top, width, height);
    rect = world;
    return world;
}

bool BoxCollider::checkCollision(Collider* other, sf::Vector2f* normal, float* depth) {
    // The exact type is by far the common case and much cheaper to confirm than a full downcast.
    auto* box = typeid(*other) == typeid(BoxCollider) ? static_cast<BoxCollider*>(other)
                                                      : dynamic_cast<BoxCollider*>(other);
    if (!box) {
        throw CollisionMethodNotImplementedException("Collission between <" + typeName(*this) + "> and <" +
                                                     typeName(*other) + "> not implemented!");
    }
    const sf::FloatRect a = getWorldRect();
    const sf::FloatRect b = box->getWorldRect();
    const float dx = (b.left + b.width / 2.f) - (a.left + a.width / 2.f);
    const float dy = (b.top + b.height / 2.f) - (a.top + a.height / 2.f);
    const float overlapX = a.width / 2.f + b.width / 2.f - std::abs(dx);
    const float overlapY = a.height / 2.f + b.height / 2.f - std::abs(dy);
    if (!(overlapX > 0.f && overlapY > 0.f)) {
        return false;
    }
    if (overlapY <= overlapX) {
        *normal = sf::Vector2f(0.f, dy < 0.f ? 1.f : -1.f);
        *depth = overlapY;
    } else {
        *normal = sf::Vector2f(dx < 0.f ? 1.f : -1.f, 0.f);
        *depth = overlapX;
    }
    return true;
}

void BoxCollider::drawDebug() {
    sf::RenderWindow& window = SceneManager::getInstance().requireWindow();
    const sf::FloatRect box = getWorldRect();
    sf::RectangleShape shape(sf::Vector2f(box.width, box.height));
    shape.setPosition(box.left, box.top);
    shape.setFillColor(sf::Color::Transparent);
    shape.setOutlineThickness(1.f);
    shape.setOutlineColor(isTrigger ? sf::Color::Yellow : sf::Color::Red);
    window.draw(shape);
}

}  // namespace orn
