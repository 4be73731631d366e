#include "engine/TileDataDecoder.hpp"

#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <memory>
#include <stdexcept>

namespace orn {

namespace {

// Owners that end the decompression streams however the decoding is left, std::bad_alloc from resize
// included.
struct InflateEnd {
    void operator()(z_stream* stream) const { inflateEnd(stream); }
};
struct ZstdFree {
    void operator()(ZSTD_DStream* stream) const { ZSTD_freeDStream(stream); }
};

bool isCsvDelimiter(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == '\n' || c == '\r';
}

std::string idCount(std::size_t found, std::size_t expected) {
    return "holds " + std::to_string(found) + " tile ids instead of " + std::to_string(expected) + "!";
}

/// Decompressed output grows by at least this many bytes at a time.
constexpr std::size_t outputPiece = 64 * 1024;

/// The 6-bit value of a base64 digit, or -1.
int base64Digit(char c) {
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    if (c == '+') {
        return 62;
    }
    return c == '/' ? 63 : -1;
}

}  // namespace

int32_t TileDataDecoder::toInt(const char* begin, const char* end) {
    while (begin != end && std::isspace(static_cast<unsigned char>(*begin))) {
        ++begin;
    }
    bool negative = false;
    if (begin != end && (*begin == '+' || *begin == '-')) {
        negative = *begin == '-';
        ++begin;
    }
    uint64_t value = 0;
    for (; begin != end && *begin >= '0' && *begin <= '9'; ++begin) {
        value = value * 10 + static_cast<uint64_t>(*begin - '0');
    }
    if (negative) {
        value = 0 - value;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

std::vector<int32_t> TileDataDecoder::decodeCsv(const char* text, std::size_t size, std::size_t count) {
    // Each id takes at least two characters with its delimiter, which bounds the reservation by the text
    // even when the caller expects a huge layer.
    std::vector<int32_t> ids;
    ids.reserve(std::min(count, size / 2 + 1));
    const char* cursor = text;
    const char* const end = text + size;
    std::size_t found = 0;
    while (cursor != end) {
        if (isCsvDelimiter(*cursor)) {
            ++cursor;
            continue;
        }
        const char* tokenEnd = cursor;
        while (tokenEnd != end && !isCsvDelimiter(*tokenEnd)) {
            ++tokenEnd;
        }
        if (found < count) {
            ids.push_back(toInt(cursor, tokenEnd));
        }
        ++found;
        cursor = tokenEnd;
    }
    if (found != count) {
        throw std::runtime_error(idCount(found, count));
    }
    return ids;
}

std::vector<unsigned char> TileDataDecoder::fromBase64(const char* text, std::size_t size) {
    std::vector<unsigned char> bytes;
    bytes.reserve(size / 4 * 3 + 3);
    uint32_t group = 0;
    std::size_t digits = 0;
    std::size_t padding = 0;
    for (const char* c = text; c != text + size; ++c) {
        if (std::isspace(static_cast<unsigned char>(*c))) {
            continue;
        }
        if (*c == '=') {
            ++padding;
            continue;
        }
        const int digit = base64Digit(*c);
        if (digit < 0 || padding > 0) {
            throw std::runtime_error("is not valid base64: it holds the character '" + std::string(1, *c) +
                                     "'" + (padding > 0 ? " after the padding" : "") + "!");
        }
        group = (group << 6) | static_cast<uint32_t>(digit);
        if (++digits % 4 == 0) {
            bytes.push_back(static_cast<unsigned char>(group >> 16));
            bytes.push_back(static_cast<unsigned char>(group >> 8));
            bytes.push_back(static_cast<unsigned char>(group));
            group = 0;
        }
    }
    const std::size_t tail = digits % 4;
    if (tail == 1 || (padding > 0 && tail + padding != 4) || padding > 2) {
        throw std::runtime_error("is not valid base64: " + std::to_string(digits) + " digits and " +
                                 std::to_string(padding) + " padding characters do not make whole bytes!");
    }
    if (tail == 2) {
        bytes.push_back(static_cast<unsigned char>(group >> 4));
    } else if (tail == 3) {
        bytes.push_back(static_cast<unsigned char>(group >> 10));
        bytes.push_back(static_cast<unsigned char>(group >> 2));
    }
    return bytes;
}

std::vector<unsigned char> TileDataDecoder::inflate(const std::vector<unsigned char>& input, bool gzip,
                                                    std::size_t limit) {
    const char* const kind = gzip ? "gzip" : "zlib";
    z_stream stream{};
    if (inflateInit2(&stream, gzip ? 16 + MAX_WBITS : MAX_WBITS) != Z_OK) {
        throw std::runtime_error(std::string("could not be decompressed: ") + kind + " failed to start!");
    }
    const std::unique_ptr<z_stream, InflateEnd> end(&stream);
    // Map data is small; inputs beyond what zlib counts in one call are refused rather than fed in pieces.
    if (input.size() > UINT_MAX) {
        throw std::runtime_error(std::string("is too large for ") + kind + "!");
    }
    stream.next_in = const_cast<Bytef*>(input.data());
    stream.avail_in = static_cast<uInt>(input.size());
    // The output grows piece by piece up to one byte more than wanted, which tells a stream holding too much
    // from one holding exactly enough without trusting any size the data claims.
    std::vector<unsigned char> output;
    int status = Z_OK;
    while (status == Z_OK && output.size() <= limit) {
        const std::size_t used = output.size();
        const std::size_t piece =
            std::min<std::size_t>(std::max<std::size_t>(used, outputPiece), limit + 1 - used);
        output.resize(used + piece);
        stream.next_out = output.data() + used;
        stream.avail_out = static_cast<uInt>(piece);
        status = ::inflate(&stream, Z_NO_FLUSH);
        output.resize(used + piece - stream.avail_out);
        if (status == Z_OK && stream.avail_out > 0 && stream.avail_in == 0) {
            status = Z_BUF_ERROR;
        }
    }
    if (status != Z_STREAM_END && output.size() <= limit) {
        const std::string reason = status == Z_OK || status == Z_BUF_ERROR ? "the data ends too early"
                                   : stream.msg != nullptr                 ? stream.msg
                                                                           : "corrupt data";
        throw std::runtime_error(std::string("could not be decompressed by ") + kind + ": " + reason + "!");
    }
    return output;
}

std::vector<unsigned char> TileDataDecoder::unzstd(const std::vector<unsigned char>& input,
                                                   std::size_t limit) {
    const std::unique_ptr<ZSTD_DStream, ZstdFree> stream(ZSTD_createDStream());
    if (stream == nullptr) {
        throw std::runtime_error("could not be decompressed: zstd failed to start!");
    }
    ZSTD_inBuffer in{input.data(), input.size(), 0};
    std::vector<unsigned char> output;
    // 0 is the end of a frame; a positive hint means more input or output is needed.
    std::size_t result = 1;
    while (result != 0 && !ZSTD_isError(result) && output.size() <= limit) {
        const std::size_t used = output.size();
        const std::size_t piece =
            std::min<std::size_t>(std::max<std::size_t>(used, outputPiece), limit + 1 - used);
        output.resize(used + piece);
        ZSTD_outBuffer out{output.data() + used, piece, 0};
        result = ZSTD_decompressStream(stream.get(), &out, &in);
        output.resize(used + out.pos);
        if (!ZSTD_isError(result) && result != 0 && out.pos < piece && in.pos == in.size) {
            // All input taken and the output not full: the frame is cut short.
            break;
        }
    }
    const bool failed = ZSTD_isError(result);
    const std::string reason = failed ? ZSTD_getErrorName(result) : "the data ends too early";
    if (failed || (result != 0 && output.size() <= limit)) {
        throw std::runtime_error("could not be decompressed by zstd: " + reason + "!");
    }
    return output;
}

std::vector<int32_t> TileDataDecoder::decodeBase64(const char* text, std::size_t size,
                                                   const std::string& compression, std::size_t count) {
    std::vector<unsigned char> bytes = fromBase64(text, size);
    const std::size_t wanted = count * 4;
    if (compression == "zlib" || compression == "gzip") {
        bytes = inflate(bytes, compression == "gzip", wanted);
    } else if (compression == "zstd") {
        bytes = unzstd(bytes, wanted);
    } else if (!compression.empty()) {
        throw std::runtime_error("is compressed by '" + compression +
                                 "'; only zlib, gzip and zstd are supported!");
    }
    if (bytes.size() > wanted) {
        throw std::runtime_error("holds more than " + std::to_string(count) + " tile ids instead of " +
                                 std::to_string(count) + "!");
    }
    if (bytes.size() != wanted) {
        throw std::runtime_error("holds " + std::to_string(bytes.size() / 4) +
                                 (bytes.size() % 4 != 0 ? " and a part" : "") + " tile ids instead of " +
                                 std::to_string(count) + "!");
    }
    std::vector<int32_t> ids(count);
    for (std::size_t i = 0; i < count; ++i) {
        const uint32_t value =
            static_cast<uint32_t>(bytes[4 * i]) | static_cast<uint32_t>(bytes[4 * i + 1]) << 8 |
            static_cast<uint32_t>(bytes[4 * i + 2]) << 16 | static_cast<uint32_t>(bytes[4 * i + 3]) << 24;
        ids[i] = static_cast<int32_t>(value);
    }
    return ids;
}

}  // namespace orn
