#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "FrontEndHarness.hpp"
#include "engine/AssetManager.hpp"
#include "engine/EventBus.hpp"
#include "engine/GameObject.hpp"
#include "game/Health.hpp"
#include "game/Transmutation.hpp"
#include "game/ui/UIHud.hpp"
#include "gui/Picture.hpp"
#include "gui/ProgressBar.hpp"

namespace {

using frontend::click;
using frontend::current;
using frontend::currentIs;
using frontend::widgetWithText;

/// Only what the HUD needs of the level: its textures, the menu's theme and one object with the HUD.
class HudScene : public orn::Scene {
public:
    void init() override {
        orn::AssetManager& assets = orn::AssetManager::getInstance();
        assets.loadTheme("default_theme", "gui/gui_theme.txt");
        assets.loadTexture("indicator_bg", "gui/indicator_bg.png");
        assets.loadTexture("forms", "gui/forms.png");
        hud = createGameObject(0)->addComponent<UIHud>();
    }
    void unload() override { orn::AssetManager::getInstance().clearSceneAssets(); }

    /// Owned by its game object, which the scene owns.
    UIHud* hud = nullptr;
};

class Hud : public frontend::GameHarness {
protected:
    void SetUp() override {
        GameHarness::SetUp();
        start<HudScene>();
        frame();
        hud = std::dynamic_pointer_cast<HudScene>(current())->hud;
        ASSERT_NE(hud, nullptr);
    }

    static std::shared_ptr<gui::ProgressBar> healthBar() {
        return current()->gui.get<gui::ProgressBar>("healthBar");
    }

    /// The widgets in drawing order: the bar, the centre, right and left frames, then the three icons.
    static std::shared_ptr<gui::Widget> widget(std::size_t index) {
        return current()->gui.getWidgets().at(index);
    }

    static void fireHealth(float health) {
        orn::EventBus::getInstance().fire("playerHealthChanged",
                                          std::make_shared<Health::HealthChangedEvent>(health));
    }
    static void fireForms(bool human, bool rat, bool minotaur) {
        orn::EventBus::getInstance().fire(
            "formsAvailableChanged",
            std::make_shared<Transmutation::FormsAvailableArgs>(human, rat, minotaur));
    }

    UIHud* hud = nullptr;
};

/// The bar in the top-left corner, one 32nd of the height in, a fifth of the width wide; the indicators
/// squares of a twelfth of the height, 10 pixels above the bottom, the centre one centred and the side ones
/// half an indicator away from it; each icon exactly over its frame.
void expectHudLayout(const std::vector<gui::Widget::Ptr>& widgets, UIHud& hud, float width, float height) {
    ASSERT_EQ(widgets.size(), 7u);
    const auto& bar = widgets[0];
    EXPECT_FLOAT_EQ(bar->getPosition().x, height / 32.f);
    EXPECT_FLOAT_EQ(bar->getPosition().y, height / 32.f);
    EXPECT_FLOAT_EQ(bar->getSize().x, width / 5.f);
    EXPECT_FLOAT_EQ(bar->getSize().y, 32.f);

    const float side = height / 12.f;
    const float top = height - side - 10.f;
    const float centreX = width / 2.f - side / 2.f;
    const auto& centre = widgets[1];
    const auto& right = widgets[2];
    const auto& left = widgets[3];
    for (const auto& frame : {centre, right, left}) {
        EXPECT_FLOAT_EQ(frame->getSize().x, side);
        EXPECT_FLOAT_EQ(frame->getSize().y, side);
        EXPECT_FLOAT_EQ(frame->getPosition().y, top);
    }
    EXPECT_FLOAT_EQ(centre->getPosition().x, centreX);
    EXPECT_FLOAT_EQ(right->getPosition().x, centreX + 1.5f * side);
    EXPECT_FLOAT_EQ(left->getPosition().x, centreX - 1.5f * side);

    EXPECT_EQ(widgets[4], hud.humanIcon);
    EXPECT_EQ(widgets[5], hud.ratIcon);
    EXPECT_EQ(widgets[6], hud.minotaurIcon);
    EXPECT_EQ(hud.humanIcon->getPosition(), left->getPosition());
    EXPECT_EQ(hud.ratIcon->getPosition(), centre->getPosition());
    EXPECT_EQ(hud.minotaurIcon->getPosition(), right->getPosition());
    for (const auto& icon : {hud.humanIcon, hud.ratIcon, hud.minotaurIcon}) {
        EXPECT_EQ(icon->getSize(), sf::Vector2f(side, side));
    }
}

TEST_F(Hud, SitsInTheCornersAt800x600AndFollowsTheWindowSize) {
    {
        SCOPED_TRACE("800 x 600");
        expectHudLayout(current()->gui.getWidgets(), *hud, 800.f, 600.f);
        // The figures for the game's own window, written out.
        EXPECT_EQ(widget(0)->getPosition(), sf::Vector2f(18.75f, 18.75f));
        EXPECT_EQ(widget(0)->getSize(), sf::Vector2f(160.f, 32.f));
        EXPECT_EQ(widget(1)->getPosition(), sf::Vector2f(375.f, 540.f));
        EXPECT_EQ(widget(2)->getPosition(), sf::Vector2f(450.f, 540.f));
        EXPECT_EQ(widget(3)->getPosition(), sf::Vector2f(300.f, 540.f));
        EXPECT_EQ(widget(1)->getSize(), sf::Vector2f(50.f, 50.f));
    }
    resize(1024, 768);
    frame();
    {
        SCOPED_TRACE("1024 x 768");
        expectHudLayout(current()->gui.getWidgets(), *hud, 1024.f, 768.f);
    }
}

TEST_F(Hud, IconsShowTheFrameAndIconTexturesFromTheirSheets) {
    const auto* frame = dynamic_cast<gui::Picture*>(widget(1).get());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->getTexture().getTexture(), orn::AssetManager::getInstance().getTexture("indicator_bg"));
    EXPECT_EQ(frame->getTexture().getMiddleRect(), sf::IntRect(3, 3, 1, 10));

    const sf::Texture* forms = orn::AssetManager::getInstance().getTexture("forms");
    EXPECT_EQ(hud->humanIcon->getTexture().getTexture(), forms);
    // The middle of each 64 x 64 cell, as large as the 50-pixel indicator: drawn at scale 1.
    EXPECT_EQ(hud->humanIcon->getTexture().getPartRect(), sf::IntRect(7, 7, 50, 50));
    EXPECT_EQ(hud->ratIcon->getTexture().getPartRect(), sf::IntRect(71, 7, 50, 50));
    EXPECT_EQ(hud->minotaurIcon->getTexture().getPartRect(), sf::IntRect(135, 7, 50, 50));
}

TEST_F(Hud, IconsKeepAWholeNumberScaleAtOtherWindowSizes) {
    // Indicator sides 64 and 100: scale 1 of the whole cell, then scale 2 of its middle.
    const std::vector<std::pair<unsigned, sf::IntRect>> sizes{{768, {64, 0, 64, 64}},
                                                              {1200, {71, 7, 50, 50}}};
    for (const auto& size : sizes) {
        resize(size.first * 4 / 3, size.first);
        frame();  // the GUI takes the new size as it draws; the HUD refits after that
        frame();
        const sf::IntRect part = hud->ratIcon->getTexture().getPartRect();
        EXPECT_EQ(part, size.second) << size.first;
        const float scale = hud->ratIcon->getSize().x / static_cast<float>(part.width);
        EXPECT_FLOAT_EQ(scale, std::round(scale)) << size.first;
    }
}

TEST_F(Hud, HealthBarShowsTheHealthTruncatedWithinItsRange) {
    auto bar = healthBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->getMinimum(), 0u);
    EXPECT_EQ(bar->getMaximum(), 100u);
    EXPECT_EQ(bar->getValue(), 50u) << "half full until the player's health is known";

    fireHealth(37.9f);
    EXPECT_EQ(bar->getValue(), 37u);
    fireHealth(100.f);
    EXPECT_EQ(bar->getValue(), 100u);
    fireHealth(250.f);
    EXPECT_EQ(bar->getValue(), 100u);
    fireHealth(0.5f);
    EXPECT_EQ(bar->getValue(), 0u);
    fireHealth(-3.f);
    EXPECT_EQ(bar->getValue(), 0u);
}

TEST_F(Hud, IconsFollowTheAvailableFormsWhileTheFramesStay) {
    for (const auto& icon : {hud->humanIcon, hud->ratIcon, hud->minotaurIcon}) {
        EXPECT_TRUE(icon->isVisible()) << "every icon shows until the forms are announced";
    }

    fireForms(true, false, false);
    EXPECT_TRUE(hud->humanIcon->isVisible());
    EXPECT_FALSE(hud->ratIcon->isVisible());
    EXPECT_FALSE(hud->minotaurIcon->isVisible());

    fireForms(false, true, true);
    EXPECT_FALSE(hud->humanIcon->isVisible());
    EXPECT_TRUE(hud->ratIcon->isVisible());
    EXPECT_TRUE(hud->minotaurIcon->isVisible());

    for (std::size_t frame = 1; frame <= 3; ++frame) {
        EXPECT_TRUE(widget(frame)->isVisible());
    }
}

TEST_F(Hud, IgnoresOtherEventsAndPayloadsOfTheWrongKind) {
    hud->onEvent("playerHit", std::make_shared<Health::HealthChangedEvent>(10.f));
    hud->onEvent("playerHealthChanged",
                 std::make_shared<Transmutation::FormsAvailableArgs>(false, false, false));
    hud->onEvent("formsAvailableChanged", std::make_shared<Health::HealthChangedEvent>(10.f));
    EXPECT_EQ(healthBar()->getValue(), 50u);
    EXPECT_TRUE(hud->humanIcon->isVisible());
}

}  // namespace
