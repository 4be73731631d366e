#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GuiCanvas.hpp"
#include "gui/Exception.hpp"
#include "gui/Label.hpp"
#include "gui/Picture.hpp"
#include "gui/ProgressBar.hpp"

// Mouse clicks, the focus and the widget list; no GL needed.
namespace {

/// A menu's column in an 800 x 600 view: Play, a label, Credits and Quit, the buttons 120 x 40 at
/// (100, 100), (100, 160) and (100, 220), recording their presses.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        gui.setView(sf::View(sf::FloatRect(0.f, 0.f, 800.f, 600.f)));
        for (const char* text : {"Play", "Credits", "Quit"}) {
            auto button = gui::Button::create(text);
            button->setPosition(100, 100 + 60 * static_cast<int>(buttons.size()));
            button->setSize(120, 40);
            button->connect("pressed", [this, text] { pressed.push_back(text); });
            buttons.push_back(button);
            gui.add(button);
            if (buttons.size() == 1) {
                gui.add(gui::Label::create("KESTRITH"));
            }
        }
    }
    /// Sends a press and a release of the mouse button; true when the GUI took both.
    bool click(sf::Vector2i down, sf::Vector2i up, sf::Mouse::Button which = sf::Mouse::Left) {
        sf::Event event = GuiCanvas::mouse(sf::Event::MouseButtonPressed, down.x, down.y);
        event.mouseButton.button = which;
        const bool pressTaken = gui.handleEvent(event);
        event = GuiCanvas::mouse(sf::Event::MouseButtonReleased, up.x, up.y);
        event.mouseButton.button = which;
        return gui.handleEvent(event) && pressTaken;
    }

    gui::Gui gui;
    std::vector<gui::Button::Ptr> buttons;
    std::vector<std::string> pressed;
};

TEST_F(GuiTest, OnlyALeftPressAndReleaseOnAnEnabledButtonFireItOnTheRelease) {
    EXPECT_TRUE(gui.handleEvent(GuiCanvas::mouse(sf::Event::MouseButtonPressed, 150, 110)));
    EXPECT_TRUE(pressed.empty()) << "fired on the release";
    EXPECT_TRUE(gui.handleEvent(GuiCanvas::mouse(sf::Event::MouseButtonReleased, 219, 139)));
    EXPECT_TRUE(gui.handleEvent(GuiCanvas::mouse(sf::Event::MouseButtonReleased, 150, 110)));
    EXPECT_EQ(pressed.size(), 1u) << "a second release without a press";

    EXPECT_FALSE(click({150, 110}, {220, 140})) << "released just outside";
    EXPECT_FALSE(click({50, 50}, {150, 110})) << "pressed outside";
    click({150, 110}, {150, 110}, sf::Mouse::Right);
    sf::Event key;
    key.type = sf::Event::KeyPressed;
    EXPECT_FALSE(gui.handleEvent(key)) << "the GUI leaves the keyboard alone";
    // A hidden or disabled button takes no click; a picture over it lets the mouse through.
    buttons[0]->setVisible(false);
    buttons[1]->setEnabled(false);
    click({150, 110}, {150, 110});
    click({150, 170}, {150, 170});
    buttons[0]->setVisible(true);
    auto picture = gui::Picture::create();
    picture->setSize(800, 600);
    gui.add(picture);
    click({150, 110}, {150, 110});
    EXPECT_EQ(pressed, (std::vector<std::string>{"Play", "Play"}));
    // Without a target the mouse coordinates are the view's.
    gui.setView(sf::View(sf::FloatRect(100.f, 100.f, 400.f, 300.f)));
    click({101, 101}, {101, 101});
    EXPECT_EQ(pressed.size(), 3u);

    // A handler may remove every widget; unknown signals raise, naming them.
    buttons[0]->connect("pressed", [this] { gui.removeAllWidgets(); });
    click({101, 101}, {101, 101});
    EXPECT_TRUE(gui.getWidgets().empty());
    EXPECT_EQ(buttons[0]->getParent(), nullptr);
    EXPECT_THAT([&] { buttons[0]->connect("clicked", [] {}); },
                testing::ThrowsMessage<gui::Exception>(testing::HasSubstr("'clicked'")));
    EXPECT_THROW(gui::Label::create("x")->connect("pressed", [] {}), gui::Exception);
}

/// One focused button at a time, walked in the GUI's order past the label and hidden or disabled buttons,
/// wrapping around; refused requests change nothing; activating presses the focused button only.
TEST_F(GuiTest, FocusWalksTheButtonsThatCanTakeItAndActivatesOnlyTheFocusedOne) {
    EXPECT_EQ(gui.getFocusedWidget(), nullptr) << "nothing is focused until asked";
    EXPECT_FALSE(gui.activateFocused());
    gui.focusPrevious();
    EXPECT_EQ(gui.getFocusedWidget(), buttons[2]) << "backwards from nothing starts at the last";
    const int steps[] = {1, 1, 1, -1, -1};
    const int expected[] = {0, 1, 2, 1, 0};
    for (int i = 0; i < 5; ++i) {
        steps[i] > 0 ? gui.focusNext() : gui.focusPrevious();
        EXPECT_EQ(gui.getFocusedWidget(), buttons[expected[i]]) << i;
        EXPECT_EQ(buttons[0]->isFocused() + buttons[1]->isFocused() + buttons[2]->isFocused(), 1);
    }
    gui.focusNext();
    EXPECT_TRUE(gui.activateFocused());
    EXPECT_EQ(pressed, std::vector<std::string>{"Credits"});

    EXPECT_FALSE(gui.setFocusedWidget(gui.getWidgets()[1])) << "a label";
    EXPECT_FALSE(gui.setFocusedWidget(gui::Button::create("elsewhere")));
    buttons[2]->setEnabled(false);
    EXPECT_FALSE(gui.setFocusedWidget(buttons[2]));
    EXPECT_EQ(gui.getFocusedWidget(), buttons[1]) << "refused requests change nothing";
    buttons[1]->setVisible(false);
    gui.focusNext();
    gui.focusNext();
    EXPECT_EQ(gui.getFocusedWidget(), buttons[0]) << "the only button that can take the focus";
    buttons[0]->setEnabled(false);
    EXPECT_FALSE(gui.activateFocused());

    // A handler that removes its own button (a scene leaving its GUI) runs safely and ends the focus.
    buttons[0]->setEnabled(true);
    buttons[0]->connect("pressed", [this] { gui.remove(buttons[0]); });
    EXPECT_TRUE(gui.activateFocused());
    EXPECT_EQ(gui.getFocusedWidget(), nullptr);
    EXPECT_FALSE(buttons[0]->isFocused());
    gui.focusNext();
    gui.focusPrevious();
    EXPECT_EQ(gui.getFocusedWidget(), nullptr) << "none can take it";
}

TEST(GuiWidgets, FindsWidgetsByNameKeepsTheirOrderAndLetsThemOutliveIt) {
    auto bar = gui::ProgressBar::create();
    auto label = gui::Label::create("A");
    auto unnamed = gui::Label::create("B");
    auto picture = gui::Picture::create();
    picture->setPosition("&.width", 0);
    {
        gui::Gui gui;
        gui.setView(sf::View(sf::FloatRect(0.f, 0.f, 640.f, 480.f)));
        gui.add(bar, "healthBar");
        gui.add(label, "title");
        gui.add(unnamed);
        EXPECT_EQ(gui.get<gui::ProgressBar>("healthBar"), bar);
        EXPECT_EQ(gui.get<gui::Label>("healthBar"), nullptr);
        EXPECT_EQ(label->getParent(), &gui);

        gui.add(bar, "again");
        EXPECT_EQ(gui.getWidgets(), (std::vector<gui::Widget::Ptr>{label, unnamed, bar}))
            << "moved to the top";
        EXPECT_EQ(gui.get("healthBar"), nullptr);

        gui::Gui other;
        other.add(label);
        EXPECT_EQ(gui.getWidgets().size(), 2u) << "moved to the other GUI";
        EXPECT_TRUE(other.remove(label));
        EXPECT_FALSE(other.remove(label));
        EXPECT_EQ(label->getParent(), nullptr);
        EXPECT_THROW(gui.add(nullptr), gui::Exception);

        gui.add(picture);
        EXPECT_FLOAT_EQ(picture->getPosition().x, 640.f);
        gui.draw();
    }
    EXPECT_EQ(picture->getParent(), nullptr);
    EXPECT_FLOAT_EQ(picture->getPosition().x, 0.f);
}

}  // namespace
