#pragma once

#include "engine/Camera.hpp"
#include "engine/GameObject.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Sprite.hpp"

/// Sprites of the current scene's active objects that lie at least partly inside the main camera's view:
/// what a frame of the scene has to draw.
inline int visibleSprites() {
    const sf::View& view = orn::Camera::main->view;
    const sf::FloatRect visible(view.getCenter() - view.getSize() / 2.f, view.getSize());
    int count = 0;
    for (const auto& layer : orn::SceneManager::getInstance().getCurrentScene()->layers) {
        for (const auto& entry : layer) {
            auto sprite = entry.second->getComponent<orn::Sprite>().lock();
            if (sprite && entry.second->isActive() && visible.intersects(sprite->sprite.getGlobalBounds())) {
                ++count;
            }
        }
    }
    return count;
}
