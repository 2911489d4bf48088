// What a Windows program carries in its resources for the shell: the version strings shown by
// its properties and the application icon.
#pragma once

#ifdef _WIN32
#include "platform/win32/win32.h"

#include <string>
#include <vector>

// The program's UTF-8 path as the wide calls take it.
inline std::wstring WidePath(const std::string& path) { return platform::Wide(path); }

// The string `name` of the Simplified Chinese block of `file`'s version resource; empty when
// there is none.
inline std::wstring VersionString(const std::wstring& file, const std::wstring& name) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return std::wstring();
    std::vector<char> data(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return std::wstring();
    void* value = nullptr;
    UINT length = 0;
    const std::wstring query = L"\\StringFileInfo\\080404b0\\" + name;
    if (!VerQueryValueW(data.data(), query.c_str(), &value, &length) || length == 0)
        return std::wstring();
    return static_cast<const wchar_t*>(value);
}

// Whether `file` carries the application icon (the first icon group, which the shell shows).
inline bool HasApplicationIcon(const std::wstring& file) {
    HMODULE module = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) return false;
    const bool found = FindResourceW(module, L"AAAA_PAIRSCOUT", MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */) != nullptr;
    FreeLibrary(module);
    return found;
}
#endif
