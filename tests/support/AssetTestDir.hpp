#pragma once

#include <stdlib.h>
#include <SFML/Audio/OutputSoundFile.hpp>
#include <SFML/Graphics/Image.hpp>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

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
        const std::string full = write(relativePath, "");
        const std::vector<sf::Int16> silence(256u * channels);
        sf::OutputSoundFile file;
        if (!file.openFromFile(full, 22050, channels)) {
            throw std::runtime_error("cannot write " + full);
        }
        file.write(silence.data(), silence.size());
        return full;
    }

    /// The directory with a trailing slash, ready to serve as the asset manager's root.
    const std::string& root() const { return dir; }
    std::string path(const std::string& relativePath) const { return dir + relativePath; }

private:
    std::string dir;
};
