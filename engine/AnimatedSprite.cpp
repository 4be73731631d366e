#include "engine/AnimatedSprite.hpp"

#include <algorithm>
#include <cmath>

#include "engine/AssetManager.hpp"
#include "engine/DebugDraw.hpp"
#include "engine/GameObject.hpp"
#include "engine/Time.hpp"
#include "engine/Transform.hpp"

namespace orn {

namespace {

// Bounds the steps of one update so that absurd speeds or frame times cannot overflow the frame index; a
// real frame never comes near it.
constexpr float kMaxStepsPerUpdate = 1 << 30;

}  // namespace

AnimatedSprite::AnimatedSprite(const std::string& textureKey, const std::string& spriteAnimationKey,
                               const std::string& animationName)
    : Sprite(textureKey),
      spriteAnimation(*AssetManager::getInstance().getSpriteAnimation(spriteAnimationKey)),
      currentAnimation(animationName) {}

void AnimatedSprite::showFrame() {
    shownFrame = spriteAnimation.getPlayedFrame(currentAnimation, currentFrame);
    sprite.setTextureRect(shownFrame.rect);
}

void AnimatedSprite::update() {
    showFrame();
    const float frameTime = (1.f / speed) * (static_cast<float>(shownFrame.duration) / 1000.f);

    elapsedTime += Time::getInstance().deltaTime;
    // A frame time of zero or less (speed 0 or below) would step without end, so the frame holds instead.
    if (!(frameTime > 0.f) || !(elapsedTime >= frameTime)) {
        return;
    }
    const float steps = std::trunc(std::min(elapsedTime / frameTime, kMaxStepsPerUpdate));
    const SpriteAnimation::Animation& animation = spriteAnimation.getAnimation(currentAnimation);
    const std::int64_t end = SpriteAnimation::playLength(animation, loop);
    std::int64_t next = static_cast<std::int64_t>(currentFrame) + static_cast<std::int64_t>(steps);
    if (end == 0) {
        next %= SpriteAnimation::cycleLength(animation);
    } else if (next >= end) {
        next = end - 1;
    }
    currentFrame = static_cast<std::int32_t>(next);
    elapsedTime -= steps * frameTime;
}

sf::Vector2f AnimatedSprite::pivotInPixels(const sf::IntRect& rect) const {
    const sf::Vector2i size(shownFrame.rect.width, shownFrame.rect.height);
    if (!shownFrame.trimmed || size.x <= 0 || size.y <= 0) {
        return Sprite::pivotInPixels(rect);
    }
    // Mirrored, the trimmed part sits as far from the picture's right edge as it sat from its left.
    // In floating point: the sheet's integers may be anything in 32 bits, and their differences overflow.
    const sf::Vector2f source(shownFrame.sourceSize);
    const sf::Vector2f offset(shownFrame.offset);
    const float left = flipX ? source.x - offset.x - static_cast<float>(size.x) : offset.x;
    return {source.x * origin.x - left, source.y * origin.y - offset.y};
}

void AnimatedSprite::drawDebug() {
    if (auto transform = gameObject->getTransform().lock()) {
        DebugDraw::drawText(std::to_string(currentFrame), transform->getPosition(), "default");
    }
}

}  // namespace orn
