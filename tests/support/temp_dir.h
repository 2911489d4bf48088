// A fresh folder for one test, removed with everything in it when the test ends.
#pragma once

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, ending in the platform separator.
    const std::string& Path() const { return m_path; }
    // Path() + `relative`.
    std::string operator/(const std::string& relative) const { return m_path + relative; }

    // Writes `contents` to Path() + `relative`, making the folders on the way.
    std::string WriteFile(const std::string& relative, const std::string& contents) const;
    // Makes the folder Path() + `relative` (and its parents); returns it with a separator.
    std::string MakeDir(const std::string& relative) const;

private:
    std::string m_path;
};

// Reads a whole file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
