#include <gtest/gtest.h>

#include <filesystem>

#include "AssetTestDir.hpp"
#include "CoreTestSupport.hpp"
#include "ExpectLoadError.hpp"
#include "engine/AssetManager.hpp"

namespace {

/// Runs Game::init in a fixture directory holding a small "data" folder, and puts the working directory,
/// the asset manager and the scene manager's window back afterwards.
class GameStartupAssetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        coretest::sharedGame();
        savedDirectory = std::filesystem::current_path();
        savedRoot = assets.rootPath;
        savedTags = assets.tags;
        savedInitialised = assets.initialised;
        savedScene = assets.sceneAssets;
        savedGlobal = assets.globalAssets;
        assets.sceneAssets = {};
        assets.globalAssets = {};
        assets.tags.clear();
        assets.initialised = false;

        std::string tags = "{";
        for (int n = 1; n <= 31; ++n) {
            tags +=
                "\"" + std::to_string(n) + "\": \"" + (n == 6 ? "Player" : "") + "\"" + (n < 31 ? "," : "}");
        }
        dir.write("data/tags.json", tags);
        dir.writeImage("data/icon.png", 16, 16, sf::Color::Yellow);
        std::filesystem::create_directories(dir.path("data/fonts"));
        std::filesystem::copy_file(KESTRITH_SOURCE_DIR "/tests/gui/fixtures/gui-test-font.ttf",
                                   dir.path("data/fonts/MatchupPro.ttf"));
        std::filesystem::current_path(dir.root());
    }
    void TearDown() override {
        std::filesystem::current_path(savedDirectory);
        assets.rootPath = savedRoot;
        assets.tags = savedTags;
        assets.initialised = savedInitialised;
        assets.sceneAssets = savedScene;
        assets.globalAssets = savedGlobal;
        // Game::init handed its own window to the scene manager and requested its first scene.
        orn::SceneManager::getInstance().init(coretest::sharedGame().getWindow());
        orn::SceneManager::getInstance().loadScene(nullptr);
    }

    orn::Game game{"startup", 64, 48, [] { return std::make_shared<coretest::ScriptedScene>(); }};
    orn::AssetManager& assets = orn::AssetManager::getInstance();
    AssetTestDir dir;
    std::filesystem::path savedDirectory;
    std::string savedRoot;
    std::unordered_map<std::string, std::uint32_t> savedTags;
    bool savedInitialised = false;
    orn::AssetStore savedScene;
    orn::AssetStore savedGlobal;
};

TEST_F(GameStartupAssetsTest, InitLoadsTheTagTableAndThePersistentDefaultFontOnce) {
    ASSERT_TRUE(game.init());
    EXPECT_EQ(assets.rootPath, "./data/");
    EXPECT_TRUE(assets.initialised);
    EXPECT_EQ(assets.getTagMask("Player"), 64u);
    EXPECT_EQ(assets.globalAssets.fonts.count("default"), 1u);
    EXPECT_EQ(assets.getTexture("application_icon")->getSize(), sf::Vector2u(16, 16));

    // Once initialised, a second start-up reads neither the tag table nor the font again.
    std::filesystem::remove(dir.path("data/tags.json"));
    std::filesystem::remove(dir.path("data/fonts/MatchupPro.ttf"));
    EXPECT_TRUE(game.init());
    EXPECT_EQ(assets.getTagMask("Player"), 64u);
}

TEST_F(GameStartupAssetsTest, AMissingTagTableEndsTheStartUp) {
    std::filesystem::remove(dir.path("data/tags.json"));
    expectLoadError([&] { game.init(); }, "Could not open file!", "./data/tags.json");
    EXPECT_FALSE(assets.initialised);
}

TEST_F(GameStartupAssetsTest, AMissingDefaultFontEndsTheStartUp) {
    std::filesystem::remove(dir.path("data/fonts/MatchupPro.ttf"));
    expectLoadError([&] { game.init(); }, "Failed to load font!", "fonts/MatchupPro.ttf");
    EXPECT_FALSE(assets.initialised);
}

}  // namespace
