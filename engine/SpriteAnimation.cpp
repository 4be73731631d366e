#include "engine/SpriteAnimation.hpp"

#include <limits>
#include <stdexcept>

#include "engine/AssetLoadException.hpp"
#include "engine/Json.hpp"

namespace orn {

namespace {

const rapidjson::Value* findIntMember(const rapidjson::Value& object, const char* name) {
    const rapidjson::Value* value = Json::findMember(object, name);
    return value != nullptr && value->IsInt() ? value : nullptr;
}

SpriteAnimation::Frame readFrame(const rapidjson::Value& element, const std::string& tagName,
                                 rapidjson::SizeType index, const std::string& path) {
    // findMember also rejects an element that is not an object.
    const rapidjson::Value* rect = Json::findMember(element, "frame");
    if (rect == nullptr || !rect->IsObject()) {
        throw AssetLoadException("Object 'frame' does not exist!", path);
    }
    std::int32_t values[4] = {};
    const char* const letters[4] = {"x", "y", "w", "h"};
    for (int i = 0; i < 4; ++i) {
        const rapidjson::Value* value = findIntMember(*rect, letters[i]);
        if (value == nullptr) {
            throw AssetLoadException(
                std::string("Object 'frame' does not have an integer '") + letters[i] + "'!", path);
        }
        values[i] = value->GetInt();
    }
    const rapidjson::Value* duration = findIntMember(element, "duration");
    if (duration == nullptr) {
        throw AssetLoadException("Object does not have an integer 'duration'!", path);
    }
    // Playback divides by the duration, so a frame that lasts no time cannot be played.
    if (duration->GetInt() <= 0) {
        throw AssetLoadException("Frame " + std::to_string(index) + " of the frame tag '" + tagName +
                                     "' in '" + path + "' does not have a positive 'duration'!",
                                 path);
    }
    return SpriteAnimation::Frame{sf::IntRect(values[0], values[1], values[2], values[3]),
                                  duration->GetInt()};
}

}  // namespace

std::shared_ptr<SpriteAnimation> SpriteAnimation::loadFromFile(const std::string& fullPath,
                                                               const std::string& path) {
    const rapidjson::Document document = Json::readJsonFile(fullPath);

    const rapidjson::Value* meta = Json::findMember(document, "meta");
    if (meta == nullptr || !meta->IsObject()) {
        throw AssetLoadException("Object 'meta' is missing!", path);
    }
    const rapidjson::Value* frameTags = Json::findMember(*meta, "frameTags");
    if (frameTags == nullptr || !frameTags->IsArray()) {
        throw AssetLoadException("Object 'meta' does not have an array 'frameTags'!", path);
    }
    if (frameTags->Empty()) {
        throw AssetLoadException("Frame tags are missing!", path);
    }
    const rapidjson::Value* frames = Json::findMember(document, "frames");
    if (frames == nullptr || !frames->IsArray()) {
        throw AssetLoadException("Array 'frames' is missing!", path);
    }

    auto result = std::make_shared<SpriteAnimation>();
    for (rapidjson::SizeType t = 0; t < frameTags->Size(); ++t) {
        const rapidjson::Value& tag = (*frameTags)[t];
        const std::string where = "Frame tag " + std::to_string(t) + " in '" + path + "'";
        if (!tag.IsObject()) {
            throw AssetLoadException(where + " is not an object!", path);
        }
        const rapidjson::Value* name = Json::findMember(tag, "name");
        if (name == nullptr || !name->IsString()) {
            throw AssetLoadException(where + " does not have a string 'name'!", path);
        }
        const rapidjson::Value* from = findIntMember(tag, "from");
        if (from == nullptr) {
            throw AssetLoadException(where + " does not have an integer 'from'!", path);
        }
        const rapidjson::Value* to = findIntMember(tag, "to");
        if (to == nullptr) {
            throw AssetLoadException(where + " does not have an integer 'to'!", path);
        }
        const std::string tagName(name->GetString(), name->GetStringLength());
        const std::int64_t first = from->GetInt();
        const std::int64_t last = to->GetInt();
        if (first < 0 || last >= static_cast<std::int64_t>(frames->Size())) {
            throw AssetLoadException(
                "The frame tag '" + tagName + "' in '" + path + "' covers frames outside the array 'frames'!",
                path);
        }
        if (first > last) {
            throw AssetLoadException("The frame tag '" + tagName + "' in '" + path +
                                         "' has no frames: 'from' is greater than 'to'!",
                                     path);
        }

        Animation animation;
        std::int64_t total = 0;
        for (std::int64_t i = first; i <= last; ++i) {
            const auto index = static_cast<rapidjson::SizeType>(i);
            animation.frames.push_back(readFrame((*frames)[index], tagName, index, path));
            total += animation.frames.back().duration;
        }
        if (total > std::numeric_limits<std::int32_t>::max()) {
            throw AssetLoadException("The frame tag '" + tagName + "' in '" + path +
                                         "' lasts longer than 2147483647 milliseconds!",
                                     path);
        }
        animation.duration = static_cast<std::int32_t>(total);
        // emplace keeps the first animation of a name and drops later ones.
        result->animations.emplace(tagName, std::move(animation));
    }
    return result;
}

std::int32_t SpriteAnimation::getFrameCount(const std::string& name) const {
    return static_cast<std::int32_t>(animations.at(name).frames.size());
}

SpriteAnimation::Frame SpriteAnimation::getFrame(const std::string& name, std::int32_t index) const {
    const std::vector<Frame>& frames = animations.at(name).frames;
    if (frames.empty()) {
        throw std::out_of_range("The animation '" + name + "' has no frames!");
    }
    const auto count = static_cast<std::int64_t>(frames.size());
    const std::int64_t remainder = static_cast<std::int64_t>(index) % count;
    if (remainder < 0) {
        throw std::out_of_range("invalid vector subscript");
    }
    return frames[static_cast<std::size_t>(remainder)];
}

float SpriteAnimation::getDuration(const std::string& name) const {
    return static_cast<float>(animations.at(name).duration / 1000.0);
}

}  // namespace orn
