#include <gtest/gtest.h>

#include "gui/Exception.hpp"
#include "gui/Gui.hpp"
#include "gui/Label.hpp"
#include "gui/Layout.hpp"
#include "gui/Picture.hpp"

namespace {

using Axis = gui::Layout::Axis;

float eval(const gui::Layout& layout, Axis axis = Axis::Horizontal) {
    return layout.evaluate(nullptr, {800.f, 600.f}, axis);
}

TEST(LayoutTest, EvaluatesExpressionsAgainstAnEightHundredBySixHundredParent) {
    const std::pair<gui::Layout, float> cases[] = {{"1 + 2 * 3", 7.f},
                                                   {"(1 + 2) * 3", 9.f},
                                                   {"10 - 4 - 3", 3.f},
                                                   {"458 / 2", 229.f},
                                                   {"-(2 + 3) * -2", 10.f},
                                                   {"1.5e1", 15.f},
                                                   {"min(3, 8) + max(3, 8)", 11.f},
                                                   {"&.width / 2", 400.f},
                                                   {"&.height / 32", 18.75f},
                                                   {"parent.w + &.h", 1400.f},
                                                   {"50%", 400.f},
                                                   {"&.width / (&.height - 600)", 0.f},
                                                   {"((((((((((1))))))))))", 1.f},
                                                   {42, 42.f},
                                                   {gui::Layout(), 0.f},
                                                   {gui::Layout("&.width") / 2 - 10, 390.f},
                                                   {2 * gui::Layout("&.height") + 1, 1201.f},
                                                   {-gui::Layout(5), -5.f}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_FLOAT_EQ(eval(cases[i].first), cases[i].second) << i;
    }
    EXPECT_FLOAT_EQ(eval("50%", Axis::Vertical), 300.f);
}

TEST(LayoutTest, RejectsMalformedAndTooDeepExpressionsNamingThem) {
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
    EXPECT_THROW(gui::Layout(std::string(100000, '(') + "1" + std::string(100000, ')')), gui::Exception);
    EXPECT_THROW(gui::Layout(std::string(100000, '-') + "1"), gui::Exception);
}

TEST(BoundLayoutTest, ReadsZeroForAGoneWidgetOrParentAndRaisesOnALoop) {
    auto follower = gui::Picture::create();
    {
        auto leader = gui::Picture::create();
        leader->setPosition(10, 20);
        leader->setSize(30, 40);
        follower->setPosition(gui::bindBottom(leader), gui::bindRight(leader) + gui::bindHeight(leader));
        EXPECT_EQ(follower->getPosition(), sf::Vector2f(60.f, 80.f));
    }
    EXPECT_EQ(follower->getPosition(), sf::Vector2f(0.f, 0.f));
    follower->setPosition("&.width - 5", "50%");
    EXPECT_EQ(follower->getPosition(), sf::Vector2f(-5.f, 0.f)) << "outside any GUI the parent is empty";

    auto first = gui::Picture::create();
    auto second = gui::Picture::create();
    first->setPosition(gui::bindLeft(second), 0);
    second->setPosition(gui::bindRight(first), 0);
    EXPECT_THROW(first->getPosition(), gui::Exception);
    first->setSize("height", "width");
    EXPECT_THROW(first->getSize(), gui::Exception);
    first->setSize("10", "width * 2");
    EXPECT_EQ(first->getSize(), sf::Vector2f(10.f, 20.f)) << "the guard is released after a failure";
}

}  // namespace
