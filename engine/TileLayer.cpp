#include "engine/TileLayer.hpp"

#include <cmath>
#include <cstdint>
#include <memory>

#include "engine/GameObject.hpp"
#include "engine/Scene.hpp"
#include "engine/Sprite.hpp"
#include "engine/TiledObjectNotFoundException.hpp"
#include "engine/Time.hpp"
#include "engine/Transform.hpp"

namespace orn {

TileLayer::TileLayer(Tilemap* tilemap, std::string layerName)
    : tilemap(tilemap), layerName(std::move(layerName)) {}

TileLayer::TileLayer(Tilemap* tilemap, std::size_t layerIndex)
    : tilemap(tilemap), layerIndex(layerIndex), byIndex(true) {}

TileLayer::~TileLayer() = default;

void TileLayer::init() {
    std::shared_ptr<Tilemap::Layer> layer;
    if (byIndex) {
        layer = tilemap->layersInOrder.at(layerIndex);
        layerName = layer->name;
    } else {
        const auto found = tilemap->layers.find(layerName);
        if (found == tilemap->layers.end()) {
            throw TiledObjectNotFoundException("A layer with the name '" + layerName +
                                               "' does not exist in '" + tilemap->path + "'!");
        }
        layer = found->second;
    }
    const std::shared_ptr<Transform> parent = gameObject->getTransform().lock();
    // Tiles land on whole pixels, as the editor draws them: a fractional offset is rounded half up.
    const sf::Vector2f offset(std::floor(layer->offsetX + 0.5f), std::floor(layer->offsetY + 0.5f));
    for (const std::size_t index : layer->drawOrder) {
        const std::shared_ptr<Tilemap::Tile>& tile = layer->tiles[index];
        GameObject* object = gameObject->scene->createGameObject(gameObject->layer);
        Sprite* sprite = object->addComponent<Sprite>(*tile->texture, tile->textureRect);
        const std::shared_ptr<Transform> transform = object->getTransform().lock();
        transform->setParent(parent.get());
        const sf::Vector2f topLeft(static_cast<float>(tile->x) + offset.x,
                                   static_cast<float>(tile->y) + offset.y);
        if (!tile->flipHorizontally && !tile->flipVertically && !tile->flipDiagonally) {
            transform->setPosition(topLeft);
        } else {
            // Flipped about the centre. The anti-diagonal flip (x and y swapped) is a quarter turn followed
            // by a mirror, and the turned tile keeps its bottom-left corner where the upright one has it.
            const auto width = static_cast<float>(tile->textureRect.width);
            const auto height = static_cast<float>(tile->textureRect.height);
            const bool turned = tile->flipDiagonally;
            const float shownWidth = turned ? height : width;
            const float shownHeight = turned ? width : height;
            transform->setPosition({topLeft.x + shownWidth / 2.f, topLeft.y + height - shownHeight / 2.f});
            const bool mirrorX = turned ? tile->flipVertically : tile->flipHorizontally;
            const bool mirrorY = turned ? !tile->flipHorizontally : tile->flipVertically;
            transform->setLocalRotation(turned ? 90.f : 0.f);
            transform->setLocalScale({mirrorX ? -1.f : 1.f, mirrorY ? -1.f : 1.f});
            sprite->origin = {0.5f, 0.5f};
        }
        if (layer->color != sf::Color::White) {
            sprite->sprite.setColor(layer->color);
        }
        if (!layer->visible) {
            object->setActive(false);
        }
        if (!tile->animation.empty()) {
            int64_t cycle = 0;
            for (const Tilemap::Frame& frame : tile->animation) {
                cycle += frame.duration;
            }
            animated.push_back({tile, object->getComponent<Sprite>(), 0, 0.f, cycle});
            sprite->sprite.setTexture(*tile->animation.front().texture);
            sprite->sprite.setTextureRect(tile->animation.front().textureRect);
        }
    }
}

void TileLayer::update() {
    const float elapsed = Time::getInstance().deltaTime * 1000.f;
    for (AnimatedTile& entry : animated) {
        const std::vector<Tilemap::Frame>& frames = entry.tile->animation;
        const std::shared_ptr<Sprite> sprite = entry.sprite.lock();
        if (!sprite || entry.cycle <= 0) {
            continue;
        }
        // Whole cycles are skipped at once, so a long frame time costs no more than one cycle.
        entry.elapsed = std::fmod(entry.elapsed + elapsed, static_cast<float>(entry.cycle));
        const std::size_t before = entry.frame;
        while (entry.elapsed >= static_cast<float>(frames[entry.frame].duration)) {
            entry.elapsed -= static_cast<float>(frames[entry.frame].duration);
            entry.frame = (entry.frame + 1) % frames.size();
        }
        if (entry.frame != before) {
            sprite->sprite.setTexture(*frames[entry.frame].texture);
            sprite->sprite.setTextureRect(frames[entry.frame].textureRect);
        }
    }
}

}  // namespace orn
