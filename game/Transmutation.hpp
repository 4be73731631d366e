#pragma once

#include <memory>

#include "engine/Component.hpp"
#include "engine/EventArgs.hpp"
#include "game/Form.hpp"
#include "game/FormStats.hpp"

namespace orn {
class AnimatedSprite;
class Animator;
class GameObject;
}  // namespace orn

class Player;

/// Knows the player's active and available forms, switches between them on "transmutate" or when a form
/// region takes the active one away, and applies the form to the player and its attack zone. The fixed facts
/// of each form come from its FormRecord. A change whose body would not fit where the player stands is
/// refused with "formChangeRefused".
class Transmutation : public orn::Component {
public:
    struct FormsAvailableArgs : virtual orn::EventArgs {
        FormsAvailableArgs(bool human, bool rat, bool minotaur)
            : humanAvailable(human), ratAvailable(rat), minotaurAvailable(minotaur) {}
        bool humanAvailable;
        bool ratAvailable;
        bool minotaurAvailable;
    };
    /// Payload of "formChangeRefused": the form the player could not take for lack of room.
    struct FormRefusedArgs : virtual orn::EventArgs {
        explicit FormRefusedArgs(Form refused) : form(refused) {}
        Form form;
    };

    Transmutation(FormStats humanStats, FormStats ratStats, FormStats minotaurStats);
    ~Transmutation() override;

    void start() override;
    void update() override;

    /// Switches to form if it is available and its body fits where the player stands (Player::bodyFits);
    /// an available form without room fires "formChangeRefused" and changes nothing. Switching to the active
    /// form re-applies it.
    void transmutate(Form form);
    /// Sets the form's flag; losing the active form moves to another one when one is available.
    void setFormAvailable(Form form, bool available);

    std::weak_ptr<orn::Animator> getCurrentAnimator() const;
    std::weak_ptr<orn::AnimatedSprite> getCurrentSprite() const;

    FormStats humanStats;
    FormStats ratStats;
    FormStats minotaurStats;
    bool humanAvailable;
    bool ratAvailable;
    bool minotaurAvailable;
    Form currentForm = Form::Human;
    /// The form objects are children of the own object, owned by the scene; they live as long as it does.
    std::weak_ptr<orn::GameObject> currentFormObject;
    std::weak_ptr<orn::GameObject> minotaurObject;
    std::weak_ptr<orn::GameObject> ratObject;
    std::weak_ptr<orn::GameObject> humanObject;
    /// The controller on the own object, which owns it.
    std::weak_ptr<Player> player;

private:
    bool isAvailable(Form form) const;
    /// Applies form to the controller and its attack zone; shared by start and transmutate, which also
    /// switch the form objects and the body colliders.
    void apply(Form form);
};
