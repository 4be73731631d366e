#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "GameTestSupport.hpp"
#include "engine/AssetManager.hpp"
#include "engine/EventBus.hpp"
#include "engine/GameObject.hpp"
#include "game/Health.hpp"
#include "game/Transmutation.hpp"
#include "game/scenes/EndScene.hpp"
#include "game/scenes/MenuScene.hpp"
#include "game/ui/UIEndCard.hpp"
#include "game/ui/UIHud.hpp"
#include "gui/Picture.hpp"
#include "gui/ProgressBar.hpp"

namespace {

using gametest::click;
using gametest::current;
using gametest::currentIs;
using gametest::widgetWithText;

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

class Hud : public gametest::GameHarness {
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

/// In a width x height window: the bar in the top-left corner, a 32nd of the height in, a fifth of the width
/// wide; the indicators squares of a twelfth of the height, 10 pixels above the bottom, the centre one
/// centred and the others half an indicator away from it; each icon exactly over its frame, drawn after them.
void expectHudLayout(UIHud& hud, float width, float height) {
    const auto& widgets = current()->gui.getWidgets();
    ASSERT_EQ(widgets.size(), 7u);
    EXPECT_TRUE(widgets[4] == hud.humanIcon && widgets[5] == hud.ratIcon && widgets[6] == hud.minotaurIcon);
    const float side = height / 12.f;
    const float top = height - side - 10.f;
    const float centre = width / 2.f - side / 2.f;
    const sf::FloatRect rat(centre, top, side, side);
    const sf::FloatRect minotaur(centre + 1.5f * side, top, side, side);
    const sf::FloatRect human(centre - 1.5f * side, top, side, side);
    const std::pair<gui::Widget::Ptr, sf::FloatRect> expected[] = {
        {widgets[0], {height / 32.f, height / 32.f, width / 5.f, 32.f}},
        {widgets[1], rat},
        {widgets[2], minotaur},
        {widgets[3], human},
        {hud.humanIcon, human},
        {hud.ratIcon, rat},
        {hud.minotaurIcon, minotaur}};
    for (const auto& [widget, box] : expected) {
        EXPECT_EQ(sf::FloatRect(widget->getPosition(), widget->getSize()), box);
    }
}

TEST_F(Hud, SitsInTheCornersAt800x600AndFollowsTheWindowSize) {
    expectHudLayout(*hud, 800.f, 600.f);
    // The figures for the game's own window, written out.
    EXPECT_EQ(widget(0)->getPosition(), sf::Vector2f(18.75f, 18.75f));
    EXPECT_EQ(widget(1)->getPosition(), sf::Vector2f(375.f, 540.f));
    resize(1024, 768);
    frame();
    expectHudLayout(*hud, 1024.f, 768.f);
}

/// Each icon shows the middle of its 64 x 64 cell of "forms" at a whole-number scale: at 600 pixels of
/// height (50-pixel indicators) the middle 50 x 50 at scale 1, at 768 the whole cell, at 1200 the middle
/// at 2.
TEST_F(Hud, IconsShowTheirCellsAtAWholeNumberScaleOverNineSlicedFrames) {
    const auto* frame = dynamic_cast<gui::Picture*>(widget(1).get());
    EXPECT_EQ(frame->getTexture().getTexture(), orn::AssetManager::getInstance().getTexture("indicator_bg"));
    EXPECT_EQ(frame->getTexture().getMiddleRect(), sf::IntRect(3, 3, 1, 10));
    EXPECT_EQ(hud->humanIcon->getTexture().getTexture(),
              orn::AssetManager::getInstance().getTexture("forms"));
    EXPECT_EQ(hud->humanIcon->getTexture().getPartRect(), sf::IntRect(7, 7, 50, 50));
    EXPECT_EQ(hud->minotaurIcon->getTexture().getPartRect(), sf::IntRect(135, 7, 50, 50));
    const std::vector<std::pair<unsigned, sf::IntRect>> sizes{
        {600, {71, 7, 50, 50}}, {768, {64, 0, 64, 64}}, {1200, {71, 7, 50, 50}}};
    for (const auto& size : sizes) {
        resize(size.first * 4 / 3, size.first);
        frames(2);  // the GUI takes the new size as it draws; the HUD refits after that
        const sf::IntRect part = hud->ratIcon->getTexture().getPartRect();
        EXPECT_EQ(part, size.second) << size.first;
        const float scale = hud->ratIcon->getSize().x / static_cast<float>(part.width);
        EXPECT_FLOAT_EQ(scale, std::round(scale)) << size.first;
    }
}

TEST_F(Hud, HealthBarShowsTheHealthTruncatedWithinItsRange) {
    auto bar = healthBar();
    EXPECT_EQ(bar->getMinimum(), 0u);
    EXPECT_EQ(bar->getMaximum(), 100u);
    EXPECT_EQ(bar->getValue(), 50u) << "half full until the player's health is known";
    for (const auto& shown :
         std::vector<std::pair<float, unsigned>>{{37.9f, 37}, {250.f, 100}, {0.5f, 0}, {-3.f, 0}}) {
        fireHealth(shown.first);
        EXPECT_EQ(bar->getValue(), shown.second) << shown.first;
    }
}

TEST_F(Hud, IconsFollowTheAvailableFormsAndNothingElse) {
    for (const auto& icon : {hud->humanIcon, hud->ratIcon, hud->minotaurIcon}) {
        EXPECT_TRUE(icon->isVisible()) << "every icon shows until the forms are announced";
    }
    hud->onEvent("playerHit", std::make_shared<Health::HealthChangedEvent>(10.f));
    hud->onEvent("playerHealthChanged",
                 std::make_shared<Transmutation::FormsAvailableArgs>(false, false, false));
    hud->onEvent("formsAvailableChanged", std::make_shared<Health::HealthChangedEvent>(10.f));
    EXPECT_EQ(healthBar()->getValue(), 50u);
    EXPECT_TRUE(hud->humanIcon->isVisible());
    for (const std::array<bool, 3> forms : {std::array<bool, 3>{true, false, false}, {false, true, true}}) {
        fireForms(forms[0], forms[1], forms[2]);
        EXPECT_EQ(hud->humanIcon->isVisible(), forms[0]);
        EXPECT_EQ(hud->ratIcon->isVisible(), forms[1]);
        EXPECT_EQ(hud->minotaurIcon->isVisible(), forms[2]);
        for (std::size_t frame = 1; frame <= 3; ++frame) {
            EXPECT_TRUE(widget(frame)->isVisible());
        }
    }
}

/// A refused change of form blinks that form's frame (the left one for the human): 0.1 s on, 0.1 s off,
/// three times; the other frames stay as they are.
TEST_F(Hud, ARefusedFormsFrameBlinksForAMoment) {
    const sf::Texture* plain = orn::AssetManager::getInstance().getTexture("indicator_bg");
    const auto texture = [](std::size_t index) {
        return dynamic_cast<gui::Picture*>(widget(index).get())->getTexture().getTexture();
    };
    orn::EventBus::getInstance().fire("formChangeRefused",
                                      std::make_shared<Transmutation::FormRefusedArgs>(Form::Human));
    std::string shown;
    for (int frame = 0; frame < 42; ++frame) {
        this->frame();
        shown += texture(3) != plain ? '#' : '.';
        EXPECT_TRUE(texture(1) == plain && texture(2) == plain);
    }
    std::string runs;
    for (char c : shown) {
        runs += runs.empty() || runs.back() != c ? std::string(1, c) : "";
    }
    EXPECT_EQ(runs, "#.#.#.") << shown;
}

/// How the player leaves the end card.
enum class Leave { Key, PadButton, Click, Wait };

class EndCard : public gametest::GameHarness, public ::testing::WithParamInterface<Leave> {};

/// The card shows the time taken (whole seconds) and leaves for the menu on a new press of any key or pad
/// button once it has shown for half a second, on a click anywhere, or by itself; a key still held from the
/// level, or pressed at once, does not skip it.
TEST_P(EndCard, ShowsTheTimeAndLeavesForTheMenu) {
    EXPECT_EQ(UIEndCard::formatTime(0.f), "0:00");
    EXPECT_EQ(UIEndCard::formatTime(-3.f), "0:00");
    EXPECT_EQ(UIEndCard::formatTime(599.99f), "9:59");
    orn::AssetManager::getInstance().loadTheme("default_theme", "gui/gui_theme.txt");
    held.insert(sf::Keyboard::D);
    orn::SceneManager::getInstance().loadScene(std::make_shared<EndScene>(62.9f));
    frames(3);
    held.insert(sf::Keyboard::Enter);
    frames(37);
    ASSERT_TRUE(currentIs<EndScene>());
    EXPECT_NE(widgetWithText("Time: 1:02"), nullptr);
    orn::PadState pad;
    pad.connected = true;
    pad.buttons = 1u << 1;
    switch (GetParam()) {
        case Leave::Key:
            held.insert(sf::Keyboard::Space);
            break;
        case Leave::PadButton:
            orn::InputManager::getInstance().setPadStateSource(
                [pad](unsigned index) { return index == 0 ? pad : orn::PadState(); });
            break;
        case Leave::Click:
            click(*current()->gui.getWidgets().front());
            break;
        case Leave::Wait:
            frames(static_cast<int>(EndScene::returnAfter * 60.f) - 42);
            EXPECT_TRUE(currentIs<EndScene>());
            frames(4);
            break;
    }
    frames(2);
    orn::InputManager::getInstance().setPadStateSource(nullptr);
    EXPECT_TRUE(currentIs<MenuScene>());
}

std::string leaveName(const ::testing::TestParamInfo<Leave>& info) {
    const char* const names[] = {"Key", "PadButton", "Click", "Wait"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Ways, EndCard,
                         ::testing::Values(Leave::Key, Leave::PadButton, Leave::Click, Leave::Wait),
                         leaveName);

}  // namespace
