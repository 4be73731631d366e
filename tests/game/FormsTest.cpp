#include <gtest/gtest.h>

#include <memory>

#include "GameTestSupport.hpp"
#include "engine/AnimatedSprite.hpp"
#include "engine/AssetManager.hpp"
#include "engine/BoxCollider.hpp"
#include "engine/GameObject.hpp"
#include "engine/SpriteAnimation.hpp"
#include "game/MainScene.hpp"
#include "game/Player.hpp"
#include "game/PlayerAttackZone.hpp"
#include "game/Transmutation.hpp"

using gametest::build;
using gametest::GameDriver;
using gametest::mapObject;
using gametest::ScriptedScene;

namespace {

/// The player prefab alone on a floor, with the transmutate key bound to E.
class Forms : public ::testing::Test {
protected:
    GameDriver& driver = GameDriver::instance();
    std::shared_ptr<ScriptedScene> scene;
    orn::GameObject* root = nullptr;

    void SetUp() override {
        driver.held.clear();
        scene = std::make_shared<ScriptedScene>();
        scene->onInit = [](ScriptedScene& s) {
            MainScene::loadLevelAssets();
            orn::InputManager::getInstance().actions = {{"transmutate", sf::Keyboard::E}};
            build(s, mapObject("Collider", "floor", {0.f, 200.f, 600.f, 16.f}, {{"IsTrigger", "false"}}), 1);
            build(s, mapObject("Player", "Player", {100.f, 200.f, 0.f, 0.f}, {{"Health", "100"}}));
        };
        driver.enter(scene);
        driver.frame();
        for (auto& entry : scene->layers[3]) {
            if (entry.second->hasTag("Player")) {
                root = entry.second.get();
            }
        }
        ASSERT_NE(root, nullptr);
    }

    std::shared_ptr<Transmutation> forms() const { return root->getComponent<Transmutation>().lock(); }
    std::shared_ptr<Player> player() const { return root->getComponent<Player>().lock(); }
    void press() {
        driver.held.insert(sf::Keyboard::E);
        driver.frame();
        driver.held.clear();
        driver.frame();
    }
};

TEST_F(Forms, LosingTheActiveFormPrefersTheOthersInOrderAndKeepsItWhenNoneIsLeft) {
    auto t = forms();
    t->setFormAvailable(Form::Minotaur, true);
    t->setFormAvailable(Form::Human, false);  // the rat is not available: on to the minotaur
    EXPECT_EQ(t->currentForm, Form::Minotaur);

    t->setFormAvailable(Form::Rat, true);
    t->setFormAvailable(Form::Minotaur, false);  // the human is not available: on to the rat
    EXPECT_EQ(t->currentForm, Form::Rat);

    t->setFormAvailable(Form::Human, true);
    t->setFormAvailable(Form::Minotaur, true);
    t->setFormAvailable(Form::Rat, false);  // human before minotaur
    EXPECT_EQ(t->currentForm, Form::Human);

    t->setFormAvailable(Form::Minotaur, false);
    t->setFormAvailable(Form::Human, false);  // nothing left: the form stays although it is lost
    EXPECT_EQ(t->currentForm, Form::Human);
    press();
    EXPECT_EQ(t->currentForm, Form::Human);
    t->setFormAvailable(Form::Rat, true);
    EXPECT_EQ(t->currentForm, Form::Human);
    press();
    EXPECT_EQ(t->currentForm, Form::Rat);
}

TEST_F(Forms, TheCycleSkipsUnavailableForms) {
    auto t = forms();
    t->setFormAvailable(Form::Minotaur, true);
    press();
    EXPECT_EQ(t->currentForm, Form::Minotaur);  // human -> (rat skipped) -> minotaur
    t->setFormAvailable(Form::Rat, true);
    t->setFormAvailable(Form::Human, false);
    press();
    EXPECT_EQ(t->currentForm, Form::Rat);  // minotaur -> (human skipped) -> rat
    press();
    EXPECT_EQ(t->currentForm, Form::Minotaur);
}

TEST_F(Forms, EachFormBringsItsObjectColliderSlashTimingAndBlockBreaking) {
    auto t = forms();
    auto controller = player();
    auto zone = controller->attackZone.lock();
    ASSERT_TRUE(zone);
    EXPECT_EQ(zone->player.lock(), controller);
    EXPECT_EQ(controller->transmutation.lock(), t);

    struct Expected {
        Form form;
        const char* tag;
        const char* animatorKey;
        float hitFraction;
        bool breaksBlocks;
        std::weak_ptr<orn::BoxCollider> Player::*collider;
    };
    const Expected table[] = {{Form::Rat, "Rat", "rat", 0.5f, false, &Player::ratCollider},
                              {Form::Minotaur, "Minotaur", "minotaur", 0.5f, true, &Player::minotaurCollider},
                              {Form::Human, "Human", "player", 0.25f, false, &Player::humanCollider}};
    t->setFormAvailable(Form::Rat, true);
    t->setFormAvailable(Form::Minotaur, true);
    for (const Expected& row : table) {
        press();
        ASSERT_EQ(t->currentForm, row.form);
        auto object = t->currentFormObject.lock();
        ASSERT_TRUE(object);
        EXPECT_TRUE(object->hasTag(row.tag));
        EXPECT_TRUE(object->isActive());
        EXPECT_TRUE((controller.get()->*row.collider).lock()->enabled);
        EXPECT_EQ(zone->breaksBlocks, row.breaksBlocks);

        float speed = 1.f;
        for (const auto& state :
             orn::AssetManager::getInstance().getAnimatorConfiguration(row.animatorKey)->states) {
            if (state.name == "slash") {
                speed = state.speed;
                break;
            }
        }
        const float slash =
            orn::AssetManager::getInstance().getSpriteAnimation(row.animatorKey)->getDuration("slash") /
            speed;
        EXPECT_FLOAT_EQ(controller->attackDuration, slash);
        EXPECT_FLOAT_EQ(controller->attackHitTime, slash * row.hitFraction);
    }
}

}  // namespace
