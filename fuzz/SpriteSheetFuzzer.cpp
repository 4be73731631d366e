// Reads each input as a sprite sheet and plays through every animation that it yields.

#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "engine/AssetLoadException.hpp"
#include "engine/SpriteAnimation.hpp"
#include "fuzz/FuzzCheck.hpp"
#include "fuzz/FuzzFile.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzFile file("sheet.json");
    file.write(data, size);
    try {
        const auto sheet = orn::SpriteAnimation::loadFromFile(file.path(), "sheet.json");
        for (const auto& [name, animation] : sheet->animations) {
            const std::int32_t count = sheet->getFrameCount(name);
            FUZZ_CHECK(count > 0);
            std::int64_t total = 0;
            for (std::int32_t i = 0; i <= count; ++i) {
                const orn::SpriteAnimation::Frame frame = sheet->getFrame(name, i);
                FUZZ_CHECK(frame.duration > 0);
                if (i < count) {
                    total += frame.duration;
                }
            }
            FUZZ_CHECK(total == animation.duration);
            FUZZ_CHECK(sheet->getDuration(name) >= 0.f);
            // The remainder keeps the index's sign, so -1 is out of range except for a single frame.
            try {
                sheet->getFrame(name, -1);
                FUZZ_CHECK(count == 1);
            } catch (const std::out_of_range&) {
                FUZZ_CHECK(count > 1);
            }
        }
    } catch (const orn::AssetLoadException&) {
    }
    return 0;
}
