#include <gtest/gtest.h>

#include <SFML/Graphics/RenderTexture.hpp>

#include "engine/Visibility.hpp"

TEST(Visibility, OnlyBoundsWhollyOutsideTheViewAreSkipped) {
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(64, 64));
    target.setView(sf::View(sf::FloatRect(100.f, 100.f, 200.f, 100.f)));

    EXPECT_TRUE(orn::Visibility::inView(target, {150.f, 150.f, 16.f, 16.f}));
    EXPECT_TRUE(orn::Visibility::inView(target, {90.f, 90.f, 16.f, 16.f}));    // overlaps the top-left corner
    EXPECT_TRUE(orn::Visibility::inView(target, {290.f, 190.f, 16.f, 16.f}));  // and the bottom-right one
    EXPECT_FALSE(orn::Visibility::inView(target, {300.f, 150.f, 16.f, 16.f}));  // just right of the view
    EXPECT_FALSE(orn::Visibility::inView(target, {150.f, 84.f, 16.f, 16.f}));   // just above it
    EXPECT_FALSE(orn::Visibility::inView(target, {-500.f, 150.f, 16.f, 16.f}));

    sf::View turned(sf::FloatRect(100.f, 100.f, 200.f, 100.f));
    turned.setRotation(30.f);
    target.setView(turned);
    EXPECT_TRUE(orn::Visibility::inView(target, {-500.f, 150.f, 16.f, 16.f}));
}
