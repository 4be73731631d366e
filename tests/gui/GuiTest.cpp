#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "GuiCanvas.hpp"
#include "gui/Exception.hpp"
#include "gui/Label.hpp"
#include "gui/Picture.hpp"
#include "gui/ProgressBar.hpp"

// Mouse clicks and the widget list; no GL needed.
namespace {

/// A "Play" button at (100, 200) of 120 x 40 in an 800 x 600 view, counting its presses.
class GuiEventTest : public ::testing::Test {
protected:
    void SetUp() override {
        gui.setView(sf::View(sf::FloatRect(0.f, 0.f, 800.f, 600.f)));
        button->setPosition(100, 200);
        button->setSize(120, 40);
        button->connect("pressed", [this] { ++presses; });
        gui.add(button, "play");
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
    gui::Button::Ptr button = gui::Button::create("Play");
    int presses = 0;
};

TEST_F(GuiEventTest, OnlyALeftPressAndReleaseOnAnEnabledButtonFireItOnTheRelease) {
    EXPECT_TRUE(gui.handleEvent(GuiCanvas::mouse(sf::Event::MouseButtonPressed, 150, 210)));
    EXPECT_EQ(presses, 0);
    EXPECT_TRUE(gui.handleEvent(GuiCanvas::mouse(sf::Event::MouseButtonReleased, 219, 239)));
    EXPECT_EQ(presses, 1);
    EXPECT_TRUE(gui.handleEvent(GuiCanvas::mouse(sf::Event::MouseButtonReleased, 150, 210)));
    EXPECT_EQ(presses, 1) << "a second release without a press";

    EXPECT_FALSE(click({150, 210}, {220, 240})) << "released just outside";
    EXPECT_FALSE(click({50, 50}, {150, 210})) << "pressed outside";
    click({150, 210}, {150, 210}, sf::Mouse::Right);
    EXPECT_EQ(presses, 1);
    sf::Event key;
    key.type = sf::Event::KeyPressed;
    EXPECT_FALSE(gui.handleEvent(key)) << "the GUI leaves the keyboard alone";

    // A hidden or disabled button takes no click; a picture over it lets the mouse through.
    button->setVisible(false);
    click({150, 210}, {150, 210});
    button->setVisible(true);
    button->setEnabled(false);
    click({150, 210}, {150, 210});
    button->setEnabled(true);
    auto picture = gui::Picture::create();
    picture->setSize(800, 600);
    gui.add(picture);
    click({150, 210}, {150, 210});
    EXPECT_EQ(presses, 2);
    // Without a target the mouse coordinates are the view's.
    gui.setView(sf::View(sf::FloatRect(100.f, 200.f, 400.f, 300.f)));
    click({101, 201}, {101, 201});
    EXPECT_EQ(presses, 3);

    // A handler may remove every widget; unknown signals raise, naming them.
    button->connect("pressed", [this] { gui.removeAllWidgets(); });
    click({101, 201}, {101, 201});
    EXPECT_EQ(presses, 4);
    EXPECT_TRUE(gui.getWidgets().empty());
    EXPECT_EQ(button->getParent(), nullptr);
    EXPECT_THAT([&] { button->connect("clicked", [] {}); },
                testing::ThrowsMessage<gui::Exception>(testing::HasSubstr("'clicked'")));
    EXPECT_THROW(gui::Label::create("x")->connect("pressed", [] {}), gui::Exception);
}

TEST(GuiTest, FindsWidgetsByNameKeepsTheirOrderAndLetsThemOutliveIt) {
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
        EXPECT_EQ(gui.get("missing"), nullptr);
        EXPECT_EQ(gui.get(""), nullptr);
        EXPECT_EQ(gui.getWidgets(), (std::vector<gui::Widget::Ptr>{bar, label, unnamed}));
        EXPECT_EQ(label->getParent(), &gui);

        gui.add(bar, "again");
        EXPECT_EQ(gui.getWidgets(), (std::vector<gui::Widget::Ptr>{label, unnamed, bar}))
            << "moved to the top";
        EXPECT_EQ(gui.get("healthBar"), nullptr);

        gui::Gui other;
        other.add(label);
        EXPECT_EQ(gui.getWidgets().size(), 2u);
        EXPECT_EQ(label->getParent(), &other);
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
