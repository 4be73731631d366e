#pragma once

#include <stdlib.h>
#include <SFML/Graphics/Image.hpp>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

/// A fresh temporary directory that the asset tests fill with small fixture files; removed with everything
/// in it when the object goes.
class AssetTestDir {
public:
    AssetTestDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kestrith-assets-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        dir = pattern + "/";
    }
    ~AssetTestDir() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    AssetTestDir(const AssetTestDir&) = delete;
    AssetTestDir& operator=(const AssetTestDir&) = delete;

    /// Writes text to the relative path (creating its folders) and returns the full path.
    std::string write(const std::string& relativePath, const std::string& text) const {
        const std::filesystem::path full = std::filesystem::path(dir) / relativePath;
        std::filesystem::create_directories(full.parent_path());
        std::ofstream(full, std::ios::binary) << text;
        return full.string();
    }

    /// Writes a PNG of the given size filled with one colour (no GL needed) and returns the full path.
    std::string writeImage(const std::string& relativePath, unsigned width, unsigned height,
                           sf::Color color = sf::Color::White) const {
        sf::Image image;
        image.create(width, height, color);
        const std::string full = write(relativePath, "");
        if (!image.saveToFile(full)) {
            throw std::runtime_error("cannot write " + full);
        }
        return full;
    }

    /// Writes a short 16-bit PCM WAV file of silence with the given number of channels.
    std::string writeWav(const std::string& relativePath, std::uint16_t channels) const {
        const std::uint32_t rate = 22050;
        const std::uint32_t frames = 256;
        const std::uint32_t dataSize = frames * channels * 2;
        std::string bytes = "RIFF";
        append32(bytes, 36 + dataSize);
        bytes += "WAVEfmt ";
        append32(bytes, 16);
        append16(bytes, 1);
        append16(bytes, channels);
        append32(bytes, rate);
        append32(bytes, rate * channels * 2);
        append16(bytes, static_cast<std::uint16_t>(channels * 2));
        append16(bytes, 16);
        bytes += "data";
        append32(bytes, dataSize);
        bytes.append(dataSize, '\0');
        return write(relativePath, bytes);
    }

    /// The directory with a trailing slash, ready to serve as the asset manager's root.
    const std::string& root() const { return dir; }
    std::string path(const std::string& relativePath) const { return dir + relativePath; }

private:
    static void append16(std::string& bytes, std::uint16_t value) {
        bytes += static_cast<char>(value & 0xff);
        bytes += static_cast<char>(value >> 8);
    }
    static void append32(std::string& bytes, std::uint32_t value) {
        append16(bytes, static_cast<std::uint16_t>(value & 0xffff));
        append16(bytes, static_cast<std::uint16_t>(value >> 16));
    }

    std::string dir;
};
