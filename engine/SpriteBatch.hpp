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

class Component;

/// Collects consecutive sprites that share a texture into one vertex array and draws each such run with
/// default render states. The pixels are those of drawing each sprite on its own (but see the last
/// paragraph): every corner is transformed on the CPU by the sprite's own transform, as the window does for a
/// lone sprite, and runs keep the order in which sprites were added.
///
/// Only sprites without rotation and with whole-number scales are merged: their corners are products of
/// whole numbers plus one rounded addition, so the CPU and the GPU get the same bits whatever order or fused
/// operations either uses. Any other sprite is drawn on its own, between the runs.
///
/// Where a pixel centre falls exactly on a texel's edge (a view on half pixels), Mesa's software renderer
/// picks the texel by a rounding that depends on the call: a lone sprite's strip of four vertices, the first
/// 84 vertices of a longer call and the vertices after them each round their own way, so a sprite could come
/// out a texel off depending on which sprites shared its call. Runs are therefore drawn in calls of at most
/// maxCallVertices: a sprite's pixels then never depend on its neighbours in the run (and such calls drew
/// faster than longer ones), though at those views they may still differ by a texel from the same sprite
/// drawn alone.
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

    /// The most vertices (two triangles a sprite) drawn in one call, so that no sprite's pixels depend on the
    /// other sprites of its call (see the class comment).
    static constexpr std::size_t maxCallVertices = 84;

    /// Whether transforming the corners on the CPU gives exactly the GPU's positions (see the class comment),
    /// so that a sprite of this transform may share a call with others.
    static bool exactOnCpu(const sf::Transform& transform);

private:
    std::vector<sf::Vertex> vertices;
    /// The run's texture, owned by whoever owns the sprites' texture; null when no run is pending.
    const sf::Texture* texture = nullptr;
    /// Where the run goes, owned by the caller of add; null when no run is pending.
    sf::RenderTarget* target = nullptr;
};

}  // namespace orn
