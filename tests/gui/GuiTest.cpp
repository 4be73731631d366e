#include <gtest/gtest.h>

#include "gui/Button.hpp"
#include "gui/Exception.hpp"
#include "gui/Gui.hpp"
#include "gui/Label.hpp"
#include "gui/Picture.hpp"
#include "gui/ProgressBar.hpp"

namespace {

sf::Event mouseButton(sf::Event::EventType type, int x, int y, sf::Mouse::Button button = sf::Mouse::Left) {
    sf::Event event;
    event.type = type;
    event.mouseButton = {button, x, y};
    return event;
}

sf::Event press(int x, int y) {
    return mouseButton(sf::Event::MouseButtonPressed, x, y);
}
sf::Event release(int x, int y) {
    return mouseButton(sf::Event::MouseButtonReleased, x, y);
}

class GuiEventTest : public ::testing::Test {
protected:
    void SetUp() override {
        gui.setView(sf::View(sf::FloatRect(0.f, 0.f, 800.f, 600.f)));
        button = gui::Button::create("Play");
        button->setPosition(100, 200);
        button->setSize(120, 40);
        button->connect("pressed", [this] { ++presses; });
        gui.add(button, "play");
    }

    gui::Gui gui;
    gui::Button::Ptr button;
    int presses = 0;
};

TEST_F(GuiEventTest, PressAndReleaseInsideFireOnce) {
    EXPECT_TRUE(gui.handleEvent(press(150, 210)));
    EXPECT_EQ(presses, 0) << "fired on release, not on press";
    EXPECT_TRUE(gui.handleEvent(release(219, 239)));
    EXPECT_EQ(presses, 1);
    EXPECT_TRUE(gui.handleEvent(release(150, 210)));
    EXPECT_EQ(presses, 1) << "a second release without a press";
}

TEST_F(GuiEventTest, ReleaseOutsideOrPressOutsideDoNotFire) {
    gui.handleEvent(press(150, 210));
    EXPECT_FALSE(gui.handleEvent(release(220, 240)));
    gui.handleEvent(press(150, 210));
    gui.handleEvent(release(400, 400));
    gui.handleEvent(release(150, 210));
    EXPECT_EQ(presses, 0);

    EXPECT_FALSE(gui.handleEvent(press(50, 50)));
    gui.handleEvent(release(150, 210));
    EXPECT_EQ(presses, 0);
}

TEST_F(GuiEventTest, OnlyTheLeftButtonClicks) {
    gui.handleEvent(mouseButton(sf::Event::MouseButtonPressed, 150, 210, sf::Mouse::Right));
    gui.handleEvent(mouseButton(sf::Event::MouseButtonReleased, 150, 210, sf::Mouse::Right));
    EXPECT_EQ(presses, 0);
}

TEST_F(GuiEventTest, HiddenDisabledAndCoveredButtonsDoNotFire) {
    button->setVisible(false);
    gui.handleEvent(press(150, 210));
    gui.handleEvent(release(150, 210));
    button->setVisible(true);
    button->setEnabled(false);
    gui.handleEvent(press(150, 210));
    gui.handleEvent(release(150, 210));
    EXPECT_EQ(presses, 0);
    button->setEnabled(true);

    auto cover = gui::Button::create("Cover");
    cover->setPosition(140, 200);
    cover->setSize(200, 100);
    int coverPresses = 0;
    cover->connect("Pressed", [&] { ++coverPresses; });
    gui.add(cover);
    gui.handleEvent(press(150, 210));
    gui.handleEvent(release(150, 210));
    EXPECT_EQ(presses, 0);
    EXPECT_EQ(coverPresses, 1);

    auto picture = gui::Picture::create();
    picture->setPosition(0, 0);
    picture->setSize(800, 600);
    gui.add(picture);
    gui.handleEvent(press(105, 205));
    gui.handleEvent(release(105, 205));
    EXPECT_EQ(presses, 1) << "pictures let the mouse through";
}

TEST_F(GuiEventTest, MouseCoordinatesAreViewCoordinatesWithoutATarget) {
    gui.setView(sf::View(sf::FloatRect(100.f, 200.f, 400.f, 300.f)));
    gui.handleEvent(press(101, 201));
    gui.handleEvent(release(101, 201));
    EXPECT_EQ(presses, 1);
}

TEST_F(GuiEventTest, AHandlerMayRemoveEveryWidget) {
    button->connect("pressed", [this] { gui.removeAllWidgets(); });
    gui.handleEvent(press(150, 210));
    gui.handleEvent(release(150, 210));
    EXPECT_EQ(presses, 1);
    EXPECT_TRUE(gui.getWidgets().empty());
    EXPECT_EQ(button->getParent(), nullptr);
}

TEST_F(GuiEventTest, UnknownSignalsRaiseNamingThem) {
    try {
        button->connect("clicked", [] {});
        FAIL() << "no exception";
    } catch (const gui::Exception& error) {
        EXPECT_NE(std::string(error.what()).find("'clicked'"), std::string::npos);
    }
    EXPECT_THROW(gui::Label::create("x")->connect("pressed", [] {}), gui::Exception);
}

TEST(GuiTest, FindsWidgetsByNameAndKeepsTheirOrder) {
    gui::Gui gui;
    auto bar = gui::ProgressBar::create();
    auto label = gui::Label::create("A");
    auto unnamed = gui::Label::create("B");
    gui.add(bar, "healthBar");
    gui.add(label, "title");
    gui.add(unnamed);
    EXPECT_EQ(gui.get("healthBar"), bar);
    EXPECT_EQ(gui.get<gui::ProgressBar>("healthBar"), bar);
    EXPECT_EQ(gui.get<gui::Label>("healthBar"), nullptr);
    EXPECT_EQ(gui.get("missing"), nullptr);
    EXPECT_EQ(gui.get(""), nullptr);
    EXPECT_EQ(gui.getWidgets(), (std::vector<gui::Widget::Ptr>{bar, label, unnamed}));
    EXPECT_EQ(label->getParent(), &gui);

    gui.add(bar, "again");
    EXPECT_EQ(gui.getWidgets(), (std::vector<gui::Widget::Ptr>{label, unnamed, bar}))
        << "adding again moves the widget to the top";
    EXPECT_EQ(gui.get("healthBar"), nullptr);

    gui::Gui other;
    other.add(label);
    EXPECT_EQ(gui.getWidgets().size(), 2u);
    EXPECT_EQ(label->getParent(), &other);
    EXPECT_TRUE(other.remove(label));
    EXPECT_FALSE(other.remove(label));
    EXPECT_EQ(label->getParent(), nullptr);
    EXPECT_THROW(gui.add(nullptr), gui::Exception);
}

TEST(GuiTest, WidgetsOutliveTheirGuiSafely) {
    auto picture = gui::Picture::create();
    picture->setPosition("&.width", 0);
    {
        gui::Gui gui;
        gui.setView(sf::View(sf::FloatRect(0.f, 0.f, 640.f, 480.f)));
        gui.add(picture);
        EXPECT_FLOAT_EQ(picture->getPosition().x, 640.f);
        gui.draw();
    }
    EXPECT_EQ(picture->getParent(), nullptr);
    EXPECT_FLOAT_EQ(picture->getPosition().x, 0.f);
}

TEST(ProgressBarTest, KeepsTheValueWithinTheRange) {
    auto bar = gui::ProgressBar::create();
    int changes = 0;
    bar->connect("ValueChanged", [&] { ++changes; });
    bar->setValue(50);
    EXPECT_EQ(bar->getValue(), 50u);
    bar->setValue(150);
    EXPECT_EQ(bar->getValue(), 100u);
    bar->setMaximum(40);
    EXPECT_EQ(bar->getValue(), 40u);
    bar->setMinimum(60);
    EXPECT_EQ(bar->getMaximum(), 60u);
    EXPECT_EQ(bar->getValue(), 60u);
    bar->setMaximum(10);
    EXPECT_EQ(bar->getMinimum(), 10u);
    EXPECT_EQ(bar->getValue(), 10u);
    bar->setValue(10);
    EXPECT_EQ(changes, 5);
}

}  // namespace
