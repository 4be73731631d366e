#include "engine/TileLayer.hpp"

#include <memory>

#include "engine/GameObject.hpp"
#include "engine/Scene.hpp"
#include "engine/Sprite.hpp"
#include "engine/TiledObjectNotFoundException.hpp"
#include "engine/Tilemap.hpp"
#include "engine/Transform.hpp"

namespace orn {

TileLayer::TileLayer(Tilemap* tilemap, std::string layerName)
    : tilemap(tilemap), layerName(std::move(layerName)) {}

TileLayer::~TileLayer() = default;

void TileLayer::init() {
    const auto found = tilemap->layers.find(layerName);
    if (found == tilemap->layers.end()) {
        throw TiledObjectNotFoundException("A layer with the name '" + layerName + "' does not exist in '" +
                                           tilemap->path + "'!");
    }
    const std::shared_ptr<Tilemap::Layer> layer = found->second;
    const std::shared_ptr<Transform> parent = gameObject->getTransform().lock();
    for (const auto& tile : layer->tiles) {
        GameObject* object = gameObject->scene->createGameObject(gameObject->layer);
        object->addComponent<Sprite>(*tile->tileset->texture, tile->textureRect);
        const std::shared_ptr<Transform> transform = object->getTransform().lock();
        transform->setParent(parent.get());
        transform->setPosition({static_cast<float>(tile->x), static_cast<float>(tile->y)});
    }
}

}  // namespace orn
