#include <gtest/gtest.h>

#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <algorithm>
#include <cmath>
#include <locale>
#include <vector>

#include "LevelTestSupport.hpp"
#include "WindowCapture.hpp"
#include "game/Text.hpp"
#include "game/ui/UIHud.hpp"
#include "gui/Picture.hpp"
#include "gui/ProgressBar.hpp"

using gametest::Level;

namespace {

sf::FloatRect grown(const sf::FloatRect& rect, float by) {
    return {rect.left - by, rect.top - by, rect.width + 2.f * by, rect.height + 2.f * by};
}

bool contains(const sf::FloatRect& outer, const sf::FloatRect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top &&
           inner.left + inner.width <= outer.left + outer.width &&
           inner.top + inner.height <= outer.top + outer.height;
}

/// A GUI widget's box in world pixels for a view centred at `centre` (the level's view is the window at
/// half size).
sf::FloatRect inWorld(const gui::Widget& widget, sf::Vector2f centre, sf::Vector2f viewSize) {
    const float zoom = 2.f;
    return {centre.x - viewSize.x / 2.f + widget.getPosition().x / zoom,
            centre.y - viewSize.y / 2.f + widget.getPosition().y / zoom, widget.getSize().x / zoom,
            widget.getSize().y / zoom};
}

/// The top of the first solid box at or below y over column x: where the player stands there.
float surfaceBelow(const orn::Tilemap& map, float x, float y) {
    float best = INFINITY;
    for (const auto& box : map.getObjectGroup("colliders").objects) {
        if (!box->getPropertyBool("IsTrigger") && x > box->x && x < box->x + box->width && box->y >= y) {
            best = std::min(best, box->y);
        }
    }
    return best;
}

UIHud* findHud(const orn::Scene& scene) {
    for (const auto& entry : scene.layers[0]) {
        if (auto hud = entry.second->getComponent<UIHud>().lock()) {
            return hud.get();
        }
    }
    return nullptr;
}

/// The frame under an icon: the picture at the icon's place that is not an icon.
std::shared_ptr<gui::Picture> frameOf(const orn::Scene& scene, const UIHud& hud,
                                      const gui::Picture::Ptr& icon) {
    for (const auto& widget : scene.gui.getWidgets()) {
        auto picture = std::dynamic_pointer_cast<gui::Picture>(widget);
        if (picture && picture != hud.humanIcon && picture != hud.ratIcon && picture != hud.minotaurIcon &&
            picture->getPosition() == icon->getPosition()) {
            return picture;
        }
    }
    return nullptr;
}

}  // namespace

/// Every tutorial line, seen by a player standing anywhere within 40 pixels of the line's middle (on the
/// ground there, the camera centred on the feet), lies wholly in the view, outline included; and from
/// everywhere the line is in view it is neither cut at the view's top or bottom nor under the health bar or
/// the form indicators as it scrolls past.
TEST(LevelReading, EveryTutorialLineIsWhollyInViewAndClearOfTheHudWhereItIsRead) {
    Level level;
    ASSERT_TRUE(level.land());
    auto scene = level.scene();
    const sf::Vector2f viewSize(400.f, 300.f);
    auto bar = scene->gui.get<gui::ProgressBar>("healthBar");
    UIHud* hud = findHud(*scene);
    ASSERT_TRUE(bar && hud);
    std::vector<std::shared_ptr<gui::Widget>> hudWidgets{bar};
    for (const auto& icon : {hud->humanIcon, hud->ratIcon, hud->minotaurIcon}) {
        hudWidgets.push_back(icon);
    }

    const auto& lines = level.map().getObjectGroup("tutorial").objects;
    ASSERT_GE(lines.size(), 10u);
    for (const auto& line : lines) {
        const sf::Font& font = *orn::AssetManager::getInstance().getFont(line->getProperty("TextFont"));
        sf::Text text(sf::String(line->getProperty("Text"), std::locale()), font,
                      static_cast<unsigned>(line->getPropertyInt("TextSize")));
        text.setPosition(line->x, line->y);
        const sf::FloatRect drawn = grown(text.getGlobalBounds(), 1.f);
        const std::string words = "'" + text.getString().toAnsiString() + "'";
        const float middle = drawn.left + drawn.width / 2.f;
        for (float x = drawn.left - viewSize.x / 2.f; x <= drawn.left + drawn.width + viewSize.x / 2.f;
             x += 4.f) {
            const float feet = surfaceBelow(level.map(), x, drawn.top + drawn.height);
            if (!std::isfinite(feet)) {
                continue;  // inside the rock at the map's ends
            }
            const sf::Vector2f centre(x, feet);
            const sf::FloatRect view = grown(sf::FloatRect(centre - viewSize / 2.f, viewSize), -2.f);
            EXPECT_TRUE(drawn.top >= view.top && drawn.top + drawn.height <= view.top + view.height)
                << words << " is cut at the view's top or bottom seen from x " << x;
            if (std::fabs(x - middle) <= 40.f) {
                EXPECT_TRUE(contains(view, drawn)) << words << " is cut at the view's side seen from x " << x;
            }
            for (const auto& widget : hudWidgets) {
                EXPECT_FALSE(grown(inWorld(*widget, centre, viewSize), 2.f).intersects(drawn))
                    << words << " runs under the HUD seen from x " << x;
            }
        }
    }
}

/// Every lit pixel of a drawn text has only text or the dark outline around it, never the bare background.
TEST(LevelReading, TextsAreOutlinedByOneDarkPixel) {
    auto& driver = gametest::GameDriver::instance();
    auto scene = std::make_shared<gametest::ScriptedScene>();
    scene->onInit = [](gametest::ScriptedScene& self) {
        orn::GameObject* object = self.createGameObject(2);
        object->getTransform().lock()->setPosition({10.f, 10.f});
        object->addComponent<Text>("Hi, stars!", 8u, "default");
    };
    driver.enter(scene);
    sf::RenderWindow& window = driver.game().getWindow();
    window.setView(window.getDefaultView());  // a scene without a camera keeps the view it is given
    driver.frame();
    const sf::Image image = captureWindow(window);

    const sf::Color outline(7, 8, 13);
    int lit = 0;
    int outlined = 0;
    for (unsigned y = 1; y < 40; ++y) {
        for (unsigned x = 1; x < 120; ++x) {
            const sf::Color c = image.getPixel(x, y);
            outlined += c == outline ? 1 : 0;
            if (c.r < 128) {
                continue;
            }
            ++lit;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const sf::Color n =
                        image.getPixel(x + static_cast<unsigned>(dx), y + static_cast<unsigned>(dy));
                    EXPECT_NE(n, sf::Color::Black)
                        << "bare background beside the letter pixel " << x << ", " << y;
                }
            }
        }
    }
    EXPECT_GT(lit, 20);
    EXPECT_GT(outlined, lit / 2);
}

/// The frame of the form the player has is drawn differently from the two others, and the mark follows
/// a change of form in the same frame.
TEST(LevelReading, TheHudMarksTheActiveFormsFrame) {
    Level level;
    ASSERT_TRUE(level.land());
    auto scene = level.scene();
    UIHud* hud = findHud(*scene);
    ASSERT_NE(hud, nullptr);
    const auto human = frameOf(*scene, *hud, hud->humanIcon);
    const auto rat = frameOf(*scene, *hud, hud->ratIcon);
    const auto minotaur = frameOf(*scene, *hud, hud->minotaurIcon);
    ASSERT_TRUE(human && rat && minotaur);
    const sf::Texture* plain = orn::AssetManager::getInstance().getTexture("indicator_bg");

    EXPECT_NE(human->getTexture().getTexture(), plain);
    EXPECT_EQ(rat->getTexture().getTexture(), plain);
    EXPECT_EQ(minotaur->getTexture().getTexture(), plain);
    EXPECT_EQ(human->getTexture().getMiddleRect(), rat->getTexture().getMiddleRect());

    level.forms()->setFormAvailable(Form::Rat, true);
    level.hold(sf::Keyboard::E);
    level.frames(1);
    level.release(sf::Keyboard::E);
    ASSERT_EQ(level.forms()->currentForm, Form::Rat);
    EXPECT_EQ(human->getTexture().getTexture(), plain);
    EXPECT_NE(rat->getTexture().getTexture(), plain);
    EXPECT_EQ(minotaur->getTexture().getTexture(), plain);
}
