#pragma once

#include <SFML/Graphics/Vertex.hpp>
#include <cstddef>
#include <vector>

namespace sf {
class RenderTarget;
class Sprite;
class Texture;
class Transform;
}  // namespace sf

namespace orn {

/// Collects consecutive sprites that share a texture into one vertex array and draws each such run with a
/// single draw call, with default render states. The pixels are those of drawing each sprite on its own:
/// every corner is transformed on the CPU by the sprite's own transform, as the window does for a lone
/// sprite, and runs keep the order in which sprites were added.
///
/// Only sprites without rotation and with whole-number scales are merged: their corners are products of
/// whole numbers plus one rounded addition, so the CPU and the GPU get the same bits whatever order or fused
/// operations either uses. Any other sprite is drawn on its own, between the runs.
///
/// Whatever draws into the target by other means must call flush() first, or it would land below sprites
/// added before it.
class SpriteBatch {
public:
    /// Adds the sprite as it is now unless it has no texture or lies wholly outside target's current view;
    /// a different texture or target first draws the pending run. target must stay alive until flush().
    void add(const sf::Sprite& sprite, sf::RenderTarget& target);
    /// Draws the pending run, if any.
    void flush();

    /// Draw calls made since the count was last reset; game code and tests read and reset it.
    std::size_t drawCalls = 0;

private:
    /// Whether transforming the corners on the CPU gives exactly the GPU's positions (see the class comment).
    static bool exactOnCpu(const sf::Transform& transform);

    std::vector<sf::Vertex> vertices;
    /// The run's texture, owned by whoever owns the sprites' texture; null when no run is pending.
    const sf::Texture* texture = nullptr;
    /// Where the run goes, owned by the caller of add; null when no run is pending.
    sf::RenderTarget* target = nullptr;
};

}  // namespace orn
