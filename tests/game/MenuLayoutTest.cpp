#include <gtest/gtest.h>

#include "GameTestSupport.hpp"
#include "engine/AnimatedSprite.hpp"
#include "engine/GameObject.hpp"
#include "engine/Transform.hpp"
#include "game/scenes/CreditScene.hpp"
#include "game/scenes/LogoScene.hpp"
#include "game/scenes/MenuScene.hpp"
#include "game/scenes/WolfController.hpp"
#include "gui/Button.hpp"
#include "gui/Label.hpp"
#include "gui/Picture.hpp"

namespace {

using gametest::click;
using gametest::current;
using gametest::currentIs;
using gametest::widgetWithText;

class FrontEndLayout : public gametest::GameHarness {
protected:
    /// The transform of the current scene's first object that has a T.
    template <class T>
    std::shared_ptr<orn::Transform> transformOf() {
        for (const auto& layer : current()->layers) {
            for (const auto& entry : layer) {
                if (!entry.second->getComponent<T>().expired()) {
                    return entry.second->getTransform().lock();
                }
            }
        }
        return nullptr;
    }

    template <class T>
    std::shared_ptr<T> componentOf() {
        for (const auto& layer : current()->layers) {
            for (const auto& entry : layer) {
                if (auto component = entry.second->getComponent<T>().lock()) {
                    return component;
                }
            }
        }
        return nullptr;
    }

    /// The credits, reached through the menu, which loads the GUI theme they use.
    void openCredits() {
        start<MenuScene>();
        frame();
        auto credits = widgetWithText<gui::Button>("Credits");
        ASSERT_NE(credits, nullptr);
        click(*credits);
        frame();
        ASSERT_TRUE(currentIs<CreditScene>());
    }

    std::shared_ptr<gui::Picture> onlyPicture() {
        std::shared_ptr<gui::Picture> found;
        for (const auto& widget : current()->gui.getWidgets()) {
            if (auto picture = std::dynamic_pointer_cast<gui::Picture>(widget)) {
                EXPECT_EQ(found, nullptr) << "one picture expected";
                found = picture;
            }
        }
        return found;
    }
};

void expectCentredHorizontally(const gui::Widget& widget, float parentWidth) {
    EXPECT_FLOAT_EQ(widget.getPosition().x + widget.getSize().x / 2.f, parentWidth / 2.f);
}

/// Play centred in the window, Credits and Quit each half a button height below the one above, the title
/// its own height below the top edge.
void expectMenuLayout(float width, float height) {
    auto play = gametest::widgetWithText<gui::Button>("Play");
    auto credits = gametest::widgetWithText<gui::Button>("Credits");
    auto quit = gametest::widgetWithText<gui::Button>("Quit");
    auto title = gametest::widgetWithText<gui::Label>("KESTRITH");
    ASSERT_TRUE(play && credits && quit && title);

    for (const auto& button : {play, credits, quit}) {
        expectCentredHorizontally(*button, width);
        EXPECT_EQ(button->getTextSize(), 32u);
        EXPECT_GT(button->getSize().y, 32.f) << "a button is taller than its text";
    }
    EXPECT_FLOAT_EQ(play->getPosition().y + play->getSize().y / 2.f, height / 2.f);
    const float playBottom = play->getPosition().y + play->getSize().y;
    EXPECT_FLOAT_EQ(credits->getPosition().y, playBottom + play->getSize().y / 2.f);
    const float creditsBottom = credits->getPosition().y + credits->getSize().y;
    EXPECT_FLOAT_EQ(quit->getPosition().y, creditsBottom + credits->getSize().y / 2.f);
    EXPECT_LT(quit->getPosition().y + quit->getSize().y, height) << "Quit stays inside the window";

    expectCentredHorizontally(*title, width);
    EXPECT_EQ(title->getTextSize(), 64u);
    EXPECT_GT(title->getSize().y, 0.f);
    EXPECT_FLOAT_EQ(title->getPosition().y, title->getSize().y);
    EXPECT_LT(title->getPosition().y + title->getSize().y, play->getPosition().y) << "title above Play";
}

TEST_F(FrontEndLayout, MenuIsCentredAndStackedAndFollowsTheWindowSize) {
    start<MenuScene>();
    frame();
    EXPECT_EQ(current()->gui.getWidgets().size(), 4u);
    {
        SCOPED_TRACE("800 x 600");
        expectMenuLayout(800.f, 600.f);
    }
    resize(1024, 768);
    frame();
    {
        SCOPED_TRACE("1024 x 768");
        expectMenuLayout(1024.f, 768.f);
    }
}

TEST_F(FrontEndLayout, WolfStartsLeftOfTheViewOnItsBottomEdgeStartsOverPastTheRightEdgeAndFollowsTheWindow) {
    start<MenuScene>();
    frame(0.f);
    auto wolf = transformOf<WolfController>();
    ASSERT_NE(wolf, nullptr);
    EXPECT_FLOAT_EQ(wolf->getPosition().x, -480.f);
    EXPECT_FLOAT_EQ(wolf->getPosition().y, 252.f);

    // 195 units per second: nine half seconds reach x 397.5, still inside; the tenth passes 400.
    frames(9, 0.5f);
    EXPECT_FLOAT_EQ(wolf->getPosition().x, 397.5f);
    EXPECT_FLOAT_EQ(wolf->getPosition().y, 252.f);
    frame(0.5f);
    EXPECT_FLOAT_EQ(wolf->getPosition().x, -480.f);

    frame(0.25f);
    EXPECT_FLOAT_EQ(wolf->getPosition().x, -480.f + 48.75f);
    frame(10.f);
    EXPECT_FLOAT_EQ(wolf->getPosition().x, -480.f) << "a long frame passes the edge and resets at once";

    // After the window grows, along its new bottom edge; the camera takes the new size as it applies.
    resize(1024, 768);
    frames(2, 0.f);
    EXPECT_FLOAT_EQ(wolf->getPosition().y, 384.f - 48.f);
    frame(10.f);
    EXPECT_FLOAT_EQ(wolf->getPosition().x, -512.f - 80.f);
}

TEST_F(FrontEndLayout, LogoIsFourTimesEnlargedWithItsPivotAtTheWindowCentre) {
    start<LogoScene>();
    frame();
    auto logo = componentOf<orn::AnimatedSprite>();
    ASSERT_NE(logo, nullptr);
    EXPECT_FALSE(logo->loop);
    EXPECT_FLOAT_EQ(logo->speed, 2.25f);

    const sf::IntRect frameRect = logo->sprite.getTextureRect();
    const sf::FloatRect bounds = logo->sprite.getGlobalBounds();
    EXPECT_FLOAT_EQ(bounds.width, 4.f * static_cast<float>(frameRect.width));
    EXPECT_FLOAT_EQ(bounds.height, 4.f * static_cast<float>(frameRect.height));
    // Through the camera's view, world (0, 0) is the window centre.
    const sf::Vector2i pivot =
        window().mapCoordsToPixel({bounds.left + bounds.width * 0.5f, bounds.top + bounds.height * 0.75f});
    EXPECT_EQ(pivot, sf::Vector2i(400, 300));

    // Whatever the animation's length, its last frame holds until the switch.
    frames(100);
    ASSERT_TRUE(currentIs<LogoScene>());
    const int lastFrame = logo->spriteAnimation.getFrameCount(logo->currentAnimation) - 1;
    EXPECT_EQ(logo->currentFrame, lastFrame);
}

/// The credit text's top at the vertical centre, the 229 x 158 logo standing on it, Back half a button
/// height above the bottom edge; everything centred horizontally.
void expectCreditsLayout(const std::shared_ptr<gui::Picture>& logo, float width, float height) {
    auto credit = gametest::widgetWithText<gui::Label>("made by Orvel Quant and Besk Tarrow");
    auto back = gametest::widgetWithText<gui::Button>("Back");
    ASSERT_TRUE(credit && back && logo);

    expectCentredHorizontally(*credit, width);
    EXPECT_FLOAT_EQ(credit->getPosition().y, height / 2.f);
    EXPECT_EQ(credit->getTextSize(), 32u);

    expectCentredHorizontally(*logo, width);
    EXPECT_EQ(logo->getSize(), sf::Vector2f(229.f, 158.f));
    EXPECT_FLOAT_EQ(logo->getPosition().y, height / 2.f - 158.f);

    expectCentredHorizontally(*back, width);
    EXPECT_EQ(back->getTextSize(), 32u);
    EXPECT_FLOAT_EQ(back->getPosition().y + back->getSize().y, height - back->getSize().y / 2.f);
    EXPECT_GT(back->getPosition().y, credit->getPosition().y + credit->getSize().y) << "Back below the text";
}

TEST_F(FrontEndLayout, CreditsStandOnTheVerticalCentreAndFollowTheWindowSize) {
    openCredits();
    EXPECT_EQ(current()->gui.getWidgets().size(), 3u);
    auto logo = onlyPicture();
    {
        SCOPED_TRACE("800 x 600");
        expectCreditsLayout(logo, 800.f, 600.f);
        ASSERT_NE(logo, nullptr);
        EXPECT_FLOAT_EQ(logo->getPosition().y, 142.f);
    }
    resize(1024, 768);
    frame();
    {
        SCOPED_TRACE("1024 x 768");
        expectCreditsLayout(logo, 1024.f, 768.f);
    }
}

}  // namespace
