#include "game/Transmutation.hpp"

#include "engine/AnimatedSprite.hpp"
#include "engine/Animator.hpp"
#include "engine/BoxCollider.hpp"
#include "engine/GameObject.hpp"
#include "engine/InputManager.hpp"
#include "game/Player.hpp"
#include "game/PlayerAttackZone.hpp"

namespace {

const char* animatorKeyOf(Form form) {
    switch (form) {
        case Form::Rat:
            return "rat";
        case Form::Minotaur:
            return "minotaur";
        case Form::Human:
            break;
    }
    return "player";
}

float hitFractionOf(Form form) {
    return form == Form::Human ? 0.25f : 0.5f;
}

void setActiveIfAlive(const std::weak_ptr<orn::GameObject>& object, bool value) {
    if (auto alive = object.lock()) {
        alive->setActive(value);
    }
}

}  // namespace

Transmutation::Transmutation(FormStats human, FormStats rat, FormStats minotaur)
    : humanStats(human), ratStats(rat), minotaurStats(minotaur) {}

Transmutation::~Transmutation() = default;

void Transmutation::start() {
    humanObject = gameObject->findChildByTag("Human");
    ratObject = gameObject->findChildByTag("Rat");
    minotaurObject = gameObject->findChildByTag("Minotaur");
    currentFormObject = humanObject;
    player = gameObject->getComponent<Player>();
    auto owner = player.lock();
    owner->setAttackTiming("player", 0.25f);
    if (auto zone = owner->attackZone.lock()) {
        zone->damage = humanStats.damage;
        zone->setSize(humanStats.attackZoneScale);
    }
    owner->jumpForce = humanStats.jumpForce;
    fireEvent("formsAvailableChanged", std::make_shared<FormsAvailableArgs>(true, false, false));
}

void Transmutation::update() {
    if (!orn::InputManager::getInstance().isActionDown("transmutate")) {
        return;
    }
    switch (currentForm) {
        case Form::Human:
            if (ratAvailable) {
                transmutate(Form::Rat);
            } else if (minotaurAvailable) {
                transmutate(Form::Minotaur);
            }
            break;
        case Form::Rat:
            if (minotaurAvailable) {
                transmutate(Form::Minotaur);
            } else if (humanAvailable) {
                transmutate(Form::Human);
            }
            break;
        case Form::Minotaur:
            if (humanAvailable) {
                transmutate(Form::Human);
            } else if (ratAvailable) {
                transmutate(Form::Rat);
            }
            break;
    }
}

bool Transmutation::isAvailable(Form form) const {
    switch (form) {
        case Form::Rat:
            return ratAvailable;
        case Form::Minotaur:
            return minotaurAvailable;
        case Form::Human:
            break;
    }
    return humanAvailable;
}

void Transmutation::transmutate(Form form) {
    if (!isAvailable(form)) {
        return;
    }
    auto owner = player.lock();
    for (const auto& collider : {owner->humanCollider, owner->ratCollider, owner->minotaurCollider}) {
        if (auto body = collider.lock()) {
            body->enabled = false;
        }
    }
    setActiveIfAlive(humanObject, false);
    setActiveIfAlive(ratObject, false);
    setActiveIfAlive(minotaurObject, false);
    switch (form) {
        case Form::Human:
            activate(humanStats, humanObject, form);
            break;
        case Form::Rat:
            activate(ratStats, ratObject, form);
            break;
        case Form::Minotaur:
            activate(minotaurStats, minotaurObject, form);
            break;
    }
    owner->setAttackTiming(animatorKeyOf(form), hitFractionOf(form));
    currentForm = form;
}

void Transmutation::activate(const FormStats& stats, const std::weak_ptr<orn::GameObject>& object,
                             Form form) {
    auto owner = player.lock();
    auto next = object.lock();
    next->setActive(true);
    auto previousSprite = getCurrentSprite().lock();
    if (auto sprite = next->getComponent<orn::AnimatedSprite>().lock(); sprite && previousSprite) {
        sprite->flipX = previousSprite->flipX;
    }
    if (auto zone = owner->attackZone.lock()) {
        zone->damage = stats.damage;
        zone->setSize(stats.attackZoneScale);
    }
    owner->jumpForce = stats.jumpForce;
    currentFormObject = object;
    const std::weak_ptr<orn::BoxCollider>& collider = form == Form::Human ? owner->humanCollider
                                                      : form == Form::Rat ? owner->ratCollider
                                                                          : owner->minotaurCollider;
    if (auto body = collider.lock()) {
        body->enabled = true;
    }
}

void Transmutation::setFormAvailable(Form form, bool available) {
    switch (form) {
        case Form::Human:
            humanAvailable = available;
            break;
        case Form::Rat:
            ratAvailable = available;
            break;
        case Form::Minotaur:
            minotaurAvailable = available;
            break;
    }
    if (available || form != currentForm) {
        return;
    }
    switch (form) {
        case Form::Human:
            transmutate(ratAvailable ? Form::Rat : Form::Minotaur);
            break;
        case Form::Rat:
            transmutate(humanAvailable ? Form::Human : Form::Minotaur);
            break;
        case Form::Minotaur:
            transmutate(humanAvailable ? Form::Human : Form::Rat);
            break;
    }
}

std::weak_ptr<orn::Animator> Transmutation::getCurrentAnimator() const {
    auto object = currentFormObject.lock();
    return object ? object->getComponent<orn::Animator>() : std::weak_ptr<orn::Animator>();
}

std::weak_ptr<orn::AnimatedSprite> Transmutation::getCurrentSprite() const {
    auto object = currentFormObject.lock();
    return object ? object->getComponent<orn::AnimatedSprite>() : std::weak_ptr<orn::AnimatedSprite>();
}
