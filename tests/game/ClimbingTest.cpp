#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <utility>
#include <vector>

#include "LevelTestSupport.hpp"
#include "engine/BoxCollider.hpp"

using gametest::Level;

namespace {

/// A rise of the level's walking surface: the face of a rock box that a body walking in `direction` meets,
/// from the lower surface `lowY` up to the box's top `topY` (map pixels, y grows downwards).
struct Step {
    float faceX;
    float topY;
    float lowY;
    int direction;
    float height() const { return lowY - topY; }
};

using Rock = std::vector<const orn::Tilemap::Object*>;

bool spans(const orn::Tilemap::Object& box, float x) {
    return x > box.x && x < box.x + box.width;
}

/// The top of the highest box at or below y over column x: where a body there comes to stand.
float surfaceBelow(const Rock& rock, float x, float y) {
    float best = INFINITY;
    for (const auto* box : rock) {
        if (spans(*box, x) && box->y >= y) {
            best = std::min(best, box->y);
        }
    }
    return best;
}

/// Whether a body of the given height fits on the surface y over column x.
bool roomAbove(const Rock& rock, float x, float y, float height) {
    return y >= height && std::none_of(rock.begin(), rock.end(), [&](const orn::Tilemap::Object* box) {
               return spans(*box, x) && box->y < y && box->y + box->height > y - height;
           });
}

/// Every rise of the level's solid colliders with room for a body of bodyHeight below and on top, walked
/// into from either side. Heights are not limited here: what is in reach depends on the form.
std::vector<Step> stepsOf(const orn::Tilemap& map, float bodyHeight) {
    Rock rock;
    for (const auto& object : map.getObjectGroup("colliders").objects) {
        if (object->type == "Collider" && !object->getPropertyBool("IsTrigger")) {
            rock.push_back(object.get());
        }
    }
    std::vector<Step> steps;
    for (const auto* box : rock) {
        for (int direction : {1, -1}) {
            const float face = direction > 0 ? box->x : box->x + box->width;
            const float before = face - 8.f * static_cast<float>(direction);
            const float onTop = face + 8.f * static_cast<float>(direction);
            const float low = surfaceBelow(rock, before, box->y);
            if (low > box->y && std::isfinite(low) && roomAbove(rock, onTop, box->y, bodyHeight) &&
                roomAbove(rock, before, low, bodyHeight)) {
                steps.push_back({face, box->y, low, direction});
            }
        }
    }
    return steps;
}

/// Drives the real level's player at a fixed frame rate, or with frame times repeating `pattern` (seconds)
/// from the start of every walk, logic only (nothing here depends on drawing).
class Climber {
public:
    Climber(Level& played, int framesPerSecond, std::vector<float> pattern)
        : level(played), fps(framesPerSecond), frameTimes(std::move(pattern)) {
        if (frameTimes.empty()) {
            frameTimes.push_back(1.f / static_cast<float>(fps));
        }
        for (const auto& enemy : level.allTagged("Enemy")) {
            enemy->setActive(false);  // the climb alone is under test
        }
    }

    /// The enabled solid box of the player's root: the active form's body.
    sf::FloatRect body() const {
        for (const auto& entry : level.playerObject()->getComponents()) {
            auto box = std::dynamic_pointer_cast<orn::BoxCollider>(entry.lock());
            if (box && box->enabled && !box->isTrigger) {
                return box->getWorldRect();
            }
        }
        return {};
    }

    /// Takes the form and lets the player settle with its feet at (x, y); false if it never stands still.
    bool standAt(Form form, float x, float y) {
        release();
        level.forms()->setFormAvailable(form, true);
        level.forms()->transmutate(form);
        frames(1);
        level.playerObject()->getTransform().lock()->setPosition({x, y});
        level.body()->velocity = {};
        for (int frame = 0; frame < fps; ++frame) {
            const float lastY = level.position().y;
            frames(1);
            if (level.player()->isGrounded() && std::fabs(level.position().y - lastY) < 0.05f) {
                return true;
            }
        }
        return false;
    }

    /// How high a jump from flat ground lifts the feet, in pixels.
    float jumpHeight(Form form, sf::Vector2f feet) {
        if (!standAt(form, feet.x, feet.y)) {
            return 0.f;
        }
        level.hold(sf::Keyboard::Space);
        float highest = feet.y;
        for (int frame = 0; frame < fps; ++frame) {
            frames(1);
            highest = std::min(highest, level.position().y);
        }
        release();
        return feet.y - highest;
    }

    /// Walks towards the step from `gap` pixels before its face; the frame in which the body reaches the
    /// face, or -1 when it never does.
    int contactFrame(const Step& step, Form form, float gap) {
        if (!startWalk(step, form, gap)) {
            return -1;
        }
        for (int frame = 0; frame < 2 * fps; ++frame) {
            frames(1);
            if (reached(step)) {
                return frame;
            }
        }
        return -1;
    }

    /// Walks towards the step as contactFrame does and presses jump for a tenth of a second from
    /// `pressFrame`; true when the player comes to stand on the step's top within a second of the press.
    bool climbs(const Step& step, Form form, float gap, int pressFrame) {
        if (!startWalk(step, form, gap)) {
            return false;
        }
        const int held = std::max(1, fps / 10);
        for (int frame = 0; frame < pressFrame + held + fps; ++frame) {
            if (frame == pressFrame) {
                level.hold(sf::Keyboard::Space);
            } else if (frame == pressFrame + held) {
                level.release(sf::Keyboard::Space);
            }
            frames(1);
            if (frame > pressFrame && onTop(step)) {
                return true;
            }
        }
        return false;
    }

private:
    void frames(int count) {
        for (int i = 0; i < count; ++i) {
            level.driver.game().update(sf::seconds(frameTimes[tick++ % frameTimes.size()]));
        }
    }

    void release() {
        for (auto key : {sf::Keyboard::A, sf::Keyboard::D, sf::Keyboard::Space}) {
            level.release(key);
        }
    }

    bool startWalk(const Step& step, Form form, float gap) {
        const sf::FloatRect box = body();
        const float x = step.faceX - static_cast<float>(step.direction) * (box.width / 2.f + gap);
        if (!standAt(form, x, step.lowY)) {
            return false;
        }
        level.hold(step.direction > 0 ? sf::Keyboard::D : sf::Keyboard::A);
        tick = 0;
        return true;
    }

    bool reached(const Step& step) const {
        const sf::FloatRect box = body();
        const float edge = step.direction > 0 ? box.left + box.width : box.left;
        return static_cast<float>(step.direction) * (edge - step.faceX) > -0.5f;
    }

    bool onTop(const Step& step) const {
        const sf::Vector2f feet = level.position();
        return level.player()->isGrounded() && std::fabs(feet.y - step.topY) < 1.f &&
               static_cast<float>(step.direction) * (feet.x - step.faceX) > 0.f;
    }

    Level& level;
    int fps;
    std::vector<float> frameTimes;
    std::size_t tick = 0;
};

/// Presses jump at moments from 50 ms before the body meets each step within the form's reach until half a
/// second of pushing against it, each from two starting distances (different phases of the frames and
/// physics steps against the contact).
void climbEveryStep(int fps, std::vector<float> frameTimes = {}) {
    Level level;
    ASSERT_TRUE(level.land());
    const sf::Vector2f start = level.position();
    Climber climber(level, fps, std::move(frameTimes));
    std::vector<Step> steps = stepsOf(level.map(), climber.body().height);
    ASSERT_FALSE(steps.empty());

    // Moments of the press against the contact, in milliseconds, as whole frames of this rate.
    std::vector<int> offsets;
    for (int ms : {-50, -33, -17, 0, 17, 33, 50, 100, 150, 250, 500}) {
        const int frame = static_cast<int>(std::lround(static_cast<float>(ms * fps) / 1000.f));
        if (std::find(offsets.begin(), offsets.end(), frame) == offsets.end()) {
            offsets.push_back(frame);
        }
    }

    for (Form form : {Form::Human, Form::Rat}) {
        int stepsInReach = 0;
        const float reach = climber.jumpHeight(form, start);
        ASSERT_GT(reach, 16.f) << "form " << static_cast<int>(form);
        for (const Step& step : steps) {
            if (step.height() >= reach) {
                continue;
            }
            ++stepsInReach;
            for (float gap : {28.f, 28.f + 100.f / static_cast<float>(3 * fps)}) {
                const int contact = climber.contactFrame(step, form, gap);
                ASSERT_GE(contact, 0) << "never reached the step at x " << step.faceX;
                std::ostringstream failed;
                for (int offset : offsets) {
                    if (!climber.climbs(step, form, gap, contact + offset)) {
                        failed << " " << offset;
                    }
                }
                EXPECT_TRUE(failed.str().empty())
                    << "form " << static_cast<int>(form) << " at " << fps << " fps did not get up the "
                    << step.height() << " px step at x " << step.faceX << " (walking "
                    << (step.direction > 0 ? "right" : "left") << ", from " << gap
                    << " px) with jumps pressed at these frames from the contact:" << failed.str();
            }
        }
        // The rat reaches the one-tile steps, the human the two-tile ones as well.
        EXPECT_GE(stepsInReach, form == Form::Rat ? 2 : 8) << "form " << static_cast<int>(form);
    }
}

}  // namespace

TEST(Climbing, EveryStepInReachIsClimbedAt60FramesPerSecond) {
    climbEveryStep(60);
}

TEST(Climbing, EveryStepInReachIsClimbedAt30FramesPerSecond) {
    climbEveryStep(30);
}

TEST(Climbing, EveryStepInReachIsClimbedAt20FramesPerSecond) {
    climbEveryStep(20);
}

TEST(Climbing, EveryStepInReachIsClimbedWithFrameTimesAlternating84And16Milliseconds) {
    climbEveryStep(20, {0.084f, 0.016f});
}
