#include <gtest/gtest.h>

#include "gui/Exception.hpp"
#include "gui/Gui.hpp"
#include "gui/Label.hpp"
#include "gui/Layout.hpp"
#include "gui/Picture.hpp"
#include "gui/ProgressBar.hpp"

namespace {

sf::View windowView(float width, float height) {
    return sf::View(sf::FloatRect(0.f, 0.f, width, height));
}

float eval(const gui::Layout& layout, sf::Vector2f parent = {800.f, 600.f},
           gui::Layout::Axis axis = gui::Layout::Axis::Horizontal) {
    return layout.evaluate(nullptr, parent, axis);
}

TEST(LayoutTest, EvaluatesArithmeticWithPrecedenceAndParentheses) {
    EXPECT_FLOAT_EQ(eval("1 + 2 * 3"), 7.f);
    EXPECT_FLOAT_EQ(eval("(1 + 2) * 3"), 9.f);
    EXPECT_FLOAT_EQ(eval("10 - 4 - 3"), 3.f);
    EXPECT_FLOAT_EQ(eval("458 / 2"), 229.f);
    EXPECT_FLOAT_EQ(eval("-(2 + 3) * -2"), 10.f);
    EXPECT_FLOAT_EQ(eval("1.5e1"), 15.f);
    EXPECT_FLOAT_EQ(eval("min(3, 8) + max(3, 8)"), 11.f);
    EXPECT_FLOAT_EQ(eval(42), 42.f);
    EXPECT_FLOAT_EQ(eval(gui::Layout()), 0.f);
}

TEST(LayoutTest, ReadsTheParentSizeAndPercentagesOnTheirAxis) {
    EXPECT_FLOAT_EQ(eval("&.width / 2"), 400.f);
    EXPECT_FLOAT_EQ(eval("&.height / 32"), 18.75f);
    EXPECT_FLOAT_EQ(eval("parent.w + &.h"), 1400.f);
    EXPECT_FLOAT_EQ(eval("50%"), 400.f);
    EXPECT_FLOAT_EQ(eval("50%", {800.f, 600.f}, gui::Layout::Axis::Vertical), 300.f);
    EXPECT_FLOAT_EQ(eval("&.width / (&.height - 600)"), 0.f) << "division by zero gives 0";
}

TEST(LayoutTest, CombinesLayoutsWithOperators) {
    const gui::Layout sum = gui::Layout("&.width") / 2 - 10;
    EXPECT_FLOAT_EQ(eval(sum), 390.f);
    EXPECT_FLOAT_EQ(eval(2 * gui::Layout("&.height") + 1), 1201.f);
    EXPECT_FLOAT_EQ(eval(-gui::Layout(5)), -5.f);
}

TEST(LayoutTest, RejectsMalformedExpressionsNamingThem) {
    for (const char* bad :
         {"", "1 +", "(1 + 2", "1 2", "&.depth", "&width", "widht / 2", "max(1)", "3 $ 4", "1.2.3", "&."}) {
        try {
            gui::Layout layout(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const gui::Exception& error) {
            EXPECT_NE(std::string(error.what()).find(std::string("'") + bad + "'"), std::string::npos)
                << error.what();
        }
    }
}

TEST(LayoutTest, DeepNestingIsRejectedRatherThanExhaustingTheStack) {
    EXPECT_FLOAT_EQ(eval(std::string(20, '(') + "1" + std::string(20, ')')), 1.f);
    EXPECT_THROW(gui::Layout(std::string(100000, '(') + "1" + std::string(100000, ')')), gui::Exception);
    EXPECT_THROW(gui::Layout(std::string(100000, '-') + "1"), gui::Exception);
}

class HudLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        gui.setView(windowView(800.f, 600.f));
        bar = gui::ProgressBar::create();
        bar->setPosition("&.height / 32", "&.height / 32");
        bar->setSize("&.width / 5", "32");
        gui.add(bar, "healthBar");

        centre = indicator();
        centre->setPosition("&.width / 2 - width / 2", "&.height - height - 10");
        right = indicator();
        right->setPosition(gui::bindRight(centre) + gui::bindWidth(centre) / 2, gui::bindTop(centre));
        left = indicator();
        left->setPosition(gui::bindLeft(centre) - gui::bindWidth(centre) / 2 - gui::Layout("width"),
                          gui::bindTop(centre));
        icon = indicator();
        icon->setPosition(gui::bindLeft(left), gui::bindTop(left));
        for (const auto& picture : {centre, right, left, icon}) {
            gui.add(picture);
        }
    }

    gui::Picture::Ptr indicator() {
        auto picture = gui::Picture::create();
        picture->setSize("&.height / 12", "&.height / 12");
        return picture;
    }

    gui::Gui gui;
    gui::ProgressBar::Ptr bar;
    gui::Picture::Ptr centre, right, left, icon;
};

TEST_F(HudLayoutTest, PlacesTheBarAndIndicatorsInAnEightHundredBySixHundredWindow) {
    EXPECT_EQ(bar->getPosition(), sf::Vector2f(18.75f, 18.75f));
    EXPECT_EQ(bar->getSize(), sf::Vector2f(160.f, 32.f));
    EXPECT_EQ(centre->getSize(), sf::Vector2f(50.f, 50.f));
    EXPECT_EQ(centre->getPosition(), sf::Vector2f(375.f, 540.f));
    EXPECT_EQ(right->getPosition(), sf::Vector2f(450.f, 540.f));
    EXPECT_EQ(left->getPosition(), sf::Vector2f(300.f, 540.f));
    EXPECT_EQ(icon->getPosition(), left->getPosition());
}

TEST_F(HudLayoutTest, FollowsTheViewAndTheWidgetsItIsBoundTo) {
    gui.setView(windowView(1920.f, 1080.f));
    EXPECT_EQ(bar->getPosition(), sf::Vector2f(33.75f, 33.75f));
    EXPECT_EQ(bar->getSize(), sf::Vector2f(384.f, 32.f));
    EXPECT_EQ(centre->getSize(), sf::Vector2f(90.f, 90.f));
    EXPECT_EQ(centre->getPosition(), sf::Vector2f(915.f, 980.f));
    EXPECT_EQ(right->getPosition(), sf::Vector2f(1050.f, 980.f));
    EXPECT_EQ(left->getPosition(), sf::Vector2f(780.f, 980.f));

    centre->setPosition(100, 20);
    centre->setSize(40, 10);
    EXPECT_EQ(right->getPosition(), sf::Vector2f(160.f, 20.f));
    EXPECT_EQ(left->getPosition(), sf::Vector2f(100.f - 20.f - 90.f, 20.f));
    EXPECT_EQ(icon->getPosition(), left->getPosition());
}

TEST(CreditsLayoutTest, HangsThePictureAboveTheLabelInBothWindowSizes) {
    gui::Gui gui;
    gui.setView(windowView(800.f, 600.f));
    auto label = gui::Label::create("made by");
    label->setPosition("&.width / 2 - width / 2", "&.height / 2");
    auto picture = gui::Picture::create();
    picture->setSize("458 / 2", "316 / 2");
    picture->setPosition("&.width / 2 - width / 2", gui::bindTop(label) - gui::Layout("height"));
    gui.add(label);
    gui.add(picture);

    EXPECT_FLOAT_EQ(label->getPosition().y, 300.f);
    EXPECT_EQ(picture->getSize(), sf::Vector2f(229.f, 158.f));
    EXPECT_FLOAT_EQ(picture->getPosition().y, 142.f);
    EXPECT_FLOAT_EQ(picture->getPosition().y + picture->getSize().y, 300.f);
    EXPECT_FLOAT_EQ(picture->getPosition().x, 285.5f);

    gui.setView(windowView(1280.f, 1024.f));
    EXPECT_FLOAT_EQ(label->getPosition().y, 512.f);
    EXPECT_FLOAT_EQ(picture->getPosition().y, 512.f - 158.f);
    EXPECT_FLOAT_EQ(picture->getPosition().x, 640.f - 114.5f);
}

TEST(BoundLayoutTest, ReadsZeroOnceTheBoundWidgetIsGone) {
    auto follower = gui::Picture::create();
    {
        auto leader = gui::Picture::create();
        leader->setPosition(10, 20);
        leader->setSize(30, 40);
        follower->setPosition(gui::bindBottom(leader), gui::bindRight(leader) + gui::bindHeight(leader));
        EXPECT_EQ(follower->getPosition(), sf::Vector2f(60.f, 80.f));
    }
    EXPECT_EQ(follower->getPosition(), sf::Vector2f(0.f, 0.f));
}

TEST(BoundLayoutTest, ALayoutThatDependsOnItselfRaisesInsteadOfRecursing) {
    auto first = gui::Picture::create();
    auto second = gui::Picture::create();
    first->setPosition(gui::bindLeft(second), 0);
    second->setPosition(gui::bindRight(first), 0);
    EXPECT_THROW(first->getPosition(), gui::Exception);

    auto picture = gui::Picture::create();
    picture->setSize("height", "width");
    EXPECT_THROW(picture->getSize(), gui::Exception);
    picture->setSize("10", "width * 2");
    EXPECT_EQ(picture->getSize(), sf::Vector2f(10.f, 20.f)) << "the guard is released after a failure";
}

TEST(BoundLayoutTest, AWidgetOutsideAnyGuiHasAnEmptyParent) {
    auto picture = gui::Picture::create();
    picture->setPosition("&.width - 5", "50%");
    EXPECT_EQ(picture->getPosition(), sf::Vector2f(-5.f, 0.f));
}

}  // namespace
