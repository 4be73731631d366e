#include "engine/SpriteAnimation.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "engine/AssetLoadException.hpp"
#include "engine/Json.hpp"
#include "engine/KeyLookup.hpp"

namespace orn {

namespace {

const rapidjson::Value* findIntMember(const rapidjson::Value& object, const char* name) {
    const rapidjson::Value* value = Json::findMember(object, name);
    return value != nullptr && value->IsInt() ? value : nullptr;
}

// Reads the integer members of the object member `objectName` of element, in the order given.
template <std::size_t N>
void readIntegers(const rapidjson::Value& element, const char* objectName, const char* const (&names)[N],
                  std::int32_t (&values)[N], const std::string& path) {
    // findMember also rejects an element that is not an object.
    const rapidjson::Value* object = Json::findMember(element, objectName);
    if (object == nullptr || !object->IsObject()) {
        throw AssetLoadException(std::string("Object '") + objectName + "' does not exist!", path);
    }
    for (std::size_t i = 0; i < N; ++i) {
        const rapidjson::Value* value = findIntMember(*object, names[i]);
        if (value == nullptr) {
            throw AssetLoadException(
                std::string("Object '") + objectName + "' does not have an integer '" + names[i] + "'!",
                path);
        }
        values[i] = value->GetInt();
    }
}

SpriteAnimation::Frame readFrame(const rapidjson::Value& element, const std::string& tagName,
                                 rapidjson::SizeType index, const std::string& path) {
    std::int32_t rect[4] = {};
    readIntegers(element, "frame", {"x", "y", "w", "h"}, rect, path);
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
    SpriteAnimation::Frame frame;
    frame.rect = sf::IntRect(rect[0], rect[1], rect[2], rect[3]);
    frame.duration = duration->GetInt();
    frame.sourceSize = sf::Vector2i(rect[2], rect[3]);
    // Only a frame that says it is trimmed is placed by its source rectangle; the editor writes the same
    // members for untrimmed frames with nothing to add.
    const rapidjson::Value* trimmed = Json::findMember(element, "trimmed");
    if (trimmed != nullptr && trimmed->IsTrue()) {
        std::int32_t offset[2] = {};
        readIntegers(element, "spriteSourceSize", {"x", "y"}, offset, path);
        std::int32_t size[2] = {};
        readIntegers(element, "sourceSize", {"w", "h"}, size, path);
        frame.trimmed = true;
        frame.offset = sf::Vector2i(offset[0], offset[1]);
        frame.sourceSize = sf::Vector2i(size[0], size[1]);
    }
    return frame;
}

SpriteAnimation::Direction readDirection(const rapidjson::Value& tag, const std::string& where,
                                         const std::string& path) {
    const rapidjson::Value* direction = Json::findMember(tag, "direction");
    if (direction == nullptr) {
        return SpriteAnimation::Direction::Forward;
    }
    const std::string text = direction->IsString()
                                 ? std::string(direction->GetString(), direction->GetStringLength())
                                 : std::string();
    if (text == "forward") {
        return SpriteAnimation::Direction::Forward;
    }
    if (text == "reverse") {
        return SpriteAnimation::Direction::Reverse;
    }
    if (text == "pingpong") {
        return SpriteAnimation::Direction::PingPong;
    }
    if (text == "pingpong_reverse") {
        return SpriteAnimation::Direction::PingPongReverse;
    }
    throw AssetLoadException(where + " does not have a known 'direction'!", path);
}

// The editor writes the count as a string of digits; a number is accepted as well.
std::int32_t readRepeat(const rapidjson::Value& tag, const std::string& where, const std::string& path) {
    const rapidjson::Value* repeat = Json::findMember(tag, "repeat");
    if (repeat == nullptr) {
        return 0;
    }
    if (repeat->IsInt() && repeat->GetInt() >= 0) {
        return repeat->GetInt();
    }
    if (repeat->IsString() && repeat->GetStringLength() > 0 && repeat->GetStringLength() <= 10) {
        const std::string digits(repeat->GetString(), repeat->GetStringLength());
        if (std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            const long long count = std::stoll(digits);
            if (count <= std::numeric_limits<std::int32_t>::max()) {
                return static_cast<std::int32_t>(count);
            }
        }
    }
    throw AssetLoadException(where + " does not have a 'repeat' count from 0 to 2147483647!", path);
}

bool isPingPong(SpriteAnimation::Direction direction) {
    return direction == SpriteAnimation::Direction::PingPong ||
           direction == SpriteAnimation::Direction::PingPongReverse;
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
    // The editor writes the frames as an array, or (its hash layout) as an object whose members, named after
    // the frames' files, come in frame order.
    const rapidjson::Value* frames = Json::findMember(document, "frames");
    if (frames == nullptr || !(frames->IsArray() || frames->IsObject())) {
        throw AssetLoadException("Array 'frames' is missing!", path);
    }
    const rapidjson::SizeType frameCount = frames->IsArray() ? frames->Size() : frames->MemberCount();
    const auto frameAt = [frames](rapidjson::SizeType index) -> const rapidjson::Value& {
        return frames->IsArray() ? (*frames)[index] : (frames->MemberBegin() + index)->value;
    };

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
        const std::string tagWhere = "The frame tag '" + tagName + "' in '" + path + "'";
        const std::int64_t first = from->GetInt();
        const std::int64_t last = to->GetInt();
        if (first < 0 || last >= static_cast<std::int64_t>(frameCount)) {
            throw AssetLoadException(tagWhere + " covers frames outside the array 'frames'!", path);
        }
        if (first > last) {
            throw AssetLoadException(tagWhere + " has no frames: 'from' is greater than 'to'!", path);
        }

        Animation animation;
        animation.direction = readDirection(tag, tagWhere, path);
        animation.repeat = readRepeat(tag, tagWhere, path);
        std::int64_t total = 0;
        for (std::int64_t i = first; i <= last; ++i) {
            const auto index = static_cast<rapidjson::SizeType>(i);
            animation.frames.push_back(readFrame(frameAt(index), tagName, index, path));
            total += animation.frames.back().duration;
        }
        if (total > std::numeric_limits<std::int32_t>::max()) {
            throw AssetLoadException(tagWhere + " lasts longer than 2147483647 milliseconds!", path);
        }
        animation.duration = static_cast<std::int32_t>(total);
        // emplace keeps the first animation of a name and drops later ones.
        result->animations.emplace(tagName, std::move(animation));
    }
    return result;
}

const SpriteAnimation::Animation& SpriteAnimation::getAnimation(const std::string& name) const {
    return lookupKey(animations, name);
}

std::int32_t SpriteAnimation::getFrameCount(const std::string& name) const {
    return static_cast<std::int32_t>(getAnimation(name).frames.size());
}

SpriteAnimation::Frame SpriteAnimation::getFrame(const std::string& name, std::int32_t index) const {
    const std::vector<Frame>& frames = getAnimation(name).frames;
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

SpriteAnimation::Frame SpriteAnimation::getPlayedFrame(const std::string& name, std::int32_t position) const {
    const Animation& animation = getAnimation(name);
    if (animation.direction == Direction::Forward) {
        return getFrame(name, position);
    }
    if (animation.frames.empty()) {
        throw std::out_of_range("The animation '" + name + "' has no frames!");
    }
    if (position < 0) {
        throw std::out_of_range("invalid vector subscript");
    }
    const auto last = static_cast<std::int64_t>(animation.frames.size()) - 1;
    const std::int64_t step = position % cycleLength(animation);
    // Within one cycle a ping-pong runs up to the last frame and back down.
    const std::int64_t pingPong = step <= last ? step : 2 * last - step;
    std::int64_t index = 0;
    switch (animation.direction) {
        case Direction::Forward:
            index = step;
            break;
        case Direction::Reverse:
            index = last - step;
            break;
        case Direction::PingPong:
            index = pingPong;
            break;
        case Direction::PingPongReverse:
            index = last - pingPong;
            break;
    }
    return animation.frames[static_cast<std::size_t>(index)];
}

float SpriteAnimation::getDuration(const std::string& name) const {
    const Animation& animation = getAnimation(name);
    const double all = animation.duration;
    if (!isPingPong(animation.direction)) {
        return static_cast<float>(std::max(animation.repeat, 1) * all / 1000.0);
    }
    if (animation.frames.size() < 2) {
        return static_cast<float>(all / 1000.0);  // a single frame is shown once, however many passes
    }
    // Each pass after the first starts on the frame where the one before turned and does not show it again:
    // the second, fourth, ... pass leaves out the frame that the first pass ended on, the third, fifth, ...
    // the frame it started on.
    const bool reversed = animation.direction == Direction::PingPongReverse;
    const double withoutFirst = all - animation.frames.front().duration;
    const double withoutLast = all - animation.frames.back().duration;
    if (animation.repeat == 0) {
        return static_cast<float>((withoutFirst + withoutLast) / 1000.0);
    }
    const double laterPasses = animation.repeat - 1.0;
    const double back = std::ceil(laterPasses / 2.0);
    const double out = std::floor(laterPasses / 2.0);
    return static_cast<float>((all + back * (reversed ? withoutFirst : withoutLast) +
                               out * (reversed ? withoutLast : withoutFirst)) /
                              1000.0);
}

std::int64_t SpriteAnimation::cycleLength(const Animation& animation) {
    const auto count = static_cast<std::int64_t>(animation.frames.size());
    const bool pingPong = isPingPong(animation.direction);
    return pingPong && count > 1 ? 2 * (count - 1) : count;
}

std::int64_t SpriteAnimation::playLength(const Animation& animation, bool loop) {
    if (animation.repeat == 0 && loop) {
        return 0;
    }
    const auto count = static_cast<std::int64_t>(animation.frames.size());
    const bool pingPong = isPingPong(animation.direction);
    // Without a count, a play that does not loop is one pass (there and back for a ping-pong).
    const std::int64_t passes = animation.repeat > 0 ? animation.repeat : (pingPong ? 2 : 1);
    // Each ping-pong pass after the first starts on the frame where the previous one turned.
    const std::int64_t length = pingPong ? count + (passes - 1) * (count - 1) : passes * count;
    return length > std::numeric_limits<std::int32_t>::max() ? 0 : length;
}

}  // namespace orn
