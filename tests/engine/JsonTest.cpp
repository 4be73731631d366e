#include "engine/Json.hpp"

#include <gtest/gtest.h>

#include "AssetTestDir.hpp"
#include "ExpectLoadError.hpp"

using orn::Json;

namespace {

class JsonTest : public ::testing::Test {
protected:
    rapidjson::Document read(const std::string& text) {
        return Json::readJsonFile(dir.write("doc.json", text));
    }

    AssetTestDir dir;
};

TEST_F(JsonTest, MissingFileReportsTheFullPath) {
    const std::string full = dir.path("absent.json");
    expectLoadError([&] { Json::readJsonFile(full); }, "Could not open file!", full);
}

TEST_F(JsonTest, LinesAreJoinedWithoutTheirTerminators) {
    const rapidjson::Document split = read("{\n  \"name\":\n  \"idle\",\r\n  \"speed\": 1.5\n}\n");
    EXPECT_EQ(Json::getStringMember(split, "name"), "idle");
    EXPECT_FLOAT_EQ(Json::getFloatMember(split, "speed"), 1.5f);

    // A token broken over two lines is glued back together.
    const rapidjson::Document glued = read("{\"spe\ned\": 2.0}");
    EXPECT_FLOAT_EQ(Json::getFloatMember(glued, "speed"), 2.f);
}

TEST_F(JsonTest, TextThatDoesNotParseNamesTheFileAndTheOffset) {
    const std::string full = dir.write("bad.json", "{\"a\": 1.0,}");
    expectLoadError(
        [&] { Json::readJsonFile(full); },
        "The JSON file '" + full + "' does not parse at offset 10: Missing a name for object member!", full);
    // Comments and NaN are not strict JSON.
    EXPECT_THROW(read("{\"a\": 1.0 // note\n}"), orn::AssetLoadException);
    EXPECT_THROW(read("{\"a\": NaN}"), orn::AssetLoadException);
}

TEST_F(JsonTest, EmptyFileGivesANullDocumentThatEveryGetterRejects) {
    const rapidjson::Document empty = read("\n  \n");
    EXPECT_TRUE(empty.IsNull());
    expectLoadError([&] { Json::getStringMember(empty, "initialState"); },
                    "String 'initialState' does not exist!");
    expectLoadError([&] { Json::getArrayMember(empty, "states"); }, "Array 'states' does not exist!");
}

TEST_F(JsonTest, FloatsMustBeWrittenWithAFractionOrExponent) {
    const rapidjson::Document doc =
        read(R"({"one": 1.0, "exp": 1e0, "int": 1, "zero": 0, "text": "1.0", "huge": 1e39, "neg": -2.5})");
    EXPECT_FLOAT_EQ(Json::getFloatMember(doc, "one"), 1.f);
    EXPECT_FLOAT_EQ(Json::getFloatMember(doc, "exp"), 1.f);
    EXPECT_FLOAT_EQ(Json::getFloatMember(doc, "neg"), -2.5f);
    expectLoadError([&] { Json::getFloatMember(doc, "int"); }, "Float 'int' does not exist!");
    expectLoadError([&] { Json::getFloatMember(doc, "zero"); }, "Float 'zero' does not exist!");
    expectLoadError([&] { Json::getFloatMember(doc, "text"); }, "Float 'text' does not exist!");
    expectLoadError([&] { Json::getFloatMember(doc, "huge"); }, "Float 'huge' does not exist!");
    expectLoadError([&] { Json::getFloatMember(doc, "speed"); }, "Float 'speed' does not exist!");
}

TEST_F(JsonTest, BoolStringAndArrayGettersCheckTheType) {
    const rapidjson::Document doc =
        read(R"({"no": false, "yes": true, "zero": 0, "name": 3, "label": "run", "list": [1], "map": {}})");
    EXPECT_FALSE(Json::getBoolMember(doc, "no"));
    EXPECT_TRUE(Json::getBoolMember(doc, "yes"));
    expectLoadError([&] { Json::getBoolMember(doc, "zero"); }, "Bool 'zero' does not exist!");
    EXPECT_EQ(Json::getStringMember(doc, "label"), "run");
    expectLoadError([&] { Json::getStringMember(doc, "name"); }, "String 'name' does not exist!");
    EXPECT_EQ(Json::getArrayMember(doc, "list").Size(), 1u);
    expectLoadError([&] { Json::getArrayMember(doc, "map"); }, "Array 'map' does not exist!");
    // Member names are compared exactly.
    expectLoadError([&] { Json::getStringMember(doc, "Label"); }, "String 'Label' does not exist!");
}

TEST_F(JsonTest, ARootThatIsNotAnObjectFailsLikeAMissingMember) {
    for (const char* text : {"[1, 2]", "\"text\"", "42", "null"}) {
        const rapidjson::Document doc = read(text);
        expectLoadError([&] { Json::getStringMember(doc, "initialState"); },
                        "String 'initialState' does not exist!");
        EXPECT_EQ(Json::findMember(doc, "initialState"), nullptr) << text;
    }
}

}  // namespace
