#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orn {

/// Turns the text of a TMX <data> or <chunk> element into global tile ids (flip bits kept in the top bits).
/// Every operation returns exactly count ids or raises std::runtime_error whose message is the end of a
/// sentence ("holds 3 tile ids instead of 4") for the caller to put behind the name of the file and element.
/// Output never grows beyond count ids, whatever the input claims or decompresses to.
class TileDataDecoder {
public:
    /// Ids separated by any run of spaces, tabs, commas and line breaks, read with atoi rules.
    static std::vector<int32_t> decodeCsv(const char* text, std::size_t size, std::size_t count);

    /// Base64 of little-endian 32-bit ids, compressed by compression: "" (none), "zlib", "gzip" or "zstd".
    /// White space anywhere in the text is skipped.
    static std::vector<int32_t> decodeBase64(const char* text, std::size_t size,
                                             const std::string& compression, std::size_t count);

    /// atoi rules on [begin, end): leading white space, an optional sign and the longest run of digits; the
    /// rest is ignored. Values beyond 32 bits keep their low 32 bits, so an id with the horizontal flip bit
    /// comes out negative instead of overflowing.
    static int32_t toInt(const char* begin, const char* end);

    /// input decompressed by zlib, or by gzip when gzip is set, up to one byte more than limit: a longer
    /// result means the data holds more than limit bytes. Raises std::runtime_error, its message the end of
    /// a sentence ("could not be decompressed by gzip: the data ends too early!"), for corrupt data.
    static std::vector<unsigned char> inflate(const std::vector<unsigned char>& input, bool gzip,
                                              std::size_t limit);

private:
    static std::vector<unsigned char> fromBase64(const char* text, std::size_t size);
    static std::vector<unsigned char> unzstd(const std::vector<unsigned char>& input, std::size_t limit);
};

}  // namespace orn
