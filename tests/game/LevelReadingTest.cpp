// The level's own map as the player reads it: tutorial lines in view and clear of the HUD, and their
// outline. How maps are read is tests/engine/MapReadingTest.
#include <gtest/gtest.h>

#include <SFML/Graphics/Text.hpp>
#include <cmath>
#include <locale>
#include <vector>

#include "LevelTestSupport.hpp"
#include "WindowCapture.hpp"
#include "game/Text.hpp"
#include "game/ui/UIHud.hpp"
#include "gui/ProgressBar.hpp"

using gametest::Level;

namespace {

sf::FloatRect grown(const sf::FloatRect& rect, float by) {
    return {rect.left - by, rect.top - by, rect.width + 2.f * by, rect.height + 2.f * by};
}

}  // namespace

/// Every tutorial line, seen by a player standing anywhere within 40 pixels of the line's middle (on the
/// ground there, the camera centred on the feet), lies wholly in the view, outline included; and from
/// everywhere the line is in view it is neither cut at the view's top or bottom nor under the HUD.
TEST(LevelReading, EveryTutorialLineIsWhollyInViewAndClearOfTheHudWhereItIsRead) {
    Level level;
    ASSERT_TRUE(level.land());
    auto scene = level.scene();
    const sf::Vector2f viewSize(400.f, 300.f);
    const auto hud = gametest::firstComponent<UIHud>();
    ASSERT_TRUE(hud && scene->gui.get<gui::ProgressBar>("healthBar"));
    const std::vector<std::shared_ptr<gui::Widget>> hudWidgets{
        scene->gui.get<gui::ProgressBar>("healthBar"), hud->humanIcon, hud->ratIcon, hud->minotaurIcon};
    const auto& lines = level.map().getObjectGroup("tutorial").objects;
    ASSERT_GE(lines.size(), 10u);
    for (const auto& line : lines) {
        const sf::Font& font = *orn::AssetManager::getInstance().getFont(line->getProperty("TextFont"));
        sf::Text text(sf::String(line->getProperty("Text"), std::locale()), font,
                      static_cast<unsigned>(line->getPropertyInt("TextSize")));
        text.setPosition(line->x, line->y);
        const sf::FloatRect drawn = grown(text.getGlobalBounds(), 1.f);
        const std::string words = "'" + text.getString().toAnsiString() + "'";
        for (float x = drawn.left - viewSize.x / 2.f; x <= drawn.left + drawn.width + viewSize.x / 2.f;
             x += 4.f) {
            // Where the player stands: the top of the first solid box at or below the line over x.
            float feet = INFINITY;
            for (const auto& box : level.map().getObjectGroup("colliders").objects) {
                if (!box->getPropertyBool("IsTrigger") && x > box->x && x < box->x + box->width &&
                    box->y >= drawn.top + drawn.height) {
                    feet = std::min(feet, box->y);
                }
            }
            if (!std::isfinite(feet)) {
                continue;  // inside the rock at the map's ends
            }
            const sf::Vector2f centre(x, feet);
            const sf::FloatRect view = grown(sf::FloatRect(centre - viewSize / 2.f, viewSize), -2.f);
            EXPECT_TRUE(drawn.top >= view.top && drawn.top + drawn.height <= view.top + view.height)
                << words << " is cut at the view's top or bottom seen from x " << x;
            sf::FloatRect inside;
            if (std::fabs(x - (drawn.left + drawn.width / 2.f)) <= 40.f) {
                EXPECT_TRUE(view.intersects(drawn, inside) && inside == drawn)
                    << words << " is cut at the view's side seen from x " << x;
            }
            // The level's view is the window at half size.
            for (const auto& widget : hudWidgets) {
                const sf::Vector2f corner = centre - viewSize / 2.f + widget->getPosition() / 2.f;
                const sf::FloatRect box(corner, widget->getSize() / 2.f);
                EXPECT_FALSE(grown(box, 2.f).intersects(drawn))
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
    int lit = 0;
    int outlined = 0;
    for (unsigned y = 1; y < 40; ++y) {
        for (unsigned x = 1; x < 120; ++x) {
            const sf::Color c = image.getPixel(x, y);
            outlined += c == sf::Color(7, 8, 13) ? 1 : 0;
            lit += c.r >= 128 ? 1 : 0;
            for (int d = 0; d < 9 && c.r >= 128; ++d) {
                EXPECT_NE(image.getPixel(x + d % 3 - 1, y + d / 3 - 1), sf::Color::Black)
                    << "bare background beside the letter pixel " << x << ", " << y;
            }
        }
    }
    EXPECT_GT(lit, 20);
    EXPECT_GT(outlined, lit / 2);
}
