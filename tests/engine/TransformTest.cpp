#include <gtest/gtest.h>

#include "engine/Transform.hpp"

using orn::Transform;

namespace {

void expectNear(sf::Vector2f actual, sf::Vector2f expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-4f);
    EXPECT_NEAR(actual.y, expected.y, 1e-4f);
}

}  // namespace

TEST(Transform, ChildCombinesPositionAdditivelyAndScaleMultiplicatively) {
    Transform parent;
    Transform child;
    parent.setLocalPosition({100.f, 50.f});
    parent.setLocalScale({2.f, 2.f});
    child.setLocalPosition({10.f, 0.f});
    child.setLocalScale({0.5f, 3.f});
    child.setParent(&parent);

    expectNear(child.getPosition(), {110.f, 50.f});
    expectNear(child.getScale(), {1.f, 6.f});
    EXPECT_EQ(parent.getChildren().size(), 1u);
    EXPECT_EQ(child.getParent(), &parent);
}

TEST(Transform, MovingAnAncestorMovesEveryDescendantOnTheNextRead) {
    Transform root;
    Transform middle;
    Transform leaf;
    middle.setParent(&root);
    leaf.setParent(&middle);
    leaf.setLocalPosition({1.f, 2.f});
    expectNear(leaf.getPosition(), {1.f, 2.f});

    root.setLocalPosition({30.f, 40.f});
    expectNear(leaf.getPosition(), {31.f, 42.f});
    middle.setLocalPosition({-1.f, 0.f});
    expectNear(leaf.getPosition(), {30.f, 42.f});
}

TEST(Transform, SetPositionSolvesForTheLocalPosition) {
    Transform root;
    root.setLocalScale({3.f, 3.f});
    root.setPosition({7.f, -9.f});
    expectNear(root.getLocalPosition(), {7.f, -9.f});
    expectNear(root.getPosition(), {7.f, -9.f});

    Transform parent;
    Transform child;
    parent.setLocalPosition({100.f, 20.f});
    child.setParent(&parent);
    child.setPosition({150.f, 25.f});
    expectNear(child.getLocalPosition(), {50.f, 5.f});
    expectNear(child.getPosition(), {150.f, 25.f});
}

TEST(Transform, ReparentingKeepsLocalValuesAndDestroyingAParentLeavesRoots) {
    Transform first;
    Transform second;
    first.setLocalPosition({10.f, 10.f});
    second.setLocalPosition({-5.f, 0.f});
    auto child = std::make_unique<Transform>();
    child->setLocalPosition({1.f, 1.f});
    child->setParent(&first);
    expectNear(child->getPosition(), {11.f, 11.f});

    child->setParent(&second);
    expectNear(child->getLocalPosition(), {1.f, 1.f});
    expectNear(child->getPosition(), {-4.f, 1.f});
    EXPECT_TRUE(first.getChildren().empty());

    {
        auto parent = std::make_unique<Transform>();
        parent->setLocalPosition({500.f, 500.f});
        child->setParent(parent.get());
        expectNear(child->getPosition(), {501.f, 501.f});
    }
    EXPECT_EQ(child->getParent(), nullptr);
    expectNear(child->getPosition(), {1.f, 1.f});

    // A destroyed child unlinks itself from its parent.
    child->setParent(&first);
    child.reset();
    EXPECT_TRUE(first.getChildren().empty());
}

TEST(Transform, WorldMatrixInvertsBackToLocalSpace) {
    Transform transform;
    transform.setLocalPosition({12.f, 34.f});
    transform.setLocalScale({2.f, 4.f});
    const sf::Vector2f world = transform.getWorldMatrix().transformPoint({1.f, 1.f});
    expectNear(transform.getInverseWorldMatrix().transformPoint(world), {1.f, 1.f});
}
