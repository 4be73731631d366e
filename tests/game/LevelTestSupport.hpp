#pragma once

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

#include "GameTestSupport.hpp"
#include "engine/AssetManager.hpp"
#include "engine/BoxCollider.hpp"
#include "engine/GameObject.hpp"
#include "engine/Rigidbody.hpp"
#include "engine/Transform.hpp"
#include "game/Health.hpp"
#include "game/MainScene.hpp"
#include "game/Player.hpp"
#include "game/Transmutation.hpp"

namespace gametest {

/// The real level from data/main.tmx (or a scene standing in for it), driven with fixed 60 Hz frames and a
/// scripted keyboard.
class Level {
public:
    GameDriver& driver = GameDriver::instance();

    explicit Level(std::shared_ptr<orn::Scene> played = std::make_shared<MainScene>()) {
        // The menu loads the GUI theme into the global store before the level is ever entered.
        orn::AssetManager::getInstance().loadTheme("default_theme", "gui/gui_theme.txt");
        driver.held.clear();
        driver.enter(std::move(played));
    }

    std::shared_ptr<orn::Scene> scene() const { return orn::SceneManager::getInstance().getCurrentScene(); }

    /// The live objects of the current scene with the tag, layer by layer.
    std::vector<std::shared_ptr<orn::GameObject>> allTagged(const std::string& tag) const {
        std::vector<std::shared_ptr<orn::GameObject>> found;
        for (const auto& layer : scene()->layers) {
            for (const auto& entry : layer) {
                if (entry.second->hasTag(tag) && !entry.second->destroyed) {
                    found.push_back(entry.second);
                }
            }
        }
        return found;
    }

    /// The level's map, as the scene loaded it.
    const orn::Tilemap& map() const {
        return *orn::AssetManager::getInstance().loadTilemap("main", "main.tmx");
    }
    /// The first object of a map group that satisfies the test; fails the test when there is none.
    template <class Test>
    const orn::Tilemap::Object& mapObject(const std::string& group, Test test) const {
        for (const auto& object : map().getObjectGroup(group).objects) {
            if (test(*object)) {
                return *object;
            }
        }
        throw std::runtime_error("The level has no such object in '" + group + "'!");
    }

    /// The player's root; null while the scene has none.
    std::shared_ptr<orn::GameObject> playerObject() const {
        const auto found = allTagged("Player");
        return found.empty() ? nullptr : found.front();
    }
    std::shared_ptr<Player> player() const { return playerObject()->getComponent<Player>().lock(); }
    std::shared_ptr<Transmutation> forms() const {
        return playerObject()->getComponent<Transmutation>().lock();
    }
    std::shared_ptr<Health> health() const { return playerObject()->getComponent<Health>().lock(); }
    std::shared_ptr<orn::Rigidbody> body() const {
        return playerObject()->getComponent<orn::Rigidbody>().lock();
    }
    sf::Vector2f position() const { return playerObject()->getTransform().lock()->getPosition(); }

    void hold(sf::Keyboard::Key key) { driver.held.insert(key); }
    void release(sf::Keyboard::Key key) { driver.held.erase(key); }
    void frames(int count) { driver.frames(count); }
    void press(sf::Keyboard::Key key) {
        hold(key);
        driver.frame();
        release(key);
        driver.frame();
    }

    /// The top of the highest solid box of the map at or below y over column x: where feet there come to
    /// rest; infinity when there is none.
    float groundBelow(float x, float y) const {
        float best = INFINITY;
        for (const auto& box : map().getObjectGroup("colliders").objects) {
            if (!box->getPropertyBool("IsTrigger") && x > box->x && x < box->x + box->width && box->y >= y) {
                best = std::min(best, box->y);
            }
        }
        return best;
    }
    /// Sets the feet on the ground below (x, y) and lets the player settle there.
    bool placeAt(float x, float y) {
        playerObject()->getTransform().lock()->setPosition({x, groundBelow(x, y)});
        body()->velocity = {};
        return land();
    }
    /// The enabled solid box of the player's root: the active form's body, in world pixels.
    sf::FloatRect bodyBox() const {
        for (const auto& entry : playerObject()->getComponents()) {
            auto box = std::dynamic_pointer_cast<orn::BoxCollider>(entry.lock());
            if (box && box->enabled && !box->isTrigger) {
                return box->getWorldRect();
            }
        }
        return {};
    }
    /// Whether the player's body reaches more than a pixel into a solid box of the map.
    bool bodyInRock() const {
        const sf::FloatRect box = bodyBox();
        for (const auto& rock : map().getObjectGroup("colliders").objects) {
            sf::FloatRect overlap;
            if (!rock->getPropertyBool("IsTrigger") &&
                box.intersects({rock->x, rock->y, rock->width, rock->height}, overlap) &&
                overlap.width > 1.f && overlap.height > 1.f) {
                return true;
            }
        }
        return false;
    }

    /// Runs frames until the player stands on something, at most two seconds.
    bool land() {
        float lastY = position().y;
        for (int frame = 0; frame < 120; ++frame) {
            driver.frame();
            const float y = position().y;
            if (player()->isGrounded() && std::fabs(y - lastY) < 0.05f) {
                return true;
            }
            lastY = y;
        }
        return false;
    }
};

}  // namespace gametest
