#pragma once

#include <memory>
#include <string>
#include <vector>

namespace orn {

/// The content of one animator file: the states of an animation state machine and the transitions between
/// them, guarded by tests of boolean parameters. Names are not resolved here; the Animator does that.
struct AnimatorConfiguration {
    /// One parameter test: the parameter must have the value expected.
    struct Condition {
        /// Name of the boolean parameter tested.
        std::string parameter;
        /// The value it must have.
        bool expected = true;
    };

    /// A way out of a state, taken when all its tests hold.
    struct Transition {
        std::vector<Condition> evaluated;  ///< all must hold; an empty list always holds
        /// Name of the state the transition leads to.
        std::string followState;
    };

    /// One state: the animation it plays and its transitions.
    struct State {
        std::string name;           ///< also the name of the sprite sheet animation the state plays
        float speed = 1.f;          ///< rate of the state's clock and playback speed of its animation
        float fixedDuration = 0.f;  ///< seconds of state clock before any transition is tested
        bool hasExitTime = false;   ///< whether transitions also wait for exitTime
        float exitTime = 0.f;       ///< fraction of the animation's duration
        std::vector<Transition> conditions;  ///< tested in this order
    };

    /// Reads the animator file at fullPath (path is the same file relative to the data root). Raises
    /// AssetLoadException naming the first missing or mistyped member in reading order; those messages carry
    /// no path. Elements of the wrong type in "states", "conditions" and "evaluated" are rejected with a
    /// message that names the file, and path set.
    static std::shared_ptr<AnimatorConfiguration> loadFromFile(const std::string& fullPath,
                                                               const std::string& path);

    /// Name of the state played first.
    std::string initialState;
    std::vector<State> states;  ///< in file order
};

}  // namespace orn
