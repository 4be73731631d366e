// RapidJSON 1.1 adds an offset to its parse stack's null pointer before the stack's first allocation
// (internal/stack.h, Reserve). That is harmless but undefined, and the sanitizer build stops on it, so the
// parser instantiated here is kept out of the pointer-overflow check. This has to come before anything else
// includes RapidJSON in this file.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((no_sanitize("pointer-overflow"))), apply_to = function)
#endif
#include <rapidjson/document.h>
#include <rapidjson/error/en.h>
#if defined(__clang__)
#pragma clang attribute pop
#endif

#include "engine/Json.hpp"

#include <fstream>

#include "engine/AssetLoadException.hpp"

namespace orn {

namespace {

// RapidJSON's texts end with a full stop; error messages of the engine end with "!".
std::string parseErrorText(rapidjson::ParseErrorCode code) {
    std::string text = rapidjson::GetParseError_En(code);
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text;
}

}  // namespace

rapidjson::Document Json::readJsonFile(const std::string& fullPath) {
    std::ifstream file(fullPath);
    if (!file.is_open()) {
        throw AssetLoadException("Could not open file!", fullPath);
    }
    std::string text;
    std::string line;
    while (std::getline(file, line)) {
        text += line;
    }
    return parse(text.data(), text.size(), fullPath);
}

rapidjson::Document Json::parse(const char* text, std::size_t size, const std::string& fullPath) {
    // The iterative parser keeps its state on the heap: the recursive one runs out of stack on deeply nested
    // arrays or objects long before memory runs out.
    rapidjson::Document document;
    document.Parse<rapidjson::kParseIterativeFlag>(text, size);
    if (document.HasParseError() && document.GetParseError() != rapidjson::kParseErrorDocumentEmpty) {
        throw AssetLoadException("The JSON file '" + fullPath + "' does not parse at offset " +
                                     std::to_string(document.GetErrorOffset()) + ": " +
                                     parseErrorText(document.GetParseError()) + "!",
                                 fullPath);
    }
    if (document.HasParseError()) {
        // An empty text leaves a null document; the reader's first member check reports it.
        document.SetNull();
    }
    return document;
}

const rapidjson::Value* Json::findMember(const rapidjson::Value& object, const std::string& name) {
    if (!object.IsObject()) {
        return nullptr;
    }
    const rapidjson::Value key(rapidjson::StringRef(name.data(), name.size()));
    const auto member = object.FindMember(key);
    return member == object.MemberEnd() ? nullptr : &member->value;
}

const rapidjson::Value& Json::getArrayMember(const rapidjson::Value& object, const std::string& name) {
    const rapidjson::Value* value = findMember(object, name);
    if (value == nullptr || !value->IsArray()) {
        throw AssetLoadException("Array '" + name + "' does not exist!");
    }
    return *value;
}

std::string Json::getStringMember(const rapidjson::Value& object, const std::string& name) {
    const rapidjson::Value* value = findMember(object, name);
    if (value == nullptr || !value->IsString()) {
        throw AssetLoadException("String '" + name + "' does not exist!");
    }
    return std::string(value->GetString(), value->GetStringLength());
}

float Json::getFloatMember(const rapidjson::Value& object, const std::string& name) {
    const rapidjson::Value* value = findMember(object, name);
    if (value == nullptr || !value->IsFloat()) {
        throw AssetLoadException("Float '" + name + "' does not exist!");
    }
    return value->GetFloat();
}

bool Json::getBoolMember(const rapidjson::Value& object, const std::string& name) {
    const rapidjson::Value* value = findMember(object, name);
    if (value == nullptr || !value->IsBool()) {
        throw AssetLoadException("Bool '" + name + "' does not exist!");
    }
    return value->IsTrue();
}

}  // namespace orn
