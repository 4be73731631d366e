// Reads each input as an animator file.

#include <cstddef>
#include <cstdint>

#include "engine/AnimatorConfiguration.hpp"
#include "engine/AssetLoadException.hpp"
#include "fuzz/FuzzCheck.hpp"
#include "fuzz/FuzzFile.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzFile file("animator.json");
    file.write(data, size);
    try {
        const auto configuration = orn::AnimatorConfiguration::loadFromFile(file.path(), "animator.json");
        for (const auto& state : configuration->states) {
            for (const auto& transition : state.conditions) {
                for (const auto& condition : transition.evaluated) {
                    // Only a negated test ("!" alone) may name the empty parameter.
                    FUZZ_CHECK(!condition.expected || !condition.parameter.empty());
                }
            }
        }
    } catch (const orn::AssetLoadException&) {
    }
    return 0;
}
