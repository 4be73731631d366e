#pragma once

#include <stdlib.h>

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

    /// The directory with a trailing slash, ready to serve as the asset manager's root.
    const std::string& root() const { return dir; }
    std::string path(const std::string& relativePath) const { return dir + relativePath; }

private:
    std::string dir;
};
