#pragma once

#include <SFML/Graphics/Rect.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace orn {

/// The named animations of one sprite sheet (the editor's JSON export in its array layout), each a list of
/// frames with a rectangle in the sheet image and a duration. Immutable once read.
class SpriteAnimation {
public:
    /// One frame of an animation.
    struct Frame {
        sf::IntRect rect;           ///< pixels in the sheet image
        std::int32_t duration = 0;  ///< milliseconds at speed 1
    };

    /// One named animation of the sheet.
    struct Animation {
        /// In playing order.
        std::vector<Frame> frames;
        std::int32_t duration = 0;  ///< milliseconds, the sum of the frames' durations
    };

    /// Reads the sheet at fullPath. Every failure is an AssetLoadException; those found in the sheet's
    /// content carry path (the sheet's path relative to the data root), those of opening and parsing the
    /// file carry fullPath. Every animation read has at least one frame.
    static std::shared_ptr<SpriteAnimation> loadFromFile(const std::string& fullPath,
                                                         const std::string& path);

    /// The lookups raise std::out_of_range for a name that is not an animation of the sheet.
    std::int32_t getFrameCount(const std::string& name) const;
    /// The frame at index modulo the frame count; a negative remainder raises std::out_of_range.
    Frame getFrame(const std::string& name, std::int32_t index) const;
    /// The animation's total duration in seconds.
    float getDuration(const std::string& name) const;

    /// The animations by name.
    std::unordered_map<std::string, Animation> animations;
};

}  // namespace orn
