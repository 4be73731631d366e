#include "game/MapObjectFactory.hpp"

#include <array>
#include <cstddef>

#include "engine/AnimatedSprite.hpp"
#include "engine/Animator.hpp"
#include "engine/AssetManager.hpp"
#include "engine/AudioSource.hpp"
#include "engine/BoxCollider.hpp"
#include "engine/GameObject.hpp"
#include "engine/Rigidbody.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Transform.hpp"
#include "game/AvailableFormChanger.hpp"
#include "game/Destroyable.hpp"
#include "game/Enemy.hpp"
#include "game/FormRecord.hpp"
#include "game/GroundedCheck.hpp"
#include "game/Health.hpp"
#include "game/LevelExit.hpp"
#include "game/Player.hpp"
#include "game/PlayerAttackZone.hpp"
#include "game/Text.hpp"
#include "game/Transmutation.hpp"

namespace {

const sf::Vector2f gravity(0.f, 9.81f);
constexpr float characterDamping = 0.95f;
constexpr float playerKnockback = 750.f;
constexpr float enemyKnockback = 500.f;
constexpr float destroyableHealth = 100.f;
const sf::IntRect destroyableImage(240, 112, 16, 16);

orn::GameObject* createAt(orn::Scene* scene, int layer, sf::Vector2f position) {
    orn::GameObject* object = scene->createGameObject(layer);
    object->getTransform().lock()->setPosition(position);
    return object;
}

void parentTo(orn::GameObject* child, orn::GameObject* parent) {
    child->getTransform().lock()->setParent(parent->getTransform().lock().get());
}

/// Width in texture pixels of the frame the sprite shows first.
float frameWidth(const orn::AnimatedSprite& sprite) {
    return static_cast<float>(
        sprite.spriteAnimation.getFrame(sprite.currentAnimation, sprite.currentFrame).rect.width);
}

/// A box collider (0, 0, width, height) anchored at its bottom centre, as the characters stand.
orn::BoxCollider* addStandingCollider(orn::GameObject* object, float width, float height) {
    auto* collider = object->addComponent<orn::BoxCollider>(sf::FloatRect(0.f, 0.f, width, height));
    collider->origin = {0.5f, 1.f};
    return collider;
}

std::shared_ptr<orn::BoxCollider> sharedCollider(orn::GameObject* object, orn::BoxCollider* collider) {
    return std::static_pointer_cast<orn::BoxCollider>(object->getComponentById(collider->id).lock());
}

/// A form of the player: a tagged child with its own animated sprite and animator, and its body collider on
/// the root, sized from the sprite's first frame; both in use only for the active form.
std::shared_ptr<orn::BoxCollider> addForm(orn::GameObject* root, orn::Scene* scene, int layer,
                                          const FormRecord& record, bool active) {
    orn::GameObject* form = scene->createGameObject(layer);
    form->setTag(record.tag);
    auto* sprite = form->addComponent<orn::AnimatedSprite>(record.animatorKey, record.animatorKey, "idle");
    sprite->origin = {0.5f, 1.f};
    sprite->scale = {record.spriteScale, record.spriteScale};
    form->addComponent<orn::Animator>(
        *orn::AssetManager::getInstance().getAnimatorConfiguration(record.animatorKey));
    parentTo(form, root);
    if (!active) {
        form->setActive(false);
    }
    const float w = frameWidth(*sprite);
    auto* body = addStandingCollider(root, record.bodySize.x * w, record.bodySize.y * w);
    body->enabled = active;
    return sharedCollider(root, body);
}

orn::GameObject* createEnemy(const orn::Tilemap::Object& object, int layer, orn::Scene* scene,
                             const std::string& key, float heightFraction) {
    const float health = object.getPropertyFloat("Health");
    orn::GameObject* enemy = createAt(scene, layer, {object.x, object.y});
    enemy->setTag("Enemy");
    enemy->name = object.name;
    auto* sprite = enemy->addComponent<orn::AnimatedSprite>(key, key, "walk");
    sprite->origin = {0.5f, 1.f};
    const float w = frameWidth(*sprite);
    addStandingCollider(enemy, 0.5f * w, heightFraction * w);
    auto* body = enemy->addComponent<orn::Rigidbody>(1.f, 1.f, 0.f);
    body->forces.push_back(gravity);
    body->damping = characterDamping;
    enemy->addComponent<Enemy>(object.getPropertyVector("InitialMovementDirection"));
    const std::string id = std::to_string(enemy->id);
    enemy->addComponent<Health>(health, health, enemyKnockback, "enemyKilled" + id, "enemyHit" + id, "");
    enemy->addComponent<orn::Animator>(*orn::AssetManager::getInstance().getAnimatorConfiguration(key));
    return enemy;
}

}  // namespace

MapObjectFactory& MapObjectFactory::getInstance() {
    static MapObjectFactory instance;
    return instance;
}

MapObjectFactory::MapObjectFactory() {
    creators["Collider"] = &MapObjectFactory::createCollider;
    creators["Player"] = &MapObjectFactory::createPlayer;
    creators["Darklord"] = &MapObjectFactory::createDarklord;
    creators["Sneaker"] = &MapObjectFactory::createSneaker;
    creators["Destroyable"] = &MapObjectFactory::createDestroyable;
    creators["AvailableRegion"] = &MapObjectFactory::createAvailableRegion;
    creators["TutorialText"] = &MapObjectFactory::createTutorialText;
    creators["LevelExit"] = &MapObjectFactory::createLevelExit;
}

void MapObjectFactory::createObjects(const orn::Tilemap::ObjectGroup& group, int layer) {
    orn::Scene* scene = orn::SceneManager::getInstance().getCurrentScene().get();
    for (const auto& object : group.objects) {
        auto creator = creators.find(object->type);
        if (creator != creators.end()) {
            creator->second(*object, layer, scene);
        }
    }
}

void* MapObjectFactory::createCollider(const orn::Tilemap::Object& object, int layer, orn::Scene* scene) {
    orn::GameObject* area = scene->createGameObject(layer);
    area->name = object.name;
    const bool isTrigger = object.getPropertyBool("IsTrigger");
    auto* collider =
        area->addComponent<orn::BoxCollider>(sf::FloatRect(object.x, object.y, object.width, object.height));
    collider->isTrigger = isTrigger;
    return collider;
}

void* MapObjectFactory::createPlayer(const orn::Tilemap::Object& object, int layer, orn::Scene* scene) {
    const float health = object.getPropertyFloat("Health");

    orn::GameObject* root = createAt(scene, layer, {object.x, object.y});
    auto* body = root->addComponent<orn::Rigidbody>();
    body->forces.push_back(gravity);
    body->damping = characterDamping;
    root->setTag("Player");

    orn::GameObject* probe = scene->createGameObject(layer);
    auto* feet = addStandingCollider(probe, 5.f, 5.f);
    feet->isTrigger = true;
    probe->addComponent<orn::Rigidbody>();
    probe->addComponent<GroundedCheck>();
    parentTo(probe, root);

    root->addComponent<Transmutation>(FormRecord::of(Form::Human).stats, FormRecord::of(Form::Rat).stats,
                                      FormRecord::of(Form::Minotaur).stats);
    root->addComponent<Health>(health, health, playerKnockback, "playerDeath", "playerHit",
                               "playerHealthChanged");

    orn::GameObject* trigger = scene->createGameObject(layer);
    trigger->name = "Trigger";
    trigger->addComponent<PlayerAttackZone>();
    parentTo(trigger, root);
    auto* reach = trigger->addComponent<orn::BoxCollider>(sf::FloatRect(0.f, 0.f, 16.f, 22.f));
    reach->origin = {0.f, 1.f};
    reach->isTrigger = true;

    // The player starts as a human.
    std::array<std::shared_ptr<orn::BoxCollider>, 3> bodies;
    for (const FormRecord& record : FormRecord::all()) {
        bodies.at(static_cast<std::size_t>(record.form)) =
            addForm(root, scene, layer, record, record.form == Form::Human);
    }
    return root->addComponent<Player>(bodies[0], bodies[1], bodies[2]);
}

void* MapObjectFactory::createDarklord(const orn::Tilemap::Object& object, int layer, orn::Scene* scene) {
    return createEnemy(object, layer, scene, "darklord", 0.5f);
}

void* MapObjectFactory::createSneaker(const orn::Tilemap::Object& object, int layer, orn::Scene* scene) {
    orn::GameObject* sneaker = createEnemy(object, layer, scene, "sneaker", 1.f / 3.f);
    sneaker->addComponent<orn::AudioSource>("slime", true, true);
    return sneaker;
}

void* MapObjectFactory::createDestroyable(const orn::Tilemap::Object& object, int layer, orn::Scene* scene) {
    const int countX = object.getPropertyInt("CountX");
    const int countY = object.getPropertyInt("CountY");
    if (countX <= 0 || countY <= 0) {
        return nullptr;
    }
    const float cellWidth = object.width / static_cast<float>(countX);
    const float cellHeight = object.height / static_cast<float>(countY);
    orn::GameObject* last = nullptr;
    for (int row = 0; row < countY; ++row) {
        for (int column = 0; column < countX; ++column) {
            orn::GameObject* block = scene->createGameObject(layer);
            block->setTag("Destroyable");
            block->name = object.name;
            block->getTransform().lock()->setPosition({object.x + static_cast<float>(column) * cellWidth,
                                                       object.y + static_cast<float>(row) * cellHeight});
            block->addComponent<orn::Sprite>("tileset")->sprite.setTextureRect(destroyableImage);
            block->addComponent<orn::BoxCollider>(sf::FloatRect(0.f, 0.f, cellWidth, cellHeight));
            block->addComponent<Health>(destroyableHealth, destroyableHealth, 0.f,
                                        "destroyableKilled" + std::to_string(block->id));
            block->addComponent<Destroyable>();
            auto* body = block->addComponent<orn::Rigidbody>();
            body->isKinematic = true;
            body->infiniteMass = true;
            last = block;
        }
    }
    return last;
}

void* MapObjectFactory::createAvailableRegion(const orn::Tilemap::Object& object, int layer,
                                              orn::Scene* scene) {
    orn::GameObject* region = createAt(scene, layer, {object.x, object.y});
    auto* area = region->addComponent<orn::BoxCollider>(sf::FloatRect(0.f, 0.f, object.width, object.height));
    area->isTrigger = true;
    // Read from the last form to the first, so a region missing several names the minotaur's property.
    std::array<bool, 3> granted{};
    const auto& records = FormRecord::all();
    for (auto record = records.rbegin(); record != records.rend(); ++record) {
        granted.at(static_cast<std::size_t>(record->form)) = object.getPropertyBool(record->regionProperty);
    }
    return region->addComponent<AvailableFormChanger>(granted[0], granted[1], granted[2]);
}

void* MapObjectFactory::createLevelExit(const orn::Tilemap::Object& object, int layer, orn::Scene* scene) {
    orn::GameObject* exit = createAt(scene, layer, {object.x, object.y});
    auto* area = exit->addComponent<orn::BoxCollider>(sf::FloatRect(0.f, 0.f, object.width, object.height));
    area->isTrigger = true;
    exit->addComponent<SceneTransition<EndScene>>();
    return exit->addComponent<LevelExit>();
}

void* MapObjectFactory::createTutorialText(const orn::Tilemap::Object& object, int layer, orn::Scene* scene) {
    orn::GameObject* hint = createAt(scene, layer, {object.x, object.y});
    const int size = object.getPropertyInt("TextSize");
    const std::string font = object.getProperty("TextFont");
    const std::string text = object.getProperty("Text");
    return hint->addComponent<Text>(text, static_cast<unsigned>(size < 0 ? 0 : size), font);
}
