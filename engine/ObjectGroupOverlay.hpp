#pragma once

#include <string>

#include "engine/Component.hpp"

namespace orn {

class Tilemap;

/// Shows the objects of one object group of a tile map in the debug overlay, where the map editor shows them
/// (Tilemap::objectOutline): rectangles, ellipses, polygons, polylines, text boxes and tile objects as
/// magenta outlines, points as small circles, on isometric maps projected onto the grid as the editor
/// projects them. The outlines lie at map pixels plus the group's offset, in world coordinates, whatever the
/// position of the component's own game object. A hidden group, and hidden objects, are not shown.
class ObjectGroupOverlay : public Component {
public:
    /// tilemap: not owned and not null; the asset manager's scene store keeps it while the scene lives.
    /// groupName: the object group shown; a map without it shows nothing.
    ObjectGroupOverlay(const Tilemap* tilemap, std::string groupName);

    /// Draws the outlines through DebugDraw, one pixel thick.
    void drawDebug() override;

    /// The map whose objects are shown; see the constructor for its lifetime.
    const Tilemap* tilemap;
    /// Name of the object group shown.
    std::string groupName;
};

}  // namespace orn
