#include "engine/AssetManager.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "AssetTestDir.hpp"
#include "ExpectLoadError.hpp"

namespace {

/// Each test runs on an empty manager rooted in a fresh fixture folder; the process-wide manager is put back
/// as it was afterwards.
class AssetManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        assets.sceneAssets = {};
        assets.globalAssets = {};
        assets.rootPath = dir.root();
    }
    void TearDown() override {
        assets.rootPath = saved.rootPath;
        assets.sceneAssets = saved.sceneAssets;
        assets.globalAssets = saved.globalAssets;
        assets.tags = saved.tags;
    }

    orn::AssetManager& assets = orn::AssetManager::getInstance();
    const orn::AssetManager saved = assets;
    AssetTestDir dir;
};

TEST_F(AssetManagerTest, PersistentFontsSurviveSceneClearsStereoSoundsWarnAndTagsMustBeStrings) {
    sf::Texture* logo =
        assets.loadTexture("logo", dir.writeImage("logo.png", 4, 2).substr(dir.root().size()));
    EXPECT_EQ(assets.loadTexture("logo", "absent.png"), logo) << "a stored key reads nothing";
    std::filesystem::copy_file(KESTRITH_SOURCE_DIR "/tests/gui/fixtures/gui-test-font.ttf",
                               dir.path("pixel.ttf"));
    sf::Font* persistent = assets.loadFont("default", "pixel.ttf", true);
    sf::Font* scene = assets.loadFont("Improbable", "pixel.ttf");
    EXPECT_EQ(assets.loadFont("Improbable", "absent.ttf", true), scene) << "loaded once, and not moved";
    assets.clearSceneAssets();
    EXPECT_EQ(assets.getFont("default"), persistent);
    expectLoadError([&] { assets.getFont("Improbable"); }, "There is no asset with the key 'Improbable'!");
    assets.clearAssets();
    expectLoadError([&] { assets.getFont("default"); }, "There is no asset with the key 'default'!");

    dir.writeWav("mono.wav", 1);
    dir.writeWav("stereo.wav", 2);
    testing::internal::CaptureStdout();
    EXPECT_EQ(assets.loadSound("slime", "mono.wav")->getChannelCount(), 1u);
    assets.loadSound("music", "stereo.wav");
    assets.loadSound("music", "stereo.wav");
    EXPECT_EQ(
        testing::internal::GetCapturedStdout(),
        "WARNING: The sound file 'stereo.wav' has more than one channel, it can not be used for spatial "
        "sounds!\n");

    // Tag tables name the bit of each number, which must be a string; entries read before a failure stay.
    std::string tags = "{";
    for (int n = 1; n <= 31; ++n) {
        tags += "\"" + std::to_string(n) + "\": " +
                (n == 3   ? "\"Enemy\""
                 : n == 9 ? "9"
                          : "\"\"") +
                (n < 31 ? "," : "}");
    }
    dir.write("tags.json", tags);
    expectLoadError([&] { assets.loadTags(); }, "Member '9' is not a string!", "tags.json");
    EXPECT_EQ(assets.getTagMask("Enemy"), 8u);
}

}  // namespace
