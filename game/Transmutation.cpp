#include "game/Transmutation.hpp"

#include <array>
#include <cstddef>

#include "engine/AnimatedSprite.hpp"
#include "engine/Animator.hpp"
#include "engine/GameObject.hpp"
#include "engine/InputManager.hpp"
#include "game/FormRecord.hpp"
#include "game/Player.hpp"
#include "game/PlayerAttackZone.hpp"

namespace {

/// Where the per-instance values of a form live in Transmutation, in the order of FormRecord::all().
struct FormSlot {
    FormStats Transmutation::*stats;
    bool Transmutation::*available;
    std::weak_ptr<orn::GameObject> Transmutation::*object;
};

const std::array<FormSlot, 3> slots{{
    {&Transmutation::humanStats, &Transmutation::humanAvailable, &Transmutation::humanObject},
    {&Transmutation::ratStats, &Transmutation::ratAvailable, &Transmutation::ratObject},
    {&Transmutation::minotaurStats, &Transmutation::minotaurAvailable, &Transmutation::minotaurObject},
}};

/// Raises std::out_of_range for a value outside the enumeration.
const FormSlot& slotOf(Form form) {
    return slots.at(static_cast<std::size_t>(form));
}

Form formAt(std::size_t index) {
    return static_cast<Form>(index % slots.size());
}

}  // namespace

Transmutation::Transmutation(FormStats human, FormStats rat, FormStats minotaur)
    : humanStats(human),
      ratStats(rat),
      minotaurStats(minotaur),
      humanAvailable(FormRecord::of(Form::Human).availableAtStart),
      ratAvailable(FormRecord::of(Form::Rat).availableAtStart),
      minotaurAvailable(FormRecord::of(Form::Minotaur).availableAtStart) {}

Transmutation::~Transmutation() = default;

void Transmutation::start() {
    for (const FormRecord& record : FormRecord::all()) {
        this->*slotOf(record.form).object = gameObject->findChildByTag(record.tag);
    }
    currentFormObject = humanObject;
    player = gameObject->getComponent<Player>();
    player.lock()->transmutation = std::static_pointer_cast<Transmutation>(shared_from_this());
    apply(Form::Human);
    // A region touched before this start has already set the flags.
    fireEvent("formsAvailableChanged",
              std::make_shared<FormsAvailableArgs>(humanAvailable, ratAvailable, minotaurAvailable));
}

void Transmutation::update() {
    if (!orn::InputManager::getInstance().isActionDown("transmutate")) {
        return;
    }
    const auto current = static_cast<std::size_t>(currentForm);
    for (std::size_t step = 1; step < slots.size(); ++step) {
        if (isAvailable(formAt(current + step))) {
            transmutate(formAt(current + step));
            return;
        }
    }
}

bool Transmutation::isAvailable(Form form) const {
    return this->*slotOf(form).available;
}

void Transmutation::transmutate(Form form) {
    // Before start there is no controller to apply a form to; a region touched that early only sets flags.
    if (!isAvailable(form) || player.expired()) {
        return;
    }
    auto owner = player.lock();
    if (form != currentForm && !owner->bodyFits(form)) {
        fireEvent("formChangeRefused", std::make_shared<FormRefusedArgs>(form));
        return;
    }
    owner->useBodyCollider(form);
    for (const FormSlot& slot : slots) {
        if (auto object = (this->*slot.object).lock()) {
            object->setActive(false);
        }
    }
    auto next = (this->*slotOf(form).object).lock();
    next->setActive(true);
    // The facing survives the change.
    auto previousSprite = getCurrentSprite().lock();
    if (auto sprite = next->getComponent<orn::AnimatedSprite>().lock(); sprite && previousSprite) {
        sprite->flipX = previousSprite->flipX;
    }
    apply(form);
}

void Transmutation::apply(Form form) {
    const FormRecord& record = FormRecord::of(form);
    const FormSlot& slot = slotOf(form);
    const FormStats& stats = this->*slot.stats;
    auto owner = player.lock();
    if (auto zone = owner->attackZone.lock()) {
        zone->takeForm(stats.damage, stats.attackZoneScale, record.breaksBlocks);
    }
    owner->jumpForce = stats.jumpForce;
    currentFormObject = this->*slot.object;
    owner->takeForm(form, currentFormObject);
    owner->setAttackTiming(record.animatorKey, record.hitFraction);
    currentForm = form;
}

void Transmutation::setFormAvailable(Form form, bool available) {
    this->*slotOf(form).available = available;
    if (available || form != currentForm) {
        return;
    }
    // The first other form, in table order, that is still available; none leaves the form as it is.
    for (std::size_t index = 0; index < slots.size(); ++index) {
        if (formAt(index) != form && isAvailable(formAt(index))) {
            transmutate(formAt(index));
            return;
        }
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
