// The settings store: the program's profile settings, sections "Settings" and "Options".
//
// On Windows the settings live in the registry under the current user's software key of the
// vendor, then the application (wxRegConfig); here they live in one file,
// $XDG_CONFIG_HOME/<application>/<application>.conf ($HOME/.config when XDG_CONFIG_HOME is not
// set; wxFileConfig), so a test points HOME and XDG_CONFIG_HOME at a temporary folder.
// Values are strings (UTF-8), integers, and binary values (8-byte values for the 64-bit limits of
// the search filter, little-endian like the registry holds them).
//
// A plain class: it needs no window, only wx's base library. Writes go to the file when the
// store is flushed or destroyed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
// windows.h would rename GetProfileString and its kin to the system's calls.
#include "platform/win32/win32.h"
#endif

class wxConfigBase;

class CSettingsStore {
public:
    // Opens the settings of `application` by `vendor` (the registry key's two names).
    CSettingsStore(const std::string& vendor, const std::string& application);
    ~CSettingsStore();
    CSettingsStore(const CSettingsStore&) = delete;
    CSettingsStore& operator=(const CSettingsStore&) = delete;

    const std::string& Vendor() const { return m_vendor; }
    const std::string& Application() const { return m_application; }

    // The settings file ("" on Windows, where the registry holds the settings).
    const std::string& FilePath() const { return m_filePath; }

    // The string of `entry` in `section`, or `defaultValue` when there is none.
    std::string GetProfileString(const char* section, const char* entry,
                                 const std::string& defaultValue = std::string()) const;
    bool WriteProfileString(const char* section, const char* entry, const std::string& value);

    // A list of paths kept as one ";" text: an item holding ";" is written in double quotes; a
    // text without quotes reads as it always did (see engine/search/start_path_list.h). Empty when
    // there is no entry.
    std::vector<std::string> GetProfilePathList(const char* section, const char* entry) const;
    bool WriteProfilePathList(const char* section, const char* entry,
                              const std::vector<std::string>& paths);

    // The integer of `entry` in `section`, or `defaultValue` when there is none (or it is not a
    // number).
    int GetProfileInt(const char* section, const char* entry, int defaultValue) const;
    bool WriteProfileInt(const char* section, const char* entry, int value);

    // The binary value of `entry` in `section`; false (and `out` emptied) when there is none.
    bool GetProfileBinary(const char* section, const char* entry,
                          std::vector<unsigned char>& out) const;
    bool WriteProfileBinary(const char* section, const char* entry, const void* data,
                            std::size_t size);

    // An 8-byte binary value as a 64-bit number. `value` is set only when the entry exists and is
    // exactly 8 bytes long; otherwise it keeps what it held and the result is false.
    bool GetProfileInt64(const char* section, const char* entry, std::int64_t& value) const;
    bool WriteProfileInt64(const char* section, const char* entry, std::int64_t value);

    // True when `entry` exists in `section`.
    bool HasEntry(const char* section, const char* entry) const;

    // Writes pending changes to the file (the registry writes at once).
    bool Flush();

    // The wx configuration object, for settings kept in wx's own ways.
    // Owned by the store; its path may be changed by the caller and is reset by every call above.
    wxConfigBase* Config() {
        m_mayBeDirty = true;
        return m_config.get();
    }

    // The settings file that `application` uses on this machine now (POSIX only; "" on Windows).
    static std::string DefaultFilePath(const std::string& application);

private:
    std::string m_vendor;
    std::string m_application;
    std::string m_filePath;
    std::unique_ptr<wxConfigBase> m_config;
    bool m_mayBeDirty = false;  // something may have been written since the last flush
};
