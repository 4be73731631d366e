#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>

#include "LevelTestSupport.hpp"
#include "WindowCapture.hpp"
#include "engine/BoxCollider.hpp"
#include "game/Enemy.hpp"

using gametest::Level;

namespace {

/// Plays the level as a patient player would: walks right, slashes what stands in the way, jumps when
/// stopped, and takes the rat in the rat's region and the minotaur in the minotaur's. Every decision reads
/// only what a player sees (positions of the characters and blocks, the forms the HUD offers), so a change
/// of physics or gameplay that makes the level unwinnable fails the run.
class Walkthrough {
public:
    explicit Walkthrough(Level& playedLevel) : level(playedLevel) {
        if (const char* folder = std::getenv("KESTRITH_PLAYTHROUGH_SHOTS")) {
            shotFolder = folder;
        }
    }

    /// Plays until the player reaches endX or the time runs out; returns whether it got there.
    bool playTo(float endX, int maxFrames) {
        float lastProgressX = level.position().x;
        int framesWithoutProgress = 0;
        for (int frame = 0; frame < maxFrames; ++frame) {
            if (!level.playerObject()) {
                return false;
            }
            const sf::Vector2f at = level.position();
            if (at.x >= endX) {
                shoot("6-ending");
                return true;
            }
            if (formsUsed.insert(level.forms()->currentForm).second && frame > 0) {
                shoot(level.forms()->currentForm == Form::Rat ? "3-rat" : "4-minotaur");
            }
            const std::size_t crates = level.allTagged("Destroyable").size();
            if (crates < lastCrates && lastCrates != 0) {
                shoot("5-crates-breaking");
            }
            lastCrates = crates;
            if (frame == 0) {
                shoot("1-start");
            }
            if (level.scene() != scene) {
                ++deaths;
                scene = level.scene();
            }

            level.release(sf::Keyboard::Space);
            level.release(sf::Keyboard::Enter);
            level.release(sf::Keyboard::E);
            if (wantedForm() != level.forms()->currentForm && frame % 2 == 0) {
                level.hold(sf::Keyboard::E);
            }

            if (somethingToSlash(at)) {
                if (!metEnemy) {
                    metEnemy = true;
                    shoot("2-first-enemy");
                }
                level.release(sf::Keyboard::D);
                if (!level.player()->isAttacking && frame % 2 == 0) {
                    level.hold(sf::Keyboard::Enter);
                }
            } else {
                level.hold(sf::Keyboard::D);
            }

            if (at.x > lastProgressX + 2.f) {
                lastProgressX = at.x;
                framesWithoutProgress = 0;
            } else if (++framesWithoutProgress > 20 && level.player()->isGrounded()) {
                level.hold(sf::Keyboard::Space);
                framesWithoutProgress = 0;
            }
            level.frames(1);
        }
        return false;
    }

    std::set<Form> formsUsed;
    int deaths = 0;

private:
    /// With KESTRITH_PLAYTHROUGH_SHOTS set, keeps what the window shows at the run's key moments (the frame
    /// drawn last), as name.png in that folder; each name once.
    void shoot(const std::string& name) {
        if (shotFolder.empty() || !shot.insert(name).second) {
            return;
        }
        captureWindow(level.driver.game().getWindow()).saveToFile(shotFolder + "/" + name + ".png");
    }

    Form wantedForm() const {
        auto forms = level.forms();
        if (forms->minotaurAvailable) {
            return Form::Minotaur;
        }
        return forms->ratAvailable ? Form::Rat : Form::Human;
    }

    bool somethingToSlash(sf::Vector2f at) const {
        for (const auto& enemy : level.allTagged("Enemy")) {
            const sf::Vector2f there = enemy->getTransform().lock()->getPosition();
            if (enemy->getComponent<Enemy>().lock()->alive && there.x - at.x > -4.f &&
                there.x - at.x < 40.f && std::fabs(there.y - at.y) < 24.f) {
                return true;
            }
        }
        if (level.forms()->currentForm != Form::Minotaur) {
            return false;
        }
        for (const auto& block : level.allTagged("Destroyable")) {
            const sf::Vector2f there = block->getTransform().lock()->getPosition();
            if (there.x - at.x > -4.f && there.x - at.x < 48.f && at.y - there.y < 64.f &&
                there.y - at.y < 8.f) {
                return true;
            }
        }
        return false;
    }

    Level& level;
    std::shared_ptr<orn::Scene> scene = level.scene();
    std::string shotFolder;
    std::set<std::string> shot;
    std::size_t lastCrates = 0;
    bool metEnemy = false;
};

/// Where the level's ending area starts: the last tutorial text (the thanks), in map pixels.
float endingX(const orn::Scene& scene) {
    float x = 0.f;
    for (const auto& entry : scene.layers[2]) {
        x = std::max(x, entry.second->getTransform().lock()->getPosition().x);
    }
    return x;
}

}  // namespace

TEST(Playthrough, OnePlanFinishesTheLevelUsingEveryForm) {
    Level level;
    ASSERT_TRUE(level.land());
    const float end = endingX(*level.scene());
    ASSERT_GT(end, level.position().x);

    Walkthrough player(level);
    const bool finished = player.playTo(end, 60 * 240);
    EXPECT_TRUE(finished) << "stopped at x " << level.position().x << " of " << end;
    EXPECT_EQ(player.deaths, 0);
    EXPECT_EQ(player.formsUsed, (std::set<Form>{Form::Human, Form::Rat, Form::Minotaur}));
    EXPECT_TRUE(level.allTagged("Enemy").size() < 4u);
}
