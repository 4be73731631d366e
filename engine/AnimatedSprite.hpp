#pragma once

#include <cstdint>
#include <string>

#include "engine/Sprite.hpp"
#include "engine/SpriteAnimation.hpp"

namespace orn {

/// A Sprite that shows one frame of a sprite sheet animation at a time and advances through the frames with
/// the scaled frame time. An Animator on the same object switches its animation and speed.
class AnimatedSprite : public Sprite {
public:
    /// Copies the sprite animation stored under spriteAnimationKey; raises AssetLoadException when the asset
    /// manager holds no texture or no sprite animation under the keys. animationName is not checked here: an
    /// unknown name raises std::out_of_range at the first update.
    AnimatedSprite(const std::string& textureKey, const std::string& spriteAnimationKey,
                   const std::string& animationName);

    /// Shows the frame current at the start of the call, then advances by Time's deltaTime. Frames skipped in
    /// one call are all timed with the duration of that frame, and the remainder is kept.
    void update() override;
    /// The current frame index as text at the owner's position, with the font "default".
    void drawDebug() override;

    /// Playback rate; a frame lasts its duration divided by speed. At 0 or below the frame holds.
    float speed = 1.f;
    /// At the end of the animation: wrap around, or hold the last frame.
    bool loop = true;
    /// The sheet's animations, copied from the asset manager at construction.
    SpriteAnimation spriteAnimation;
    /// Name of the animation being played.
    std::string currentAnimation;
    /// Index into the current animation; shown modulo its frame count.
    std::int32_t currentFrame = 0;
    /// Seconds accumulated toward the next frame step.
    float elapsedTime = 0.f;
};

}  // namespace orn
