#pragma once

#include <rapidjson/document.h>

#include <cstddef>
#include <string>

namespace orn {

/// Access to the JSON data files (sprite sheets, animator files, the tag table) through RapidJSON.
/// The typed getters raise AssetLoadException (without a path) when the member is absent, has another type,
/// or when the value searched is not an object at all.
class Json {
public:
    Json() = delete;

    /// Reads the file at fullPath (already prefixed with the data root) line by line, joins the lines
    /// without their terminators and parses the result as strict JSON.
    /// An empty (or all-whitespace) text yields a null document, which the callers' first member check
    /// rejects. Raises AssetLoadException "Could not open file!" when the file cannot be opened, and a
    /// parse error naming the file and the offset into the joined text when the text is not JSON; both
    /// carry fullPath as the exception's path.
    static rapidjson::Document readJsonFile(const std::string& fullPath);

    /// Parses the size bytes at text as strict JSON without recursing (deep nesting costs heap, not stack).
    /// An empty (or all-whitespace) text yields a null document; any other parse error raises
    /// AssetLoadException naming fullPath and the offset into text.
    static rapidjson::Document parse(const char* text, std::size_t size, const std::string& fullPath);

    /// The returned references point into the document that holds object and live as long as it does.
    static const rapidjson::Value& getArrayMember(const rapidjson::Value& object, const std::string& name);
    static std::string getStringMember(const rapidjson::Value& object, const std::string& name);
    /// Accepts only numbers written with a fraction or an exponent (1.0, not 1) within float range.
    static float getFloatMember(const rapidjson::Value& object, const std::string& name);
    static bool getBoolMember(const rapidjson::Value& object, const std::string& name);

    /// The member of object named name, or nullptr when object is not an object or has no such member.
    static const rapidjson::Value* findMember(const rapidjson::Value& object, const std::string& name);
};

}  // namespace orn
