#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "AssetTestDir.hpp"
#include "ExpectInvalidKey.hpp"
#include "ExpectLoadError.hpp"
#include "TestScenes.hpp"
#include "engine/AssetManager.hpp"
#include "engine/GameObject.hpp"
#include "engine/Scene.hpp"

using orn::AssetManager;

namespace {

using testsupport::EmptyScene;

/// Writes a tag table with every member "1" to "31" present (empty unless named) and the given overrides.
std::string table(const std::map<std::string, std::string>& names, const std::string& skip = "") {
    std::map<std::string, std::string> members = names;
    for (int n = 1; n <= 31; ++n) {
        members.emplace(std::to_string(n), "\"\"");
    }
    members.erase(skip);
    std::string text;
    for (const auto& member : members) {
        text += (text.empty() ? "{" : ",\n") + ("\"" + member.first + "\": " + member.second);
    }
    return text + "}";
}

class TagTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedRoot = assets.rootPath;
        savedTags = assets.tags;
        assets.tags.clear();
        assets.rootPath = dir.root();
    }
    void TearDown() override {
        assets.rootPath = savedRoot;
        assets.tags = savedTags;
    }

    void load(const std::string& text) {
        dir.write("tags.json", text);
        assets.loadTags();
    }

    AssetManager& assets = AssetManager::getInstance();
    AssetTestDir dir;
    std::string savedRoot;
    std::unordered_map<std::string, std::uint32_t> savedTags;
};

TEST_F(TagTableTest, MembersNameTheTagOwningTheirBit) {
    load(table({{"3", "\"Enemy\""},
                {"31", "\"Player\""},
                {"4", "\"Rat\""},
                {"9", "\"Rat\""},
                {"1", "\"Main Camera\""}}));
    EXPECT_EQ(assets.getTagMask("None"), 0u);
    EXPECT_EQ(assets.getTagMask("Enemy"), 8u);
    EXPECT_EQ(assets.getTagMask("Player"), 2147483648u);
    EXPECT_EQ(assets.getTagMask("Main Camera"), 2u);
    // A name given twice keeps the higher number's bit.
    EXPECT_EQ(assets.getTagMask("Rat"), 512u);
    EXPECT_THROW(assets.getTagMask("enemy"), std::out_of_range);
}

TEST_F(TagTableTest, EmptyNamesDefineNoTagAndNoneCanBeRenamed) {
    load(table({}));
    EXPECT_EQ(assets.tags.size(), 1u);
    EXPECT_EQ(assets.getTagMask("None"), 0u);
    EXPECT_THROW(assets.getTagMask("Player"), std::out_of_range);

    load(table({{"5", "\"None\""}}));
    EXPECT_EQ(assets.getTagMask("None"), 32u);
}

TEST_F(TagTableTest, EveryNumberIsRequiredAsAStringInIncreasingOrder) {
    expectLoadError([&] { load(table({{"01", "\"Player\""}}, "1")); }, "Member '1' is missing!", "tags.json");
    expectLoadError([&] { load(table({}, "17")); }, "Member '17' is missing!", "tags.json");
    expectLoadError(
        [&] {
            load(table({{"5", "5"}, {"9", "null"}}));
        },
        "Member '5' is not a string!", "tags.json");
    // Entries read before the failure stay.
    assets.tags.clear();
    expectLoadError(
        [&] {
            load(table({{"2", "\"Enemy\""}, {"7", "true"}}));
        },
        "Member '7' is not a string!", "tags.json");
    EXPECT_EQ(assets.getTagMask("Enemy"), 4u);

    expectLoadError([&] { load(""); }, "Member '1' is missing!", "tags.json");
    expectLoadError([&] { load("[\"Player\"]"); }, "Member '1' is missing!", "tags.json");
    EXPECT_THROW(load("{\"1\": \"Player\""), orn::AssetLoadException);
    std::filesystem::remove(dir.path("tags.json"));
    expectLoadError([&] { assets.loadTags(); }, "Could not open file!", dir.path("tags.json"));
}

TEST_F(TagTableTest, GameObjectsCarryOneTagAtATime) {
    load(table({{"2", "\"Player\""}, {"5", "\"Rat\""}}));
    EmptyScene scene;
    orn::GameObject* object = scene.createGameObject(0);

    object->setTag("Rat");
    EXPECT_EQ(object->tags, 32u);
    EXPECT_TRUE(object->hasTag("Rat"));
    EXPECT_FALSE(object->hasTag("Player"));
    EXPECT_FALSE(object->hasTag("None"));

    object->setTag("Player");
    EXPECT_TRUE(object->hasTag("Player"));
    EXPECT_FALSE(object->hasTag("Rat"));

    object->setTag("None");
    EXPECT_EQ(object->tags, 0u);
    expectInvalidKey([&] { object->setTag("Ghost"); });
    expectInvalidKey([&] { object->hasTag("Ghost"); });
    expectInvalidKey([&] { assets.getTagMask("player"); });
    EXPECT_EQ(object->tags, 0u);
}

}  // namespace
