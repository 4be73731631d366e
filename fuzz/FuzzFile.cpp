#include "fuzz/FuzzFile.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

FuzzFile::FuzzFile(const std::string& name) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kestrith-fuzz-" + std::to_string(getpid()));
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "FuzzFile: cannot create %s: %s\n", folder.c_str(), error.message().c_str());
        std::abort();
    }
    m_folder = folder.string() + "/";
    m_path = m_folder + name;
}

FuzzFile::~FuzzFile() {
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::path(m_folder), error);
}

void FuzzFile::write(const std::uint8_t* data, std::size_t size) const {
    std::ofstream file(m_path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    file.close();
    if (!file) {
        std::fprintf(stderr, "FuzzFile: cannot write %s\n", m_path.c_str());
        std::abort();
    }
}
