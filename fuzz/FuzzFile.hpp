#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

/// A file that a fuzz target rewrites with each input, for readers that only take paths. It lives in a
/// folder of this process's own under the system's temporary folder (named after the process id), so
/// fuzzers running side by side never share a file; the folder is removed when the object is destroyed.
class FuzzFile {
public:
    /// name: the file's name inside the folder. Creates the folder; aborts the process if it cannot.
    explicit FuzzFile(const std::string& name);
    ~FuzzFile();

    FuzzFile(const FuzzFile&) = delete;
    FuzzFile& operator=(const FuzzFile&) = delete;

    /// Replaces the file's content with the size bytes at data; aborts the process if it cannot.
    void write(const std::uint8_t* data, std::size_t size) const;

    /// The folder, ending in a separator, so that it can serve as a data root.
    const std::string& folder() const { return m_folder; }
    /// The folder followed by the file's name.
    const std::string& path() const { return m_path; }

private:
    std::string m_folder;
    std::string m_path;
};
