#include "engine/TileLayer.hpp"

#include <cstdint>
#include <memory>

#include "engine/AssetLoadException.hpp"
#include "engine/GameObject.hpp"
#include "engine/Scene.hpp"
#include "engine/Sprite.hpp"
#include "engine/Time.hpp"
#include "engine/Transform.hpp"

namespace orn {

TileLayer::TileLayer(Tilemap* tilemap, std::string layerName)
    : tilemap(tilemap), layerName(std::move(layerName)) {}

TileLayer::TileLayer(Tilemap* tilemap, std::size_t layerIndex)
    : tilemap(tilemap), layerIndex(layerIndex), byIndex(true) {}

TileLayer::~TileLayer() = default;

void TileLayer::init() {
    const Tilemap::Layer& layer = byIndex ? tilemap->getLayer(layerIndex) : tilemap->getLayer(layerName);
    layerName = layer.name;
    if (tilemap->storage == TileStorage::Compact) {
        throw AssetLoadException("The layer '" + layerName + "' of '" + tilemap->path +
                                     "' has no tile objects to make: the map was loaded with compact tile "
                                     "storage, which only a ChunkedTileLayer draws!",
                                 tilemap->path);
    }
    const std::shared_ptr<Transform> parent = gameObject->getTransform().lock();
    const bool hexagonal = tilemap->tmxMap->orientation == TmxMap::Orientation::Hexagonal;
    for (const std::size_t index : layer.drawOrder) {
        const std::shared_ptr<Tilemap::Tile>& tile = layer.tiles[index];
        const sf::Vector2f shift = Tilemap::pixelOffset(layer, tile->halfPixel);
        const sf::Vector2f topLeft(static_cast<float>(tile->x) + shift.x,
                                   static_cast<float>(tile->y) + shift.y);
        const auto gid = static_cast<uint32_t>(tile->gid);
        const Tilemap::Pieces pieces = Tilemap::pieces(layer, tile->halfPixel, topLeft,
                                                       {tile->textureRect.width, tile->textureRect.height},
                                                       gid, tile->opaque, hexagonal);
        for (int i = 0; i < pieces.count; ++i) {
            const Tilemap::Piece& piece = pieces.piece[static_cast<std::size_t>(i)];
            GameObject* object = gameObject->scene->createGameObject(gameObject->layer);
            Sprite* sprite = object->addComponent<Sprite>(*tile->texture, piece.in(tile->textureRect));
            const std::shared_ptr<Transform> transform = object->getTransform().lock();
            transform->setParent(parent.get());
            const Tilemap::Placement placement =
                Tilemap::placement(piece.topLeft, {piece.texels.width, piece.texels.height}, gid, hexagonal);
            transform->setPosition(placement.position);
            if (placement.centred) {
                transform->setLocalRotation(placement.rotation);
                transform->setLocalScale(placement.scale);
                sprite->origin = {0.5f, 0.5f};
            }
            if (layer.color != sf::Color::White) {
                sprite->sprite.setColor(layer.color);
            }
            if (!layer.visible) {
                object->setActive(false);
            }
            if (!tile->animation.empty()) {
                animated.push_back(
                    {tile, object->getComponent<Sprite>(), Tilemap::AnimationClock(tile->animation), piece});
                sprite->sprite.setTexture(*tile->animation.front().texture);
                sprite->sprite.setTextureRect(piece.in(tile->animation.front().textureRect));
            }
        }
    }
}

void TileLayer::update() {
    const float elapsed = Time::getInstance().deltaTime * 1000.f;
    for (AnimatedTile& entry : animated) {
        const std::vector<Tilemap::Frame>& frames = entry.tile->animation;
        const std::shared_ptr<Sprite> sprite = entry.sprite.lock();
        if (sprite && entry.clock.advance(frames, elapsed)) {
            sprite->sprite.setTexture(*frames[entry.clock.frame].texture);
            sprite->sprite.setTextureRect(entry.piece.in(frames[entry.clock.frame].textureRect));
        }
    }
}

}  // namespace orn
