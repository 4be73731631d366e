#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace orn {

/// The named animations of one sprite sheet (the editor's JSON export, with its frames written as an array or
/// as an object keyed by file name), each a list of frames with a rectangle in the sheet image and a
/// duration, and the order in which the frames play. Immutable once read.
class SpriteAnimation {
public:
    /// One frame of an animation.
    struct Frame {
        sf::IntRect rect;           ///< pixels in the sheet image
        std::int32_t duration = 0;  ///< milliseconds at speed 1
        /// A trimmed frame holds only the opaque part of the picture: rect is that part, which sits at
        /// offset (pixels) inside the untrimmed picture of sourceSize (pixels). Untrimmed frames have offset
        /// (0, 0) and sourceSize the rectangle's size.
        bool trimmed = false;
        sf::Vector2i offset;      ///< pixels; see trimmed
        sf::Vector2i sourceSize;  ///< pixels; see trimmed
    };

    /// The order in which a tag plays its frames. PingPong runs to the last frame and back without showing
    /// the turning frames twice; PingPongReverse does the same starting from the last frame.
    enum class Direction { Forward, Reverse, PingPong, PingPongReverse };

    /// One named animation of the sheet.
    struct Animation {
        /// In playing order.
        std::vector<Frame> frames;
        std::int32_t duration = 0;                 ///< milliseconds, the sum of the frames' durations
        Direction direction = Direction::Forward;  ///< the tag's; Forward when the sheet does not say
        /// How many passes the tag plays before it holds its last shown frame (a ping-pong pass is one
        /// direction); 0 when the sheet does not say, and the animated sprite's loop flag decides.
        std::int32_t repeat = 0;
    };

    /// Reads the sheet at fullPath. Every failure is an AssetLoadException; those found in the sheet's
    /// content carry path (the sheet's path relative to the data root), those of opening and parsing the
    /// file carry fullPath. Every animation read has at least one frame.
    static std::shared_ptr<SpriteAnimation> loadFromFile(const std::string& fullPath,
                                                         const std::string& path);

    /// The lookups raise std::out_of_range "invalid unordered_map<K, T> key" for a name that is not an
    /// animation of the sheet.
    const Animation& getAnimation(const std::string& name) const;
    /// How many frames the animation has; at least 1.
    std::int32_t getFrameCount(const std::string& name) const;
    /// The frame at index modulo the frame count; a negative remainder raises std::out_of_range.
    Frame getFrame(const std::string& name, std::int32_t index) const;
    /// The frame shown at step position of the animation's play order (position 0 is the first frame the
    /// tag shows: the last one for the reverse directions). Positions beyond one cycle of the order wrap; a
    /// negative position raises std::out_of_range. For a forward tag this is getFrame.
    Frame getPlayedFrame(const std::string& name, std::int32_t position) const;
    /// How long the animation plays at speed 1, in seconds: all the passes of its repeat count, or, without
    /// one, one cycle of its play order (a ping-pong of n frames shows 2n - 2 frames per cycle, the turning
    /// frames once).
    float getDuration(const std::string& name) const;

    /// The number of step positions that one play of animation lasts before it holds its last shown frame:
    /// its repeat count of passes, or one pass (there and back for the ping-pong directions) when it has none
    /// and loop is false. 0 when it cycles without end (loop without a repeat count, or a play too long to
    /// count in 32 bits).
    static std::int64_t playLength(const Animation& animation, bool loop);
    /// The number of step positions after which the play order repeats itself.
    static std::int64_t cycleLength(const Animation& animation);

    /// The animations by name.
    std::unordered_map<std::string, Animation> animations;
};

}  // namespace orn
