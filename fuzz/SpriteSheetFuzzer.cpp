// Reads each input as a sprite sheet and plays through every animation that it yields, in index order and in
// the order of its tag's direction.

#include <algorithm>
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
            // The play order of the tag's direction: every position of two cycles shows one of its frames,
            // and a play that ends does so after at least one pass.
            const std::int64_t cycle = orn::SpriteAnimation::cycleLength(animation);
            FUZZ_CHECK(cycle > 0 && cycle <= 2 * static_cast<std::int64_t>(count));
            for (std::int64_t position = 0; position < 2 * cycle; ++position) {
                FUZZ_CHECK(sheet->getPlayedFrame(name, static_cast<std::int32_t>(position)).duration > 0);
            }
            const std::int64_t once = orn::SpriteAnimation::playLength(animation, false);
            FUZZ_CHECK(once == 0 || once >= std::min<std::int64_t>(count, cycle));
            FUZZ_CHECK(once <= 2147483647);
            FUZZ_CHECK(orn::SpriteAnimation::playLength(animation, true) == 0 || animation.repeat > 0);
            for (const orn::SpriteAnimation::Frame& frame : animation.frames) {
                FUZZ_CHECK(frame.trimmed ||
                           (frame.offset == sf::Vector2i() &&
                            frame.sourceSize == sf::Vector2i(frame.rect.width, frame.rect.height)));
            }
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
