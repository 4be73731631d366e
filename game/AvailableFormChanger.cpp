#include "game/AvailableFormChanger.hpp"

#include <cstddef>

#include "engine/Collider.hpp"
#include "engine/GameObject.hpp"
#include "game/FormRecord.hpp"
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
        const bool granted[] = {humanAvailable, ratAvailable, minotaurAvailable};
        for (const FormRecord& record : FormRecord::all()) {
            transmutation->setFormAvailable(record.form, granted[static_cast<std::size_t>(record.form)]);
        }
    }
    fireEvent("formsAvailableChanged", std::make_shared<Transmutation::FormsAvailableArgs>(
                                           humanAvailable, ratAvailable, minotaurAvailable));
}
