#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "AssetTestDir.hpp"
#include "engine/AnimatorConfiguration.hpp"
#include "engine/AssetManager.hpp"
#include "engine/SpriteAnimation.hpp"

namespace {

const char* const kSheet = R"({"frames": [
    {"filename": "a 0.aseprite", "frame": {"x": 0, "y": 0, "w": 16, "h": 16}, "duration": 100},
    {"filename": "a 1.aseprite", "frame": {"x": 16, "y": 0, "w": 16, "h": 16}, "duration": 120}],
    "meta": {"image": "a.png", "frameTags": [{"name": "walk", "from": 0, "to": 1},
                                             {"name": "stand", "from": 1, "to": 1}]}})";

const char* const kAnimator = R"({"initialState": "idle", "states": [
    {"name": "idle", "speed": 1.0, "fixedDuration": 0.0, "hasExitTime": false, "exitTime": 0.0,
     "conditions": [{"evaluated": ["isWalking", "!isGrounded"], "followState": "walk"}]},
    {"name": "walk", "speed": 1.5, "fixedDuration": 0.25, "hasExitTime": true, "exitTime": 1.0,
     "conditions": []}]})";

std::string tagTable() {
    std::string text = "{";
    for (int n = 1; n <= 31; ++n) {
        text += "\"" + std::to_string(n) + "\": \"" + (n < 4 ? "T" + std::to_string(n) : "") + "\"";
        text += n < 31 ? ", " : "}";
    }
    return text;
}

/// Every prefix of a valid file, and the valid file with each byte in turn replaced by characters that
/// change its structure or types, must either load or end in AssetLoadException.
void expectOnlyLoadErrors(const std::string& valid, const std::function<void(const std::string&)>& load) {
    int rejected = 0;
    auto attempt = [&](const std::string& text) {
        try {
            load(text);
        } catch (const orn::AssetLoadException&) {
            ++rejected;
        } catch (const std::exception& e) {
            ADD_FAILURE() << "unexpected " << e.what() << " for:\n" << text;
        }
    };
    attempt(valid);
    EXPECT_EQ(rejected, 0) << "the unmodified file must load";
    for (std::size_t length = 0; length < valid.size(); ++length) {
        attempt(valid.substr(0, length));
    }
    for (std::size_t i = 0; i < valid.size(); ++i) {
        for (const char replacement : {'"', '1', '.', '}'}) {
            std::string mutated = valid;
            mutated[i] = replacement;
            attempt(mutated);
        }
    }
    EXPECT_GT(rejected, static_cast<int>(valid.size()));
}

class MalformedAssetFilesTest : public ::testing::Test {
protected:
    AssetTestDir dir;
};

TEST_F(MalformedAssetFilesTest, SpriteSheets) {
    expectOnlyLoadErrors(kSheet, [&](const std::string& text) {
        const auto sheet = orn::SpriteAnimation::loadFromFile(dir.write("a.json", text), "a.json");
        for (const auto& animation : sheet->animations) {
            ASSERT_GT(sheet->getFrameCount(animation.first), 0);
            sheet->getFrame(animation.first, 0);
        }
    });
}

TEST_F(MalformedAssetFilesTest, AnimatorFiles) {
    expectOnlyLoadErrors(kAnimator, [&](const std::string& text) {
        orn::AnimatorConfiguration::loadFromFile(dir.write("a.json", text), "a.json");
    });
}

TEST_F(MalformedAssetFilesTest, TagTables) {
    orn::AssetManager& assets = orn::AssetManager::getInstance();
    const std::string savedRoot = assets.rootPath;
    const auto savedTags = assets.tags;
    assets.rootPath = dir.root();
    expectOnlyLoadErrors(tagTable(), [&](const std::string& text) {
        dir.write("tags.json", text);
        assets.loadTags();
    });
    assets.rootPath = savedRoot;
    assets.tags = savedTags;
}

}  // namespace
