#include "engine/AssetManager.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "AssetTestDir.hpp"
#include "ExpectLoadError.hpp"
#include "gui/Exception.hpp"

using orn::AssetManager;

namespace {

const char* const kSheet =
    R"({"frames": [{"frame": {"x": 0, "y": 0, "w": 8, "h": 8}, "duration": 100}],
        "meta": {"frameTags": [{"name": "idle", "from": 0, "to": 0}]}})";
const char* const kOtherSheet =
    R"({"frames": [{"frame": {"x": 8, "y": 0, "w": 8, "h": 8}, "duration": 250}],
        "meta": {"frameTags": [{"name": "walk", "from": 0, "to": 0}]}})";
const char* const kAnimator = R"({"initialState": "idle", "states": []})";

/// Runs each test on an empty manager rooted in a fresh fixture directory, and puts the process-wide
/// manager back as it was afterwards.
class AssetManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedRoot = assets.rootPath;
        savedScene = assets.sceneAssets;
        savedGlobal = assets.globalAssets;
        assets.sceneAssets = {};
        assets.globalAssets = {};
        assets.rootPath = dir.root();
    }
    void TearDown() override {
        assets.rootPath = savedRoot;
        assets.sceneAssets = savedScene;
        assets.globalAssets = savedGlobal;
    }

    /// A small pixel font made for the tests; the manager only needs a TrueType file it can open.
    void copyFont(const std::string& relativePath) const {
        const std::filesystem::path target = dir.path(relativePath);
        std::filesystem::create_directories(target.parent_path());
        std::filesystem::copy_file(KESTRITH_SOURCE_DIR "/tests/gui/fixtures/gui-test-font.ttf", target);
    }

    AssetManager& assets = AssetManager::getInstance();
    AssetTestDir dir;
    std::string savedRoot;
    orn::AssetStore savedScene;
    orn::AssetStore savedGlobal;
};

TEST_F(AssetManagerTest, GetOfAKeyNeverLoadedNamesTheKey) {
    const std::string message = "There is no asset with the key 'logo'!";
    expectLoadError([&] { assets.getTexture("logo"); }, message);
    expectLoadError([&] { assets.getFont("logo"); }, message);
    expectLoadError([&] { assets.getSound("logo"); }, message);
    expectLoadError([&] { assets.getSpriteAnimation("logo"); }, message);
    expectLoadError([&] { assets.getAnimatorConfiguration("logo"); }, message);
    expectLoadError([&] { assets.getTheme("logo"); }, message);
}

TEST_F(AssetManagerTest, TexturesAreLoadedOncePerKeyUntilTheSceneIsCleared) {
    dir.writeImage("logo.png", 4, 2);
    sf::Texture* first = assets.loadTexture("logo", "logo.png");
    EXPECT_EQ(first->getSize(), sf::Vector2u(4, 2));
    EXPECT_EQ(assets.getTexture("logo"), first);
    // A second load neither reads nor checks the path.
    EXPECT_EQ(assets.loadTexture("logo", "absent.png"), first);
    EXPECT_EQ(assets.sceneAssets.textures.count("logo"), 1u);

    assets.clearSceneAssets();
    expectLoadError([&] { assets.getTexture("logo"); }, "There is no asset with the key 'logo'!");
    dir.writeImage("logo.png", 6, 3);
    EXPECT_EQ(assets.loadTexture("logo", "logo.png")->getSize(), sf::Vector2u(6, 3));
}

TEST_F(AssetManagerTest, FailedLoadsCarryTheRelativePathAndStoreNothing) {
    dir.write("broken.png", "not an image");
    expectLoadError([&] { assets.loadTexture("a", "missing.png"); }, "Failed to load texture!",
                    "missing.png");
    expectLoadError([&] { assets.loadTexture("a", "broken.png"); }, "Failed to load texture!", "broken.png");
    expectLoadError([&] { assets.createTexture("gui/none.png"); }, "Failed to load texture!", "gui/none.png");
    expectLoadError([&] { assets.loadFont("a", "fonts/none.ttf"); }, "Failed to load font!",
                    "fonts/none.ttf");
    expectLoadError([&] { assets.loadFont("a", "broken.png", true); }, "Failed to load font!", "broken.png");
    expectLoadError([&] { assets.loadSound("a", "none.wav"); }, "Failed to load audio file!", "none.wav");
    expectLoadError([&] { assets.loadSound("a", "broken.png"); }, "Failed to load audio file!", "broken.png");
    EXPECT_TRUE(assets.sceneAssets.textures.empty());
    EXPECT_TRUE(assets.sceneAssets.fonts.empty());
    EXPECT_TRUE(assets.globalAssets.fonts.empty());
    EXPECT_TRUE(assets.sceneAssets.soundBuffers.empty());
}

TEST_F(AssetManagerTest, PathsAreAppendedToTheRootWithoutASeparator) {
    dir.writeImage("gui/forms.png", 3, 1);
    dir.writeImage("prefix.png", 5, 1);
    EXPECT_EQ(assets.loadTexture("forms", "gui/forms.png")->getSize().x, 3u);

    assets.rootPath = dir.root() + "pre";
    EXPECT_EQ(assets.loadTexture("glued", "fix.png")->getSize().x, 5u);
    // createTexture reads the same way but keeps nothing.
    EXPECT_EQ(assets.createTexture("fix.png")->getSize().x, 5u);
    EXPECT_EQ(assets.sceneAssets.textures.size(), 2u);
}

TEST_F(AssetManagerTest, PersistentFontsOutliveTheSceneStore) {
    copyFont("fonts/pixel.ttf");
    sf::Font* global = assets.loadFont("default", "fonts/pixel.ttf", true);
    sf::Font* scene = assets.loadFont("Improbable", "fonts/pixel.ttf");
    EXPECT_EQ(assets.globalAssets.fonts.count("default"), 1u);
    EXPECT_EQ(assets.sceneAssets.fonts.count("Improbable"), 1u);

    // A persistent load of a key the scene store holds returns that font and moves nothing.
    EXPECT_EQ(assets.loadFont("Improbable", "fonts/absent.ttf", true), scene);
    EXPECT_EQ(assets.globalAssets.fonts.count("Improbable"), 0u);

    assets.clearSceneAssets();
    EXPECT_EQ(assets.getFont("default"), global);
    expectLoadError([&] { assets.getFont("Improbable"); }, "There is no asset with the key 'Improbable'!");

    assets.clearAssets();
    expectLoadError([&] { assets.getFont("default"); }, "There is no asset with the key 'default'!");
}

TEST_F(AssetManagerTest, GlobalStoreIsSearchedBeforeTheSceneStore) {
    dir.writeImage("a.png", 1, 1);
    dir.writeImage("b.png", 2, 2);
    assets.globalAssets.textures["shared"] = assets.createTexture("a.png");
    assets.sceneAssets.textures["shared"] = assets.createTexture("b.png");
    EXPECT_EQ(assets.getTexture("shared")->getSize().x, 1u);
    EXPECT_EQ(assets.loadTexture("shared", "b.png")->getSize().x, 1u);
}

TEST_F(AssetManagerTest, SoundsWarnAboutMoreThanOneChannelAndSurviveSceneClears) {
    dir.writeWav("mono.wav", 1);
    dir.writeWav("stereo.wav", 2);

    testing::internal::CaptureStdout();
    sf::SoundBuffer* mono = assets.loadSound("slime", "mono.wav");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(mono->getChannelCount(), 1u);

    testing::internal::CaptureStdout();
    sf::SoundBuffer* stereo = assets.loadSound("music", "stereo.wav");
    assets.loadSound("music", "stereo.wav");
    EXPECT_EQ(
        testing::internal::GetCapturedStdout(),
        "WARNING: The sound file 'stereo.wav' has more than one channel, it can not be used for spatial "
        "sounds!\n");
    EXPECT_EQ(assets.getSound("music"), stereo);

    assets.clearSceneAssets();
    EXPECT_EQ(assets.getSound("slime"), mono);
}

TEST_F(AssetManagerTest, SpriteSheetsAreReadOnEveryLoadButTheFirstResultIsKept) {
    dir.write("logo_anim.json", kSheet);
    orn::SpriteAnimation* first = assets.loadSpriteAnimation("logo", "logo_anim.json");
    EXPECT_EQ(first->getFrameCount("idle"), 1);

    dir.write("logo_anim.json", kOtherSheet);
    EXPECT_EQ(assets.loadSpriteAnimation("logo", "logo_anim.json"), first);
    EXPECT_EQ(first->animations.count("walk"), 0u);

    // The file is read again although the key is stored, so a broken file fails.
    dir.write("logo_anim.json", R"({"meta": {"frameTags": []}})");
    expectLoadError([&] { assets.loadSpriteAnimation("logo", "logo_anim.json"); }, "Frame tags are missing!",
                    "logo_anim.json");
    expectLoadError([&] { assets.loadSpriteAnimation("other", "logo_anim.json"); }, "Frame tags are missing!",
                    "logo_anim.json");
    EXPECT_EQ(assets.sceneAssets.spriteAnimations.count("other"), 0u);

    // Scene clears leave sprite animations alone.
    assets.clearSceneAssets();
    EXPECT_EQ(assets.getSpriteAnimation("logo"), first);
}

TEST_F(AssetManagerTest, AnimatorFilesAreReadOnEveryLoadButTheFirstResultIsKept) {
    dir.write("animated/player_animator.json", kAnimator);
    orn::AnimatorConfiguration* first =
        assets.loadAnimatorConfiguration("player", "animated/player_animator.json");
    EXPECT_EQ(first->initialState, "idle");

    dir.write("animated/player_animator.json", R"({"initialState": "run", "states": []})");
    EXPECT_EQ(assets.loadAnimatorConfiguration("player", "animated/player_animator.json"), first);
    EXPECT_EQ(first->initialState, "idle");

    expectLoadError([&] { assets.loadAnimatorConfiguration("rat", "animated/rat_animator.json"); },
                    "Could not open file!", dir.path("animated/rat_animator.json"));
    EXPECT_EQ(assets.sceneAssets.animatorConfigurations.count("rat"), 0u);

    assets.clearAssets();
    EXPECT_EQ(assets.getAnimatorConfiguration("player"), first);

    // The reader's member checks name no file; loading through the manager adds the relative path.
    dir.write("animated/rat_animator.json", R"({"initialState": 3, "states": []})");
    expectLoadError([&] { assets.loadAnimatorConfiguration("rat", "animated/rat_animator.json"); },
                    "String 'initialState' does not exist!", "animated/rat_animator.json");
}

TEST_F(AssetManagerTest, ThemesGoToTheGlobalStoreAndTheirErrorsPassThrough) {
    dir.write("gui/gui_theme.txt", "Button {\n    TextColor = rgb(10, 20, 30);\n}\n");
    gui::Theme* theme = assets.loadTheme("default_theme", "gui/gui_theme.txt");
    EXPECT_TRUE(theme->hasRenderer("Button"));
    EXPECT_EQ(assets.globalAssets.themes.count("default_theme"), 1u);
    EXPECT_EQ(assets.loadTheme("default_theme", "gui/absent.txt"), theme);

    assets.clearSceneAssets();
    EXPECT_EQ(assets.getTheme("default_theme"), theme);

    dir.write("gui/broken.txt", "Button { TextColor = ");
    EXPECT_THROW(assets.loadTheme("broken", "gui/broken.txt"), gui::Exception);
    EXPECT_THROW(assets.loadTheme("absent", "gui/absent.txt"), gui::Exception);
    EXPECT_EQ(assets.globalAssets.themes.size(), 1u);
}

}  // namespace
