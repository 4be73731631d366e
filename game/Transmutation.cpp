#include "game/Transmutation.hpp"

#include <array>
#include <cstddef>

#include "engine/AnimatedSprite.hpp"
#include "engine/Animator.hpp"
#include "engine/GameObject.hpp"
#include "engine/InputManager.hpp"
#include "game/Player.hpp"
#include "game/PlayerAttackZone.hpp"

namespace {

/// One form: the fixed facts and where its per-instance values live in Transmutation.
struct FormEntry {
    const char* tag;          ///< tag of the form's child object under the player's root
    const char* animatorKey;  ///< sprite sheet and animator configuration of the form
    float hitFraction;        ///< share of the slash animation after which the blow lands
    bool breaksBlocks;
    FormStats Transmutation::*stats;
    bool Transmutation::*available;
    std::weak_ptr<orn::GameObject> Transmutation::*object;
};

/// Indexed by Form; the order is also the transmutate cycle and the order of preference when the active form
/// is lost.
const std::array<FormEntry, 3> forms{{
    {"Human", "player", 0.25f, false, &Transmutation::humanStats, &Transmutation::humanAvailable,
     &Transmutation::humanObject},
    {"Rat", "rat", 0.5f, false, &Transmutation::ratStats, &Transmutation::ratAvailable,
     &Transmutation::ratObject},
    {"Minotaur", "minotaur", 0.5f, true, &Transmutation::minotaurStats, &Transmutation::minotaurAvailable,
     &Transmutation::minotaurObject},
}};

/// Raises std::out_of_range for a value outside the enumeration.
const FormEntry& entryOf(Form form) {
    return forms.at(static_cast<std::size_t>(form));
}

Form formAt(std::size_t index) {
    return static_cast<Form>(index % forms.size());
}

}  // namespace

Transmutation::Transmutation(FormStats human, FormStats rat, FormStats minotaur)
    : humanStats(human), ratStats(rat), minotaurStats(minotaur) {}

Transmutation::~Transmutation() = default;

void Transmutation::start() {
    for (const FormEntry& entry : forms) {
        this->*entry.object = gameObject->findChildByTag(entry.tag);
    }
    currentFormObject = humanObject;
    player = gameObject->getComponent<Player>();
    player.lock()->transmutation = std::static_pointer_cast<Transmutation>(shared_from_this());
    apply(Form::Human);
    fireEvent("formsAvailableChanged", std::make_shared<FormsAvailableArgs>(true, false, false));
}

void Transmutation::update() {
    if (!orn::InputManager::getInstance().isActionDown("transmutate")) {
        return;
    }
    const auto current = static_cast<std::size_t>(currentForm);
    for (std::size_t step = 1; step < forms.size(); ++step) {
        if (isAvailable(formAt(current + step))) {
            transmutate(formAt(current + step));
            return;
        }
    }
}

bool Transmutation::isAvailable(Form form) const {
    return this->*entryOf(form).available;
}

void Transmutation::transmutate(Form form) {
    // Before start there is no controller to apply a form to; a region touched that early only sets flags.
    if (!isAvailable(form) || player.expired()) {
        return;
    }
    player.lock()->useBodyCollider(form);
    for (const FormEntry& entry : forms) {
        if (auto object = (this->*entry.object).lock()) {
            object->setActive(false);
        }
    }
    auto next = (this->*entryOf(form).object).lock();
    next->setActive(true);
    // The facing survives the change.
    auto previousSprite = getCurrentSprite().lock();
    if (auto sprite = next->getComponent<orn::AnimatedSprite>().lock(); sprite && previousSprite) {
        sprite->flipX = previousSprite->flipX;
    }
    apply(form);
}

void Transmutation::apply(Form form) {
    const FormEntry& entry = entryOf(form);
    const FormStats& stats = this->*entry.stats;
    auto owner = player.lock();
    if (auto zone = owner->attackZone.lock()) {
        zone->takeForm(stats.damage, stats.attackZoneScale, entry.breaksBlocks);
    }
    owner->jumpForce = stats.jumpForce;
    currentFormObject = this->*entry.object;
    owner->takeForm(form, currentFormObject);
    owner->setAttackTiming(entry.animatorKey, entry.hitFraction);
    currentForm = form;
}

void Transmutation::setFormAvailable(Form form, bool available) {
    this->*entryOf(form).available = available;
    if (available || form != currentForm) {
        return;
    }
    // The first other form, in table order, that is still available; none leaves the form as it is.
    for (std::size_t index = 0; index < forms.size(); ++index) {
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
