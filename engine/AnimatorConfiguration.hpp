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
        std::string parameter;
        bool expected = true;
    };

    struct Transition {
        std::vector<Condition> evaluated;  ///< all must hold; an empty list always holds
        std::string followState;
    };

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

    std::string initialState;
    std::vector<State> states;  ///< in file order
};

}  // namespace orn
