#pragma once

#include <functional>
#include <string>
#include <unordered_map>

#include "engine/Tilemap.hpp"

namespace orn {
class Scene;
}

/// Builds game objects from the objects of a map's object group by calling the creator registered for each
/// object's type. The creators (the level geometry and the game's prefabs) are registered on first use.
class MapObjectFactory {
public:
    /// Builds what the object describes in the scene's given layer; the result is not used by the factory.
    using Creator = std::function<void*(const orn::Tilemap::Object& object, int layer, orn::Scene* scene)>;

    static MapObjectFactory& getInstance();

    /// Builds every object of the group whose type has a creator, in order, in the current scene; objects of
    /// other types are skipped.
    void createObjects(const orn::Tilemap::ObjectGroup& group, int layer);

    std::unordered_map<std::string, Creator> creators;

private:
    MapObjectFactory();

    static void* createCollider(const orn::Tilemap::Object& object, int layer, orn::Scene* scene);
    static void* createPlayer(const orn::Tilemap::Object& object, int layer, orn::Scene* scene);
    static void* createDarklord(const orn::Tilemap::Object& object, int layer, orn::Scene* scene);
    static void* createSneaker(const orn::Tilemap::Object& object, int layer, orn::Scene* scene);
    static void* createDestroyable(const orn::Tilemap::Object& object, int layer, orn::Scene* scene);
    static void* createAvailableRegion(const orn::Tilemap::Object& object, int layer, orn::Scene* scene);
    static void* createTutorialText(const orn::Tilemap::Object& object, int layer, orn::Scene* scene);
    static void* createLevelExit(const orn::Tilemap::Object& object, int layer, orn::Scene* scene);
};
