#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include "LevelTestSupport.hpp"

using gametest::Level;

namespace {

/// A rise of the level's walking surface: the face of a rock box that a body walking in `direction` meets,
/// from the lower surface `lowY` up to the box's top `topY` (map pixels, y grows downwards).
struct Step {
    float faceX;
    float topY;
    float lowY;
    int direction;
};

/// Every rise of the level's solid boxes with room for a body of bodyHeight below and on top, walked into
/// from either side. Heights are not limited here: what is in reach depends on the form.
std::vector<Step> stepsOf(const Level& level, float bodyHeight) {
    const auto& boxes = level.map().getObjectGroup("colliders").objects;
    const auto roomAbove = [&](float x, float y) {
        return y >= bodyHeight && std::none_of(boxes.begin(), boxes.end(), [&](const auto& box) {
                   return !box->getPropertyBool("IsTrigger") && x > box->x && x < box->x + box->width &&
                          box->y < y && box->y + box->height > y - bodyHeight;
               });
    };
    std::vector<Step> steps;
    for (const auto& box : boxes) {
        for (int direction : {1, -1}) {
            const float face = direction > 0 ? box->x : box->x + box->width;
            const float before = face - 8.f * static_cast<float>(direction);
            const float low = level.groundBelow(before, box->y);
            if (!box->getPropertyBool("IsTrigger") && low > box->y && std::isfinite(low) &&
                roomAbove(face + 8.f * static_cast<float>(direction), box->y) && roomAbove(before, low)) {
                steps.push_back({face, box->y, low, direction});
            }
        }
    }
    return steps;
}

/// Drives the real level's player with frame durations taken in turn from a pattern, logic only.
class Climber {
public:
    Climber(Level& played, std::vector<float> pattern) : level(played), durations(std::move(pattern)) {
        float total = 0.f;
        for (float seconds : durations) {
            total += seconds;
        }
        perSecond = static_cast<int>(std::lround(static_cast<float>(durations.size()) / total));
        for (const auto& enemy : level.allTagged("Enemy")) {
            enemy->setActive(false);  // the climb alone is under test
        }
    }

    /// Frames in `seconds`, by the pattern's mean frame duration.
    int framesIn(float seconds) const {
        return static_cast<int>(std::lround(seconds * static_cast<float>(perSecond)));
    }

    /// Takes the form and lets the player settle with its feet at (x, y); false if it never stands still.
    bool standAt(Form form, float x, float y) {
        for (auto key : {sf::Keyboard::A, sf::Keyboard::D, sf::Keyboard::Space}) {
            level.release(key);
        }
        level.playerObject()->getTransform().lock()->setPosition({x, y});
        level.body()->velocity = {};
        level.forms()->setFormAvailable(form, true);
        level.forms()->transmutate(form);
        for (int frame = 0; frame < perSecond; ++frame) {
            const float lastY = level.position().y;
            frames(1);
            if (level.player()->isGrounded() && std::fabs(level.position().y - lastY) < 0.05f) {
                return true;
            }
        }
        return false;
    }

    /// How high a jump from where the player stands lifts the feet, and the walking speed reached in a
    /// second of walking after it, in pixels and pixels per second.
    std::pair<float, float> jumpAndWalk(Form form, sf::Vector2f feet) {
        if (!standAt(form, feet.x, feet.y)) {
            return {};
        }
        level.hold(sf::Keyboard::Space);
        float highest = feet.y;
        for (int frame = 0; frame < perSecond; ++frame) {
            frames(1);
            highest = std::min(highest, level.position().y);
        }
        level.release(sf::Keyboard::Space);
        level.hold(sf::Keyboard::D);
        frames(perSecond);
        level.release(sf::Keyboard::D);
        return {feet.y - highest, level.body()->velocity.x};
    }

    /// Walks towards the step from `gap` pixels before its face; the frame in which the body reaches the
    /// face, or -1 when it never does.
    int contactFrame(const Step& step, Form form, float gap) {
        if (!startWalk(step, form, gap)) {
            return -1;
        }
        for (int frame = 0; frame < 2 * perSecond; ++frame) {
            frames(1);
            const sf::FloatRect box = level.bodyBox();
            const float edge = step.direction > 0 ? box.left + box.width : box.left;
            if (static_cast<float>(step.direction) * (edge - step.faceX) > -0.5f) {
                return frame;
            }
        }
        return -1;
    }

    /// Walks towards the step as contactFrame does and holds jump for a tenth of a second from `pressFrame`;
    /// whether the player comes to stand on the step's top within a second of the press.
    bool climbs(const Step& step, Form form, float gap, int pressFrame) {
        if (!startWalk(step, form, gap)) {
            return false;
        }
        const int held = std::max(1, framesIn(0.1f));
        for (int frame = 0; frame < pressFrame + held + perSecond; ++frame) {
            if (frame == pressFrame) {
                level.hold(sf::Keyboard::Space);
            } else if (frame == pressFrame + held) {
                level.release(sf::Keyboard::Space);
            }
            frames(1);
            const sf::Vector2f feet = level.position();
            if (frame > pressFrame && level.player()->isGrounded() && std::fabs(feet.y - step.topY) < 1.f &&
                static_cast<float>(step.direction) * (feet.x - step.faceX) > 0.f) {
                return true;
            }
        }
        return false;
    }

private:
    /// Stands the player in the form `gap` pixels before the step's face and holds the key towards it.
    bool startWalk(const Step& step, Form form, float gap) {
        const float x = step.faceX - static_cast<float>(step.direction) * (level.bodyBox().width / 2.f + gap);
        if (!standAt(form, x, step.lowY)) {
            return false;
        }
        level.hold(step.direction > 0 ? sf::Keyboard::D : sf::Keyboard::A);
        next = 0;  // every walk meets the face in the same phase of the pattern
        return true;
    }

    void frames(int count) {
        for (int i = 0; i < count; ++i) {
            level.driver.game().update(sf::seconds(durations[next++ % durations.size()]));
        }
    }

    Level& level;
    std::vector<float> durations;
    std::size_t next = 0;
    int perSecond = 60;
};

/// Frame durations in seconds, used in turn.
class Climbing : public ::testing::TestWithParam<std::vector<float>> {};

/// Presses jump at moments from 50 ms before the body meets each step within the form's reach until half a
/// second of pushing against it, each from two starting distances (different phases of the frames and
/// physics steps against the contact). On the way: the jump and walk the level is built for.
TEST_P(Climbing, EveryStepInReachIsClimbedWhateverTheMomentOfThePress) {
    Level level;
    ASSERT_TRUE(level.land());
    const sf::Vector2f start = level.position();
    Climber climber(level, GetParam());
    const std::vector<Step> steps = stepsOf(level, level.bodyBox().height);
    ASSERT_FALSE(steps.empty());
    std::vector<int> offsets;
    for (float ms : {-50.f, -33.f, -17.f, 0.f, 17.f, 33.f, 50.f, 100.f, 150.f, 250.f, 500.f}) {
        const int frame = climber.framesIn(ms / 1000.f);
        if (std::find(offsets.begin(), offsets.end(), frame) == offsets.end()) {
            offsets.push_back(frame);
        }
    }
    for (Form form : {Form::Human, Form::Rat}) {
        const auto [reach, speed] = climber.jumpAndWalk(form, start);
        if (GetParam() == std::vector<float>{1.f / 60.f}) {  // the walking speed the level is built for
            EXPECT_GT(speed, 100.f);
            EXPECT_LT(speed, 130.f);
        }
        EXPECT_TRUE(form == Form::Rat ? reach > 16.f : reach > 40.f && reach < 58.f) << reach;
        int stepsInReach = 0;
        for (const Step& step : steps) {
            if (step.lowY - step.topY >= reach) {
                continue;
            }
            ++stepsInReach;
            for (float gap : {28.f, 28.f + 100.f / static_cast<float>(3 * climber.framesIn(1.f))}) {
                const int contact = climber.contactFrame(step, form, gap);
                ASSERT_GE(contact, 0) << "never reached the step at x " << step.faceX;
                std::ostringstream failed;
                for (int offset : offsets) {
                    if (!climber.climbs(step, form, gap, contact + offset)) {
                        failed << " " << offset;
                    }
                }
                EXPECT_TRUE(failed.str().empty())
                    << "form " << static_cast<int>(form) << " did not get up the " << step.lowY - step.topY
                    << " px step at x " << step.faceX << " walking " << step.direction << " from " << gap
                    << " px with jumps pressed at these frames from the contact:" << failed.str();
            }
        }
        // The rat reaches the one-tile steps, the human the two-tile ones as well.
        EXPECT_GE(stepsInReach, form == Form::Rat ? 2 : 8) << "form " << static_cast<int>(form);
    }
}

INSTANTIATE_TEST_SUITE_P(FrameRates, Climbing,
                         ::testing::Values(std::vector<float>{1.f / 60.f}, std::vector<float>{1.f / 30.f},
                                           std::vector<float>{1.f / 20.f},
                                           std::vector<float>{0.084f, 0.016f}));

}  // namespace
