#include "engine/AnimatorConfiguration.hpp"

#include "engine/AssetLoadException.hpp"
#include "engine/Json.hpp"

namespace orn {

namespace {

AnimatorConfiguration::Transition readTransition(const rapidjson::Value& element,
                                                 const std::string& stateName, rapidjson::SizeType index,
                                                 const std::string& path) {
    const std::string where =
        "condition " + std::to_string(index) + " of the state '" + stateName + "' in '" + path + "'";
    if (!element.IsObject()) {
        throw AssetLoadException("The " + where + " is not an object!", path);
    }
    AnimatorConfiguration::Transition transition;
    const rapidjson::Value& evaluated = Json::getArrayMember(element, "evaluated");
    transition.followState = Json::getStringMember(element, "followState");
    for (rapidjson::SizeType i = 0; i < evaluated.Size(); ++i) {
        const rapidjson::Value& test = evaluated[i];
        if (!test.IsString()) {
            throw AssetLoadException(
                "Parameter test " + std::to_string(i) + " of the " + where + " is not a string!", path);
        }
        const std::string text(test.GetString(), test.GetStringLength());
        if (text.empty()) {
            throw AssetLoadException("Value is an empty string!");
        }
        if (text[0] == '!') {
            transition.evaluated.push_back({text.substr(1), false});
        } else {
            transition.evaluated.push_back({text, true});
        }
    }
    return transition;
}

AnimatorConfiguration::State readState(const rapidjson::Value& element, rapidjson::SizeType index,
                                       const std::string& path) {
    if (!element.IsObject()) {
        throw AssetLoadException("State " + std::to_string(index) + " in '" + path + "' is not an object!",
                                 path);
    }
    AnimatorConfiguration::State state;
    state.name = Json::getStringMember(element, "name");
    state.speed = Json::getFloatMember(element, "speed");
    state.fixedDuration = Json::getFloatMember(element, "fixedDuration");
    state.hasExitTime = Json::getBoolMember(element, "hasExitTime");
    state.exitTime = Json::getFloatMember(element, "exitTime");
    const rapidjson::Value& conditions = Json::getArrayMember(element, "conditions");
    for (rapidjson::SizeType i = 0; i < conditions.Size(); ++i) {
        state.conditions.push_back(readTransition(conditions[i], state.name, i, path));
    }
    return state;
}

}  // namespace

std::shared_ptr<AnimatorConfiguration> AnimatorConfiguration::loadFromFile(const std::string& fullPath,
                                                                           const std::string& path) {
    const rapidjson::Document document = Json::readJsonFile(fullPath);

    auto configuration = std::make_shared<AnimatorConfiguration>();
    configuration->initialState = Json::getStringMember(document, "initialState");
    const rapidjson::Value& states = Json::getArrayMember(document, "states");
    for (rapidjson::SizeType i = 0; i < states.Size(); ++i) {
        configuration->states.push_back(readState(states[i], i, path));
    }
    return configuration;
}

}  // namespace orn
