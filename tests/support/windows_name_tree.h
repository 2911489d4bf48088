// Windows: a tree of names the code page cannot hold, made through the wide calls. Chinese,
// Cyrillic and emoji names, a name that is no valid UTF-16 (a lone surrogate, which NTFS allows)
// and a file deeper than 260 characters; each group's paths as the program lists them (UTF-8,
// the lone surrogate as its three-byte form). Wine keeps names as UTF-8 on the host and cannot
// hold a lone surrogate: there that file is not made (loneSurrogate false, said on the output)
// and the groups are what is there.
#pragma once
#ifdef _WIN32

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/win32.h"
#include "support/temp_dir.h"

class WindowsNameTree {
public:
    // The photo: four copies; the binary: three; the deep file: two.
    std::vector<std::string> photos, bins, deep;
    bool loneSurrogate = false;

    explicit WindowsNameTree(const TempDir& dir) : m_root(dir.Path()) {
        photos = {Make(u8"照片\\海边.jpg", kPhoto), Make(u8"Фото\\море.jpg", kPhoto),
                  Make("plain copy.jpg", kPhoto), Make(u8"表情\\\U0001F600 smile.jpg", kPhoto)};
        bins = {Make("a.bin", kBinary), Make("b.bin", kBinary)};
        const std::string lone =
            MakeWide(std::wstring(L"lone") + wchar_t(0xD800) + L".bin", kBinary, false);
        loneSurrogate = !lone.empty();
        if (loneSurrogate)
            bins.push_back(lone);
        else
            std::printf("note: this system cannot hold a lone-surrogate name (error %lu)\n",
                        static_cast<unsigned long>(::GetLastError()));
        std::string folder = "deep";
        while ((m_root + folder).size() < 300) folder += "\\" + std::string(60, 'd');
        deep = {Make(folder + "\\deep.dat", kDeep), Make("deep copy.dat", kDeep)};
    }

    static constexpr const char* kPhoto = "the same photo bytes\n";
    static constexpr const char* kBinary = "binary\n";
    static constexpr const char* kDeep = "deep down\n";

    // The totals of the duplicates: every file of a group but its first.
    int DuplicateCount() const {
        return static_cast<int>(photos.size() + bins.size() + deep.size()) - 3;
    }
    long long DuplicateBytes() const {
        return static_cast<long long>(photos.size() - 1) * Length(kPhoto) +
               static_cast<long long>(bins.size() - 1) * Length(kBinary) +
               static_cast<long long>(deep.size() - 1) * Length(kDeep);
    }
    // The summary line of the search.
    std::string Summary() const {
        return "发现 " + std::to_string(DuplicateCount()) + " 个重复文件 (" +
               std::to_string(DuplicateBytes()) + " 字节)";
    }

    // Every listed path, sorted.
    std::vector<std::string> All() const {
        std::vector<std::string> all = photos;
        all.insert(all.end(), bins.begin(), bins.end());
        all.insert(all.end(), deep.begin(), deep.end());
        std::sort(all.begin(), all.end());
        return all;
    }

    // Whether the file of `path` (as listed) is there, asked through the wide calls.
    static bool Exists(const std::string& path) {
        return ::GetFileAttributesW(Long(platform::Wide(path)).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    // Writes root + `relative` (UTF-8, any depth); returns its path as listed.
    std::string Make(const std::string& relative, const char* contents) {
        return MakeWide(platform::Wide(relative), contents);
    }

private:
    std::string m_root;

    static std::wstring Long(const std::wstring& path) { return L"\\\\?\\" + path; }

    static long long Length(const char* text) {
        return static_cast<long long>(std::char_traits<char>::length(text));
    }

    // Folders one at a time and the file, all in the long form, so no limit of the plain calls
    // or of the library applies.
    // "" when the system refuses the name (and `must` is false).
    std::string MakeWide(const std::wstring& relative, const char* contents, bool must = true) {
        const std::wstring path = platform::Wide(m_root) + relative;
        for (std::size_t at = platform::Wide(m_root).size(); at < path.size(); ++at)
            if (path[at] == L'\\') ::CreateDirectoryW(Long(path.substr(0, at)).c_str(), nullptr);
        HANDLE h = ::CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE && !must) return std::string();
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << ::GetLastError();
        DWORD written = 0;
        const DWORD size = static_cast<DWORD>(std::char_traits<char>::length(contents));
        EXPECT_TRUE(::WriteFile(h, contents, size, &written, nullptr));
        ::CloseHandle(h);
        return platform::Narrow(path);
    }
};

#endif  // _WIN32
