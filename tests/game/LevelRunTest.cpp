#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <set>
#include <sstream>
#include <vector>

#include "LevelTestSupport.hpp"
#include "WindowCapture.hpp"
#include "engine/Camera.hpp"
#include "engine/PhysicsManager.hpp"
#include "engine/Time.hpp"
#include "game/CameraFollow.hpp"
#include "game/Enemy.hpp"
#include "game/FormRecord.hpp"
#include "game/LevelExit.hpp"
#include "game/PauseToggle.hpp"
#include "game/scenes/EndScene.hpp"
#include "game/scenes/MenuScene.hpp"
#include "game/ui/UIEndCard.hpp"
#include "game/ui/UIHud.hpp"
#include "gui/Label.hpp"
#include "gui/ProgressBar.hpp"

using gametest::currentIs;
using gametest::firstComponent;
using gametest::Level;

namespace {

/// Hash of the bodies over the scripted 30 s below, with the brute-force pair walk and with the grid. When a
/// deliberate change to the game or its data alters how the level plays, re-record it from the failing
/// brute-force case; the grid must then match unchanged.
constexpr std::uint64_t recordedHash = 0xa74913436a25ef9bull;

/// Keys for each half second (L left, R right held; J jump, A slash, E change form pressed at its start):
/// the player climbs the steps, fights the first slime, takes the rat and goes through the drain.
constexpr const char* script[60] = {
    "",    "",   "R",  "R",  "RJ", "RJ", "RJ", "RJ", "RJ", "RJ", "RJA", "RJA", "RA", "RA", "RJA",
    "RJA", "RJ", "RJ", "RJ", "RJ", "R",  "E",  "R",  "R",  "R",  "R",   "R",   "R",  "R",  "R",
    "R",   "R",  "RA", "A",  "RA", "A",  "RA", "A",  "RA", "A",  "RA",  "A",   "RA", "A",  "RA",
    "A",   "RA", "A",  "LJ", "L",  "RJ", "R",  "R",  "R",  "R",  "R",   "R",   "R",  "R",  "",
};

/// FNV-1a over the bit patterns of the positions and velocities of every body, in registration order.
std::uint64_t hashBodies(std::uint64_t hash) {
    for (const orn::Rigidbody* body : orn::PhysicsManager::getInstance().rigidbodies) {
        const sf::Vector2f position = body->gameObject->getTransform().lock()->getPosition();
        for (float value : {position.x, position.y, body->velocity.x, body->velocity.y}) {
            std::uint32_t bits = 0;
            std::memcpy(&bits, &value, sizeof bits);
            for (int byte = 0; byte < 4; ++byte) {
                hash = (hash ^ ((bits >> (8 * byte)) & 0xffu)) * 0x100000001b3ull;
            }
        }
    }
    return hash;
}

/// The HUD's frame of a form: the picture at its icon's place that is not the icon.
std::shared_ptr<gui::Picture> hudFrame(const orn::Scene& scene, Form form) {
    const UIHud& hud = *firstComponent<UIHud>();
    const gui::Picture::Ptr icons[] = {hud.humanIcon, hud.ratIcon, hud.minotaurIcon};
    const gui::Picture::Ptr& icon = icons[static_cast<int>(form)];
    for (const auto& widget : scene.gui.getWidgets()) {
        auto picture = std::dynamic_pointer_cast<gui::Picture>(widget);
        if (picture && std::find(std::begin(icons), std::end(icons), picture) == std::end(icons) &&
            picture->getPosition() == icon->getPosition()) {
            return picture;
        }
    }
    return nullptr;
}

/// Watches a run frame by frame for what must always hold, and plays as a patient player would: walks
/// right, slashes what stands in the way, jumps when stopped, takes the rat and the minotaur where they are
/// offered. Every decision reads only what a player sees, so a change that makes the level unwinnable
/// fails the run. With KESTRITH_PLAYTHROUGH_SHOTS set, keeps the window at the run's key moments.
class Walkthrough {
public:
    explicit Walkthrough(Level& played) : level(played) {
        if (const char* folder = std::getenv("KESTRITH_PLAYTHROUGH_SHOTS")) {
            shotFolder = folder;
        }
    }

    /// Plays from where the player stands until the end card shows or maxFrames have passed.
    void playToTheEnd(int maxFrames) {
        for (int frame = 0; frame < maxFrames && !currentIs<EndScene>(); ++frame) {
            if (level.scene() != scene) {
                ++deaths;
                scene = level.scene();
            }
            if (exitFrame < 0 && firstComponent<LevelExit>()->reached) {
                exitFrame = frames - 1;  // reached in the physics of the frame played last
                shoot("6-the-door");
            }
            steer();
            level.frames(1);
            if (level.playerObject()) {
                check();
            }
        }
        shoot("7-end-card");
    }

    /// Checks the frame just played.
    void check() {
        const auto forms = level.forms();
        if (formsUsed.insert(forms->currentForm).second && frames > 0) {
            shoot(forms->currentForm == Form::Rat ? "3-rat" : "4-minotaur");
        }
        const UIHud& hud = *firstComponent<UIHud>();
        hudMismatches += hud.humanIcon->isVisible() != forms->humanAvailable ||
                         hud.ratIcon->isVisible() != forms->ratAvailable ||
                         hud.minotaurIcon->isVisible() != forms->minotaurAvailable;
        framesInRock += level.bodyInRock();
        // The camera closes a twelfth of the gap to the player's feet (5 per second) in each 60 Hz frame.
        const sf::Vector2f camera =
            firstComponent<CameraFollow>()->getGameObject()->getTransform().lock()->getPosition();
        const sf::Vector2f followed = lastCamera + (level.position() - lastCamera) * (5.f / 60.f);
        cameraLags += frames > 0 && std::hypot(camera.x - followed.x, camera.y - followed.y) > 0.01f;
        lastCamera = camera;
        // A form's text stands over the region that makes the change it tells of.
        const float x = level.position().x;
        for (const auto& line : level.map().getObjectGroup("tutorial").objects) {
            const std::string text = line->getProperty("Text");
            const bool holds =
                text.find("uman again") != std::string::npos            ? forms->currentForm == Form::Human
                : text.find("become a rat") != std::string::npos        ? forms->ratAvailable
                : text.find("become the minotaur") != std::string::npos ? forms->minotaurAvailable
                                                                        : true;
            if (!holds && x > line->x + 8.f && x < line->x + 48.f) {
                textsOutOfPlace.insert(text);
            }
        }
        // A killed enemy plays its death, then leaves.
        for (const auto& enemy : level.allTagged("Enemy")) {
            if (!enemy->getComponent<Enemy>().lock()->alive && dying.insert(enemy).second) {
                shoot("2-enemy-killed");
            }
        }
        for (auto it = dying.begin(); it != dying.end();) {
            enemiesRemoved += it->expired();
            it = it->expired() ? dying.erase(it) : std::next(it);
        }
        if (level.allTagged("Destroyable").size() < crates) {
            shoot("5-crates-breaking");
        }
        crates = level.allTagged("Destroyable").size();
        if (frames++ == 0) {
            shoot("1-start");
        }
    }

    std::set<Form> formsUsed;
    int frames = 0;
    int deaths = 0;
    int enemiesRemoved = 0;
    int hudMismatches = 0;
    int framesInRock = 0;
    int cameraLags = 0;
    std::set<std::string> textsOutOfPlace;
    /// The number of the frame (counted by check) in whose physics the player walked into the exit, or -1.
    int exitFrame = -1;

private:
    void steer() {
        const sf::Vector2f at = level.position();
        for (auto key : {sf::Keyboard::Space, sf::Keyboard::Enter, sf::Keyboard::E}) {
            level.release(key);
        }
        const auto forms = level.forms();
        const Form wanted = forms->minotaurAvailable ? Form::Minotaur
                            : forms->ratAvailable    ? Form::Rat
                                                     : Form::Human;
        if (wanted != forms->currentForm && frames % 2 == 0) {
            level.hold(sf::Keyboard::E);
        }
        if (somethingToSlash(at)) {
            level.release(sf::Keyboard::D);
            if (!level.player()->isAttacking && frames % 2 == 0) {
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

    /// Keeps what the window shows (the frame drawn last) as name.png in the shot folder, each name once.
    void shoot(const std::string& name) {
        if (!shotFolder.empty() && shot.insert(name).second) {
            captureWindow(level.driver.game().getWindow()).saveToFile(shotFolder + "/" + name + ".png");
        }
    }

    Level& level;
    std::shared_ptr<orn::Scene> scene = level.scene();
    std::string shotFolder;
    std::set<std::string> shot;
    std::set<std::weak_ptr<orn::GameObject>, std::owner_less<std::weak_ptr<orn::GameObject>>> dying;
    std::size_t crates = 0;
    sf::Vector2f lastCamera;
    float lastProgressX = 0.f;
    int framesWithoutProgress = 0;
};

/// Plays the script on a freshly entered level, hashing the bodies after every second; checks that the
/// script still reaches what it is meant to. A watcher, if any, checks every frame.
std::uint64_t playScript(Level& level, Walkthrough* watcher) {
    const sf::Vector2f start = level.position();
    float farthest = 0.f;
    float highest = 0.f;
    std::set<Form> forms;
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (int half = 0; half < 60; ++half) {
        for (int frame = 0; frame < 30; ++frame) {
            const auto set = [&](sf::Keyboard::Key key, char letter, bool now) {
                std::strchr(script[half], letter) && now ? level.hold(key) : level.release(key);
            };
            set(sf::Keyboard::A, 'L', true);
            set(sf::Keyboard::D, 'R', true);
            set(sf::Keyboard::Space, 'J', frame < 4);
            set(sf::Keyboard::Enter, 'A', frame < 4);
            set(sf::Keyboard::E, 'E', frame < 4);
            level.frames(1);
            if (watcher) {
                watcher->check();
            }
            farthest = std::max(farthest, level.position().x - start.x);
            highest = std::max(highest, start.y - level.position().y);
            forms.insert(level.forms()->currentForm);
        }
        hash = half % 2 == 1 ? hashBodies(hash) : hash;
    }
    level.driver.held.clear();
    EXPECT_GT(farthest, 1000.f);
    EXPECT_GT(highest, 30.f);
    EXPECT_EQ(forms, (std::set<Form>{Form::Human, Form::Rat}));
    return hash;
}

}  // namespace

/// The real level as the menu starts it: built as specified, the recorded 30 s bit for bit, then on through
/// every form to the lit door, the fade and the end card with the time taken.
TEST(LevelRun, PlaysAsRecordedAndThenToTheEndCard) {
    orn::PhysicsManager::getInstance().accumulator = 0.f;
    Level level;
    ASSERT_NE(orn::Camera::main, nullptr);
    EXPECT_FLOAT_EQ(orn::Camera::main->zoom, 2.f);
    EXPECT_NEAR(orn::Camera::main->view.getSize().x, 400.f, 0.01f);
    EXPECT_EQ(level.scene()->gui.get<gui::ProgressBar>("healthBar")->getValue(), 100u);

    Walkthrough player(level);
    const std::uint64_t hash = playScript(level, &player);
    EXPECT_EQ(hash, recordedHash) << std::hex << "0x" << hash;
    player.playToTheEnd(60 * 240);
    ASSERT_TRUE(currentIs<EndScene>()) << "stopped at x " << level.position().x;
    EXPECT_EQ(player.deaths, 0);
    EXPECT_EQ(player.formsUsed, (std::set<Form>{Form::Human, Form::Rat, Form::Minotaur}));
    EXPECT_GE(player.enemiesRemoved, 2);
    EXPECT_EQ(player.hudMismatches, 0);
    EXPECT_EQ(player.framesInRock, 0);
    EXPECT_EQ(player.cameraLags, 0);
    EXPECT_TRUE(player.textsOutOfPlace.empty()) << *player.textsOutOfPlace.begin();
    // A second of fading, then the card with the play time: the frame of entering and those before the
    // exit's (give or take one).
    EXPECT_NEAR(player.frames - player.exitFrame, 61, 2);
    bool timeShown = false;
    for (int frames = player.exitFrame; frames <= player.exitFrame + 2; ++frames) {
        timeShown = timeShown || gametest::widgetWithText("Time: " + UIEndCard::formatTime(frames / 60.f));
    }
    EXPECT_TRUE(timeShown);
}

TEST(LevelRun, TheBruteForcePairWalkPlaysTheScriptAsRecorded) {
    orn::PhysicsManager::getInstance().accumulator = 0.f;
    orn::PhysicsManager::getInstance().bruteForce = true;
    Level level;
    const std::uint64_t hash = playScript(level, nullptr);
    EXPECT_EQ(hash, recordedHash) << std::hex << "0x" << hash;
    orn::PhysicsManager::getInstance().bruteForce = false;
}

/// Each form's area grants the form to a human walking in from either side and takes it away again on
/// either way out. The human does not fit through the drain; a death restarts the level as it began.
TEST(LevelRun, FormAreasGrantTheirFormInsideAndTakeItOnEitherWayOut) {
    for (Form form : {Form::Rat, Form::Minotaur}) {
        SCOPED_TRACE(FormRecord::of(form).tag);
        Level level;
        ASSERT_TRUE(level.land());
        float left = INFINITY;
        float right = -INFINITY;
        for (const auto& region : level.map().getObjectGroup("triggers").objects) {
            if (region->type == "AvailableRegion" &&
                region->getPropertyBool(FormRecord::of(form).regionProperty)) {
                left = std::min(left, region->x);
                right = std::max(right, region->x + region->width);
            }
        }
        auto available = [&] {
            return form == Form::Rat ? level.forms()->ratAvailable : level.forms()->minotaurAvailable;
        };
        auto walk = [&](sf::Keyboard::Key key, bool untilAvailable) {
            level.hold(key);
            for (int frame = 0; frame < 240 && available() != untilAvailable; ++frame) {
                level.frames(1);
                if (level.player()->isGrounded() && !level.player()->isRunning) {
                    level.press(sf::Keyboard::Space);  // up a step
                }
            }
            level.release(key);
            return available() == untilAvailable;
        };
        // Just clear of the outer regions, which are as wide as the inner ones.
        for (float start : {left - 48.f, right + 48.f}) {
            const bool fromLeft = start < left;
            ASSERT_TRUE(level.placeAt(start, 100.f));
            EXPECT_TRUE(walk(fromLeft ? sf::Keyboard::D : sf::Keyboard::A, true));
            if (fromLeft && form == Form::Rat) {
                const auto& drain =
                    level.mapObject("colliders", [&](const auto& o) { return o.y == 0.f && o.x > left; });
                level.hold(sf::Keyboard::D);
                level.frames(120);
                EXPECT_LT(level.position().x, drain.x) << "the human walked into the drain";
            }
            EXPECT_TRUE(walk(fromLeft ? sf::Keyboard::A : sf::Keyboard::D, false));
            EXPECT_EQ(fromLeft, level.position().x < left);
        }
    }
    Level level;
    std::ostringstream captured;
    std::streambuf* saved = std::cout.rdbuf(captured.rdbuf());
    level.forms()->setFormAvailable(Form::Rat, true);
    level.health()->damage(1000.f, {}, {0.f, 0.f});
    std::cout.rdbuf(saved);
    EXPECT_EQ(captured.str(), "Player died!\n");
    level.frames(1);
    EXPECT_FLOAT_EQ(level.health()->health, 100.f);
    EXPECT_FALSE(level.forms()->ratAvailable);
}

/// A rat turning human where the human's body would reach into the rock or the crates stays a rat, and the
/// HUD's human frame blinks; with room, it turns.
TEST(LevelRun, AFormChangeNeedsRoomForTheNewBody) {
    Level level;
    ASSERT_TRUE(level.land());
    const auto& ratRegion = level.mapObject("triggers", [](const orn::Tilemap::Object& o) {
        return o.type == "AvailableRegion" && o.getPropertyBool("RatFormAvailable");
    });
    // The drain is the low rock overhang after the rat's region; the crates stand under the warehouse roof.
    const auto& drain =
        level.mapObject("colliders", [&](const auto& o) { return o.y == 0.f && o.x > ratRegion.x; });
    const auto& crates = level.mapObject("destroyables", [](const auto&) { return true; });
    const float drainFloor = drain.y + drain.height;
    const struct {
        const char* where;
        float x;
        float y;
        bool fits;
    } cases[] = {{"in the middle of the drain", drain.x + drain.width / 2.f, drainFloor, false},
                 {"in the drain's mouth", drain.x + 2.f, drainFloor, false},
                 {"at the drain's exit", drain.x + drain.width - 2.f, drainFloor, false},
                 {"just out of the drain", drain.x + drain.width + 9.f, drainFloor, true},
                 {"against the crates", crates.x - 4.f, crates.y, false},
                 {"under the warehouse roof", crates.x - 40.f, crates.y, true}};
    const sf::Texture* plain = orn::AssetManager::getInstance().getTexture("indicator_bg");
    for (const auto& row : cases) {
        SCOPED_TRACE(row.where);
        level.forms()->setFormAvailable(Form::Rat, true);
        level.forms()->transmutate(Form::Rat);
        ASSERT_TRUE(level.placeAt(row.x, row.y));
        level.forms()->setFormAvailable(Form::Human, true);
        level.hold(sf::Keyboard::E);
        level.frames(1);
        level.release(sf::Keyboard::E);
        EXPECT_EQ(level.forms()->currentForm, row.fits ? Form::Human : Form::Rat);
        // Refused, the human's frame blinks three times, 0.1 s on and 0.1 s off, while the rat's stays
        // marked; with room, the human's is the marked one.
        std::string blinks;
        for (int frame = 0; frame < 60; ++frame) {
            const char shown =
                hudFrame(*level.scene(), Form::Human)->getTexture().getTexture() != plain ? '#' : '.';
            blinks += blinks.empty() || blinks.back() != shown ? std::string(1, shown) : "";
            level.frames(1);
        }
        EXPECT_EQ(blinks, row.fits ? "#" : "#.#.#.");
        EXPECT_EQ(hudFrame(*level.scene(), Form::Rat)->getTexture().getTexture() != plain, !row.fits);
        EXPECT_EQ(hudFrame(*level.scene(), Form::Minotaur)->getTexture().getTexture(), plain);
        EXPECT_FALSE(level.bodyInRock());
    }
}

/// P stops the world and every action until it is pressed again, and nothing pressed meanwhile acts
/// afterwards; Escape still leaves for the menu, with time and input restored.
TEST(LevelRun, PauseStopsTheWorldAndEveryActionAndEscapeStillLeaves) {
    Level level;
    ASSERT_TRUE(level.land());
    level.forms()->setFormAvailable(Form::Rat, true);
    const auto label = level.scene()->gui.get<gui::Label>(PauseToggle::labelName);
    const auto enemies = [&] {
        std::vector<sf::Vector2f> at;
        for (const auto& enemy : level.allTagged("Enemy")) {
            at.push_back(enemy->getTransform().lock()->getPosition());
        }
        return at;
    };
    level.press(sf::Keyboard::P);
    ASSERT_TRUE(label->isVisible());
    EXPECT_EQ(orn::Time::getInstance().timeScale, 0.f);
    const sf::Vector2f stop = level.position();
    const std::vector<sf::Vector2f> still = enemies();
    const sf::Keyboard::Key actions[] = {sf::Keyboard::D, sf::Keyboard::Space, sf::Keyboard::Enter,
                                         sf::Keyboard::E};
    for (sf::Keyboard::Key key : actions) {
        level.hold(key);
    }
    level.frames(60);
    EXPECT_EQ(level.position(), stop);
    EXPECT_EQ(enemies(), still);
    EXPECT_FALSE(level.player()->isAttacking);
    EXPECT_TRUE(level.body()->impulses.empty()) << "no jump waits for the resume";
    for (sf::Keyboard::Key key : actions) {
        level.release(key);
    }
    level.press(sf::Keyboard::P);
    EXPECT_FALSE(label->isVisible());
    level.frames(60);
    EXPECT_NEAR(level.position().y, stop.y, 0.5f);
    EXPECT_EQ(level.forms()->currentForm, Form::Human);
    EXPECT_NE(enemies(), still) << "the enemies move again";

    level.press(sf::Keyboard::P);
    level.press(sf::Keyboard::Escape);
    EXPECT_TRUE(currentIs<MenuScene>());
    EXPECT_EQ(orn::Time::getInstance().timeScale, 1.f);
    EXPECT_TRUE(orn::InputManager::getInstance().exclusiveActions.empty());
}
