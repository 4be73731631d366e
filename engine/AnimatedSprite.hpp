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
    /// one call are all timed with the duration of that frame, and the remainder is kept. currentFrame counts
    /// steps in the tag's play order (see SpriteAnimation::getPlayedFrame); at the end of a play (its repeat
    /// count, or one pass without loop) it holds, otherwise it wraps.
    void update() override;
    /// Sets the texture rectangle to the frame that currentFrame of currentAnimation shows; raises
    /// std::out_of_range for an unknown animation. The Animator calls it when it switches animations.
    void showFrame();
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

protected:
    /// A trimmed frame is placed where it sits inside its untrimmed picture, so that origin and flipX apply
    /// to the untrimmed picture and trimmed frames do not jitter.
    sf::Vector2f pivotInPixels(const sf::IntRect& rect) const override;

private:
    /// The frame whose rectangle showFrame set last.
    SpriteAnimation::Frame shownFrame;
};

}  // namespace orn
