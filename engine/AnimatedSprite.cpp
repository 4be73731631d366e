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

void AnimatedSprite::update() {
    const SpriteAnimation::Frame frame = spriteAnimation.getFrame(currentAnimation, currentFrame);
    const float frameTime = (1.f / speed) * (static_cast<float>(frame.duration) / 1000.f);
    sprite.setTextureRect(frame.rect);

    elapsedTime += Time::getInstance().deltaTime;
    // A frame time of zero or less (speed 0 or below) would step without end, so the frame holds instead.
    if (!(frameTime > 0.f) || !(elapsedTime >= frameTime)) {
        return;
    }
    const float steps = std::trunc(std::min(elapsedTime / frameTime, kMaxStepsPerUpdate));
    const std::int64_t count = spriteAnimation.getFrameCount(currentAnimation);
    std::int64_t next = static_cast<std::int64_t>(currentFrame) + static_cast<std::int64_t>(steps);
    if (next >= count) {
        next = loop ? next % count : count - 1;
    }
    currentFrame = static_cast<std::int32_t>(next);
    elapsedTime -= steps * frameTime;
}

void AnimatedSprite::drawDebug() {
    if (auto transform = gameObject->getTransform().lock()) {
        DebugDraw::drawText(std::to_string(currentFrame), transform->getPosition(), "default");
    }
}

}  // namespace orn
