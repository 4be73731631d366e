#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "GameTestSupport.hpp"
#include "engine/AnimatedSprite.hpp"
#include "engine/AssetManager.hpp"
#include "engine/EventBus.hpp"
#include "engine/PadLayout.hpp"
#include "engine/Transform.hpp"
#include "game/Health.hpp"
#include "game/MainScene.hpp"
#include "game/Transmutation.hpp"
#include "game/scenes/CreditScene.hpp"
#include "game/scenes/EndScene.hpp"
#include "game/scenes/LogoScene.hpp"
#include "game/scenes/MenuScene.hpp"
#include "game/scenes/WolfController.hpp"
#include "game/ui/UIEndCard.hpp"
#include "game/ui/UIHud.hpp"
#include "gui/Button.hpp"
#include "gui/Label.hpp"
#include "gui/Picture.hpp"
#include "gui/ProgressBar.hpp"

// The logo, the menu, the credits, the end card and the HUD in the real game, driven frame by frame by a
// scripted keyboard, pad and mouse.
namespace {

using gametest::click;
using gametest::current;
using gametest::currentIs;
using gametest::firstComponent;
using gametest::hover;
using gametest::widgetWithText;
using orn::PadLayout;

/// A key, or with the key Unknown, an input of the second pad.
struct Input {
    sf::Keyboard::Key key;
    orn::PadInput pad = PadLayout::X;
};
constexpr Input onPad(orn::PadInput pad) {
    return {sf::Keyboard::Unknown, pad};
}

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

/// The front end in the test process's one real game (window, data directory, scripted keyboard and second
/// pad), frame by frame. The tests' working directory is the repository root, so the game finds ./data/.
class FrontEnd : public ::testing::Test {
protected:
    void SetUp() override {
        held.clear();
        orn::InputManager::getInstance().setPadStateSource([this](unsigned pad) { return pads.at(pad); });
        pads[1].connected = true;
    }

    /// Leaves the game as the next test expects it: no keys held or pads connected, the window open at
    /// 800 x 600 and an empty scene current, so that nothing of this test keeps running.
    void TearDown() override {
        held.clear();
        orn::InputManager::getInstance().setPadStateSource(nullptr);
        if (!window().isOpen()) {
            driver.game().createWindow(false);
        }
        resize(800, 600);
        start<gametest::ScriptedScene>();
        frame();
    }

    /// Requests a new T; it becomes current in the next frame, as the first scene does in a fresh game.
    template <class T, class... Arguments>
    void start(Arguments... arguments) {
        orn::SceneManager::getInstance().loadScene(std::make_shared<T>(arguments...));
    }
    void frame(float seconds = 1.f / 60.f) { driver.frame(seconds); }
    void frames(int count, float seconds = 1.f / 60.f) { driver.frames(count, seconds); }
    sf::RenderWindow& window() { return driver.game().getWindow(); }
    /// The scenes pick the size up in their next update.
    void resize(unsigned width, unsigned height) { window().setSize({width, height}); }

    void hold(Input input, bool on) {
        if (input.key != sf::Keyboard::Unknown) {
            on ? void(held.insert(input.key)) : void(held.erase(input.key));
        } else if (input.pad.kind == orn::PadInput::Kind::Button) {
            pads[1].buttons = on ? 1u << input.pad.index : 0u;
        } else {
            const float sign = input.pad.kind == orn::PadInput::Kind::AxisPositive ? 1.f : -1.f;
            pads[1].axes[input.pad.index] = on ? 100.f * sign : 0.f;
        }
    }
    /// Holds the input for one frame, then releases it for one frame.
    void tap(Input input) {
        hold(input, true);
        frame();
        hold(input, false);
        frame();
    }

    template <class T>
    void open() {
        start<T>();
        frame();
        ASSERT_TRUE(currentIs<T>());
    }

    /// The HUD at the window's size, which it takes in the first frame.
    UIHud& openHud() {
        start<HudScene>();
        frame();
        return *std::dynamic_pointer_cast<HudScene>(current())->hud;
    }

    static gui::Button::Ptr button(const std::string& text) { return widgetWithText<gui::Button>(text); }
    static gui::Widget::Ptr focused() { return current()->gui.getFocusedWidget(); }

    gametest::GameDriver& driver = gametest::GameDriver::instance();
    /// Keys the scripted keyboard reports as held.
    std::set<sf::Keyboard::Key>& held = driver.held;
    std::array<orn::PadState, sf::Joystick::Count> pads{};
};

struct Skip {
    const char* name;
    Input input;
};
class LogoSkip : public FrontEnd, public ::testing::WithParamInterface<Skip> {};

TEST_P(LogoSkip, APressInTheFirstLogoFrameOpensTheMenuInTheNext) {
    start<LogoScene>();
    hold(GetParam().input, true);
    frame();
    EXPECT_TRUE(currentIs<LogoScene>());
    hold(GetParam().input, false);
    frame();
    EXPECT_TRUE(currentIs<MenuScene>());
    EXPECT_EQ(orn::InputManager::getInstance().actions.count("escape"), 0u) << "the logo's binding is gone";
    EXPECT_EQ(orn::InputManager::getInstance().actions.count("start"), 1u);
}

INSTANTIATE_TEST_SUITE_P(Inputs, LogoSkip,
                         ::testing::Values(Skip{"Escape", {sf::Keyboard::Escape}},
                                           Skip{"A", onPad(PadLayout::A)}, Skip{"B", onPad(PadLayout::B)},
                                           Skip{"Back", onPad(PadLayout::Back)},
                                           Skip{"Start", onPad(PadLayout::Start)}),
                         [](const auto& info) { return std::string(info.param.name); });

// Frames of 1/64 s add up exactly, so the countdown of 1.85 s runs out during the 119th update
// (118 / 64 = 1.84375, 119 / 64 = 1.859375): the 120th update requests the menu, the 121st switches.
TEST_F(FrontEnd, LogoIsFourTimesEnlargedAroundTheWindowCentreAndHoldsItsLastFrameUntilTheMenu) {
    start<LogoScene>();
    frame(1.f / 64.f);
    auto logo = firstComponent<orn::AnimatedSprite>();
    ASSERT_NE(logo, nullptr);
    const sf::IntRect cell = logo->sprite.getTextureRect();
    const sf::FloatRect bounds = logo->sprite.getGlobalBounds();
    EXPECT_EQ(sf::Vector2f(bounds.width, bounds.height),
              4.f * sf::Vector2f(float(cell.width), float(cell.height)));
    // The pivot, through the camera's view, is the window centre.
    EXPECT_EQ(
        window().mapCoordsToPixel({bounds.left + bounds.width * 0.5f, bounds.top + bounds.height * 0.75f}),
        sf::Vector2i(400, 300));

    frames(119, 1.f / 64.f);
    EXPECT_TRUE(currentIs<LogoScene>()) << "the request must not come before the time has run out";
    EXPECT_EQ(logo->currentFrame, logo->spriteAnimation.getFrameCount(logo->currentAnimation) - 1);
    frame(1.f / 64.f);
    EXPECT_TRUE(currentIs<MenuScene>());
}

/// One way through the menu: up, down, press, and an input that must not press.
struct Controls {
    const char* name;
    Input up, down, select, ignored;
};
class MenuNavigation : public FrontEnd, public ::testing::WithParamInterface<Controls> {};

/// Play is highlighted when the menu opens, so that the first press plays, and Back when the credits open; a
/// held input moves the one highlight once, and it wraps around.
TEST_P(MenuNavigation, MovesTheHighlightOncePerPressAndPressesTheHighlightedButton) {
    const Controls& controls = GetParam();
    open<MenuScene>();
    EXPECT_EQ(focused(), button("Play"));
    hold(controls.down, true);
    frames(10);
    hold(controls.down, false);
    frame();
    EXPECT_EQ(focused(), button("Credits")) << "a held input moves once";
    const std::pair<Input, const char*> steps[] = {
        {controls.down, "Quit"}, {controls.down, "Play"}, {controls.up, "Quit"}, {controls.up, "Credits"}};
    for (const auto& [input, next] : steps) {
        tap(input);
        EXPECT_EQ(focused(), button(next)) << next;
    }
    tap(controls.select);
    ASSERT_TRUE(currentIs<CreditScene>());
    EXPECT_EQ(focused(), button("Back"));
    tap(controls.ignored);
    EXPECT_TRUE(currentIs<CreditScene>()) << "only the select input presses";
    tap(controls.select);
    ASSERT_TRUE(currentIs<MenuScene>());
    tap(controls.select);
    EXPECT_TRUE(currentIs<MainScene>());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, MenuNavigation,
    ::testing::Values(
        Controls{
            "Keys", {sf::Keyboard::Up}, {sf::Keyboard::Down}, {sf::Keyboard::Enter}, {sf::Keyboard::Escape}},
        Controls{"DPad", onPad(PadLayout::DPadUp), onPad(PadLayout::DPadDown), onPad(PadLayout::A),
                 onPad(PadLayout::B)},
        Controls{"Stick", onPad(PadLayout::StickUp), onPad(PadLayout::StickDown), onPad(PadLayout::A),
                 onPad(PadLayout::Start)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrontEnd, ThePointerMovesTheSameHighlightAsTheKeysAndAClickPressesTheButtonUnderIt) {
    open<MenuScene>();
    auto credits = button("Credits");
    ASSERT_NE(credits, nullptr);
    hover(*credits);
    EXPECT_EQ(focused(), credits) << "one highlight: Play's went with the pointer";
    tap({sf::Keyboard::Down});
    EXPECT_EQ(focused(), button("Quit")) << "the keys go on from where the pointer is";

    click(*credits);
    frame();
    ASSERT_TRUE(currentIs<CreditScene>());
    held = {sf::Keyboard::LAlt, sf::Keyboard::Enter};
    frame();
    held.clear();
    frame();
    EXPECT_TRUE(currentIs<CreditScene>()) << "Alt+Enter switches fullscreen, presses nothing";
    if (driver.game().isFullscreen()) {
        driver.game().createWindow(false);
    }
}

TEST_F(FrontEnd, WolfRunsAlongTheBottomEdgeAndStartsOverPastTheRightEdge) {
    start<MenuScene>();
    frame(0.f);
    auto wolf = firstComponent<WolfController>()->getGameObject()->getTransform().lock();
    EXPECT_FLOAT_EQ(wolf->getPosition().x, -480.f);
    // 195 units per second: a frame reaching x 397.5 stays inside, the next passes 400 and starts over;
    // a long frame passes the edge and resets at once.
    for (const auto& [seconds, x] :
         {std::pair{4.5f, 397.5f}, {0.5f, -480.f}, {0.25f, -431.25f}, {10.f, -480.f}}) {
        frame(seconds);
        EXPECT_FLOAT_EQ(wolf->getPosition().x, x) << seconds;
    }
    EXPECT_FLOAT_EQ(wolf->getPosition().y, 252.f);
    // After the window grows, along its new bottom edge; the camera takes the new size as it applies.
    resize(1024, 768);
    frames(2, 0.f);
    EXPECT_FLOAT_EQ(wolf->getPosition().y, 384.f - 48.f);
    frame(10.f);
    EXPECT_FLOAT_EQ(wolf->getPosition().x, -512.f - 80.f);
}

/// Each widget of the current scene's GUI is centred horizontally in the window and has its top at y.
void expectColumn(float width, const std::vector<std::pair<gui::Widget::Ptr, float>>& tops) {
    EXPECT_EQ(current()->gui.getWidgets().size(), tops.size());
    for (const auto& [widget, top] : tops) {
        EXPECT_FLOAT_EQ(widget->getPosition().x + widget->getSize().x / 2.f, width / 2.f);
        EXPECT_FLOAT_EQ(widget->getPosition().y, top);
    }
}

/// A window size and the part of its 64 x 64 cell of "forms" the rat icon shows there at a whole-number
/// scale: at 600 pixels of height (50-pixel indicators) the middle 50 x 50 at scale 1, at 768 the whole cell,
/// at 960 (80-pixel indicators) the middle 40 x 40 at scale 2.
struct WindowSize {
    unsigned width, height;
    sf::IntRect ratPart;
};
class WindowSizes : public FrontEnd, public ::testing::WithParamInterface<WindowSize> {};

/// The HUD: the bar in the top-left corner, a 32nd of the height in, a fifth of the width wide; the
/// indicators squares of a twelfth of the height, 10 pixels above the bottom, the centre one centred and the
/// others half an indicator away from it; each icon exactly over its frame, drawn after them. The menu: Play
/// centred, Credits and Quit each half a button height below the one above, the title its own height below
/// the top. The credits: the text's top at the centre, the 229 x 158 logo standing on it, Back half a button
/// height above the bottom.
TEST_P(WindowSizes, HudMenuAndCreditsFollowTheWindowAndIconsKeepAWholeNumberScale) {
    const auto [width, height, ratPart] = GetParam();
    const float w = float(width), h = float(height);
    const UIHud& hud = openHud();
    resize(width, height);
    frames(2);  // the GUI takes the new size as it draws; the HUD refits after that
    const auto& widgets = current()->gui.getWidgets();
    ASSERT_EQ(widgets.size(), 7u);
    const float side = h / 12.f, top = h - side - 10.f, centre = w / 2.f - side / 2.f;
    const sf::FloatRect human(centre - 1.5f * side, top, side, side), rat(centre, top, side, side),
        minotaur(centre + 1.5f * side, top, side, side);
    const std::pair<gui::Widget::Ptr, sf::FloatRect> boxes[] = {
        {widgets[0], {h / 32.f, h / 32.f, w / 5.f, 32.f}},
        {widgets[1], rat},
        {widgets[2], minotaur},
        {widgets[3], human},
        {hud.humanIcon, human},
        {hud.ratIcon, rat},
        {hud.minotaurIcon, minotaur}};
    for (const auto& [widget, box] : boxes) {
        EXPECT_EQ(sf::FloatRect(widget->getPosition(), widget->getSize()), box);
    }
    EXPECT_TRUE(widgets[4] == hud.humanIcon && widgets[5] == hud.ratIcon && widgets[6] == hud.minotaurIcon);
    int cell = -1;
    for (const auto& icon : {hud.humanIcon, hud.ratIcon, hud.minotaurIcon}) {
        const sf::IntRect part = icon->getTexture().getPartRect();
        EXPECT_EQ(part, sf::IntRect(ratPart.left + 64 * cell++, ratPart.top, ratPart.width, ratPart.height));
        const float scale = icon->getSize().x / float(part.width);
        EXPECT_FLOAT_EQ(scale, std::round(scale));
    }

    open<MenuScene>();
    auto play = button("Play"), credits = button("Credits"), quit = button("Quit");
    auto title = widgetWithText<gui::Label>("KESTRITH");
    ASSERT_TRUE(play && credits && quit && title);
    const float buttonHeight = play->getSize().y;
    EXPECT_GT(buttonHeight, 32.f) << "a button is taller than its text";
    EXPECT_EQ(title->getTextSize(), 64u);
    expectColumn(w, {{play, h / 2.f - buttonHeight / 2.f},
                     {credits, h / 2.f + buttonHeight},
                     {quit, h / 2.f + 2.5f * buttonHeight},
                     {title, title->getSize().y}});
    click(*credits);
    frame();
    ASSERT_TRUE(currentIs<CreditScene>());
    auto back = button("Back");
    auto logo = current()->gui.getWidgets().back();
    ASSERT_TRUE(back && std::dynamic_pointer_cast<gui::Picture>(logo));
    EXPECT_EQ(logo->getSize(), sf::Vector2f(229.f, 158.f));
    expectColumn(w, {{back, h - 1.5f * back->getSize().y},
                     {widgetWithText<gui::Label>("made by Orvel Quant and Besk Tarrow"), h / 2.f},
                     {logo, h / 2.f - 158.f}});
}

INSTANTIATE_TEST_SUITE_P(Sizes, WindowSizes,
                         ::testing::Values(WindowSize{800, 600, {71, 7, 50, 50}},
                                           WindowSize{1024, 768, {64, 0, 64, 64}},
                                           WindowSize{1280, 960, {76, 12, 40, 40}}),
                         [](const auto& info) { return std::to_string(info.param.height); });

/// The bar shows the health truncated to 0 to 100, the icons exactly the available forms, the frames always;
/// events with other arguments change nothing.
TEST_F(FrontEnd, HudFollowsTheHealthAndTheAvailableForms) {
    UIHud& hud = openHud();
    auto bar = current()->gui.get<gui::ProgressBar>("healthBar");
    hud.onEvent("playerHit", std::make_shared<Health::HealthChangedEvent>(10.f));
    hud.onEvent("playerHealthChanged",
                std::make_shared<Transmutation::FormsAvailableArgs>(false, false, false));
    hud.onEvent("formsAvailableChanged", std::make_shared<Health::HealthChangedEvent>(10.f));
    EXPECT_EQ(bar->getValue(), 50u) << "half full until the player's health is known";
    for (const auto& icon : {hud.humanIcon, hud.ratIcon, hud.minotaurIcon}) {
        EXPECT_TRUE(icon->isVisible()) << "every icon shows until the forms are announced";
    }
    for (const auto& [health, shown] :
         std::vector<std::pair<float, unsigned>>{{37.9f, 37}, {250.f, 100}, {0.5f, 0}, {-3.f, 0}}) {
        orn::EventBus::getInstance().fire("playerHealthChanged",
                                          std::make_shared<Health::HealthChangedEvent>(health));
        EXPECT_EQ(bar->getValue(), shown) << health;
    }
    const auto& frames = current()->gui.getWidgets();
    for (const std::array<bool, 3> forms : {std::array<bool, 3>{true, false, false}, {false, true, true}}) {
        orn::EventBus::getInstance().fire(
            "formsAvailableChanged",
            std::make_shared<Transmutation::FormsAvailableArgs>(forms[0], forms[1], forms[2]));
        EXPECT_EQ(hud.humanIcon->isVisible(), forms[0]);
        EXPECT_EQ(hud.ratIcon->isVisible(), forms[1]);
        EXPECT_EQ(hud.minotaurIcon->isVisible(), forms[2]);
        EXPECT_TRUE(frames[1]->isVisible() && frames[3]->isVisible() && frames[2]->isVisible())
            << "frames stay";
    }
}

/// How the player leaves the end card.
enum class Leave { Key, PadButton, Click, Wait };
const char* const leaveNames[] = {"Key", "PadButton", "Click", "Wait"};
class EndCard : public FrontEnd, public ::testing::WithParamInterface<Leave> {};

/// The card shows the time taken (whole seconds) and leaves for the menu on a new press of any key or pad
/// button once it has shown for half a second, on a click anywhere, or by itself; a key still held from the
/// level, or pressed at once, does not skip it.
TEST_P(EndCard, ShowsTheTimeAndLeavesForTheMenu) {
    EXPECT_EQ(UIEndCard::formatTime(0.f), "0:00");
    EXPECT_EQ(UIEndCard::formatTime(-3.f), "0:00");
    EXPECT_EQ(UIEndCard::formatTime(599.99f), "9:59");
    orn::AssetManager::getInstance().loadTheme("default_theme", "gui/gui_theme.txt");
    held.insert(sf::Keyboard::D);
    start<EndScene>(62.9f);
    frames(3);
    held.insert(sf::Keyboard::Enter);
    frames(37);
    ASSERT_TRUE(currentIs<EndScene>());
    EXPECT_NE(widgetWithText("Time: 1:02"), nullptr);
    switch (GetParam()) {
        case Leave::Key:
            held.insert(sf::Keyboard::Space);
            break;
        case Leave::PadButton:
            hold(onPad(PadLayout::B), true);
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
    EXPECT_TRUE(currentIs<MenuScene>());
}

INSTANTIATE_TEST_SUITE_P(Ways, EndCard,
                         ::testing::Values(Leave::Key, Leave::PadButton, Leave::Click, Leave::Wait),
                         [](const auto& info) { return std::string(leaveNames[int(info.param)]); });

}  // namespace
