// Reads each input as the tag table "tags.json" of a data root of its own.

#include <cstddef>
#include <cstdint>

#include "engine/AssetLoadException.hpp"
#include "engine/AssetManager.hpp"
#include "fuzz/FuzzCheck.hpp"
#include "fuzz/FuzzFile.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzFile file("tags.json");
    file.write(data, size);
    orn::AssetManager& assets = orn::AssetManager::getInstance();
    assets.rootPath = file.folder();
    assets.tags.clear();
    try {
        assets.loadTags();
    } catch (const orn::AssetLoadException& error) {
        FUZZ_CHECK(!error.path.empty());
    }
    for (const auto& [name, mask] : assets.tags) {
        // "None" or a single bit from 1 << 1 to 1 << 31.
        FUZZ_CHECK(mask == 0 ? name == "None" : (mask & (mask - 1)) == 0 && mask != 1);
        FUZZ_CHECK(assets.getTagMask(name) == mask);
    }
    return 0;
}
