#include "engine/ObjectGroupOverlay.hpp"

#include <vector>

#include "engine/DebugDraw.hpp"
#include "engine/Tilemap.hpp"

namespace orn {

ObjectGroupOverlay::ObjectGroupOverlay(const Tilemap* tilemap, std::string groupName)
    : tilemap(tilemap), groupName(std::move(groupName)) {}

void ObjectGroupOverlay::drawDebug() {
    const auto found = tilemap->objectGroups.find(groupName);
    if (found == tilemap->objectGroups.end() || !found->second->visible) {
        return;
    }
    const Tilemap::ObjectGroup& group = *found->second;
    DebugDraw::color = sf::Color::Magenta;
    for (const auto& object : group.objects) {
        if (!object->visible) {
            continue;
        }
        std::vector<sf::Vector2f> outline = tilemap->objectOutline(*object);
        for (sf::Vector2f& point : outline) {
            point += group.offset;
        }
        if (outline.size() == 1) {
            DebugDraw::drawCircle(outline.front(), 3.f, 1.f);
            continue;
        }
        // A polyline stays open; every other shape closes on its first point.
        const bool open = object->gid == 0 && object->shape == Tilemap::Object::Shape::Polyline;
        for (std::size_t i = 0; i + 1 < outline.size(); ++i) {
            DebugDraw::drawLine(outline[i], outline[i + 1], 1.f);
        }
        if (!open && outline.size() > 2) {
            DebugDraw::drawLine(outline.back(), outline.front(), 1.f);
        }
    }
}

}  // namespace orn
