#include "game/AvailableFormChanger.hpp"

#include "engine/Collider.hpp"
#include "engine/GameObject.hpp"
#include "game/Transmutation.hpp"

AvailableFormChanger::AvailableFormChanger(bool human, bool rat, bool minotaur)
    : humanAvailable(human), ratAvailable(rat), minotaurAvailable(minotaur) {}

AvailableFormChanger::~AvailableFormChanger() = default;

void AvailableFormChanger::onTriggerEnter(orn::Collision collision) {
    orn::GameObject* other = collision.other->getGameObject();
    if (!other->hasTag("Player")) {
        return;
    }
    if (auto transmutation = other->getComponent<Transmutation>().lock()) {
        transmutation->setFormAvailable(Form::Human, humanAvailable);
        transmutation->setFormAvailable(Form::Rat, ratAvailable);
        transmutation->setFormAvailable(Form::Minotaur, minotaurAvailable);
    }
    fireEvent("formsAvailableChanged", std::make_shared<Transmutation::FormsAvailableArgs>(
                                           humanAvailable, ratAvailable, minotaurAvailable));
}
