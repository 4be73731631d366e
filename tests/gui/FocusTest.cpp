#include <gtest/gtest.h>

#include <vector>

#include "gui/Button.hpp"
#include "gui/Gui.hpp"
#include "gui/Label.hpp"

namespace {

/// A column of three buttons with a label between the first two, as a menu lays them out.
class FocusTest : public ::testing::Test {
protected:
    void SetUp() override {
        gui.setView(sf::View(sf::FloatRect(0.f, 0.f, 800.f, 600.f)));
        for (const char* text : {"Play", "Credits", "Quit"}) {
            auto button = gui::Button::create(text);
            button->setPosition(100, 100 + 60 * static_cast<int>(buttons.size()));
            button->setSize(120, 40);
            button->connect("pressed", [this, text] { pressed.push_back(text); });
            buttons.push_back(button);
        }
        gui.add(buttons[0]);
        gui.add(gui::Label::create("KESTRITH"));
        gui.add(buttons[1]);
        gui.add(buttons[2]);
    }

    gui::Gui gui;
    std::vector<gui::Button::Ptr> buttons;
    std::vector<std::string> pressed;
};

TEST_F(FocusTest, FocusWalksTheButtonsInOrderAndWrapsAround) {
    EXPECT_EQ(gui.getFocusedWidget(), nullptr) << "nothing is focused until asked";
    gui.focusNext();
    EXPECT_EQ(gui.getFocusedWidget(), buttons[0]);
    EXPECT_TRUE(buttons[0]->isFocused());
    gui.focusNext();
    EXPECT_EQ(gui.getFocusedWidget(), buttons[1]) << "the label is skipped";
    EXPECT_FALSE(buttons[0]->isFocused()) << "one focused widget at a time";
    gui.focusNext();
    gui.focusNext();
    EXPECT_EQ(gui.getFocusedWidget(), buttons[0]);
    gui.focusPrevious();
    EXPECT_EQ(gui.getFocusedWidget(), buttons[2]);

    gui.setFocusedWidget(nullptr);
    gui.focusPrevious();
    EXPECT_EQ(gui.getFocusedWidget(), buttons[2]) << "backwards from nothing starts at the last";
}

TEST_F(FocusTest, HiddenAndDisabledButtonsAreSkippedAndNeverActivated) {
    buttons[1]->setVisible(false);
    buttons[2]->setEnabled(false);
    gui.focusNext();
    gui.focusNext();
    EXPECT_EQ(gui.getFocusedWidget(), buttons[0]) << "the only button that can take the focus";

    gui::Label::Ptr label = std::dynamic_pointer_cast<gui::Label>(gui.getWidgets()[1]);
    EXPECT_FALSE(gui.setFocusedWidget(label));
    EXPECT_FALSE(gui.setFocusedWidget(buttons[2]));
    EXPECT_FALSE(gui.setFocusedWidget(gui::Button::create("elsewhere")));
    EXPECT_EQ(gui.getFocusedWidget(), buttons[0]) << "refused requests change nothing";

    buttons[0]->setEnabled(false);
    EXPECT_FALSE(gui.activateFocused());
    EXPECT_TRUE(pressed.empty());

    gui::Gui empty;
    empty.focusNext();
    empty.focusPrevious();
    EXPECT_EQ(empty.getFocusedWidget(), nullptr);
    EXPECT_FALSE(empty.activateFocused());
}

TEST_F(FocusTest, ActivatingPressesTheFocusedButtonOnly) {
    EXPECT_FALSE(gui.activateFocused()) << "nothing focused";
    gui.focusNext();
    gui.focusNext();
    EXPECT_TRUE(gui.activateFocused());
    EXPECT_EQ(pressed, std::vector<std::string>{"Credits"});

    // A handler that removes its own button (a scene leaving its GUI) runs safely and ends the focus.
    buttons[1]->connect("pressed", [this] { gui.remove(buttons[1]); });
    EXPECT_TRUE(gui.activateFocused());
    EXPECT_EQ(gui.getFocusedWidget(), nullptr);
    EXPECT_FALSE(buttons[1]->isFocused());
}

}  // namespace
