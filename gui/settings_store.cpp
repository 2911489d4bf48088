#include "gui/settings_store.h"

#include <wx/config.h>
#include <wx/filename.h>
#include <wx/fileconf.h>

#include "gui/wx_text.h"
#include "engine/search/search_filter.h"
#include "engine/search/start_path_list.h"
#include "platform/user_folders.h"

namespace {

wxString KeyOf(const char* section, const char* entry) {
    return "/" + wxString::FromUTF8(section) + "/" + wxString::FromUTF8(entry);
}

}  // namespace

std::string CSettingsStore::DefaultFilePath(const std::string& application) {
    return platform::SettingsFilePath(application);
}

CSettingsStore::CSettingsStore(const std::string& vendor, const std::string& application)
    : m_vendor(vendor), m_application(application), m_filePath(DefaultFilePath(application)) {
    // No file: the system keeps the settings (the registry on Windows).
    if (m_filePath.empty())
        m_config.reset(new wxConfig(Utf8ToWx(application), Utf8ToWx(vendor)));
    else
        m_config.reset(new wxFileConfig(Utf8ToWx(application), Utf8ToWx(vendor),
                                        Utf8ToWx(m_filePath), wxString(),
                                        wxCONFIG_USE_LOCAL_FILE));
    // Values are taken as stored: a "$" or "%" in a path or mask is not an environment variable.
    m_config->SetExpandEnvVars(false);
}

CSettingsStore::~CSettingsStore() { Flush(); }

std::string CSettingsStore::GetProfileString(const char* section, const char* entry,
                                             const std::string& defaultValue) const {
    wxString value;
    if (!m_config->Read(KeyOf(section, entry), &value)) return defaultValue;
    return WxToUtf8(value);
}

bool CSettingsStore::WriteProfileString(const char* section, const char* entry,
                                        const std::string& value) {
    m_mayBeDirty = true;
    return m_config->Write(KeyOf(section, entry), Utf8ToWx(value));
}

std::vector<std::string> CSettingsStore::GetProfilePathList(const char* section,
                                                            const char* entry) const {
    return ReadStartPathText(GetProfileString(section, entry));
}

bool CSettingsStore::WriteProfilePathList(const char* section, const char* entry,
                                          const std::vector<std::string>& paths) {
    return WriteProfileString(section, entry, StartPathText(paths));
}

int CSettingsStore::GetProfileInt(const char* section, const char* entry,
                                  int defaultValue) const {
    long value = 0;
    if (!m_config->Read(KeyOf(section, entry), &value)) return defaultValue;
    return static_cast<int>(value);
}

bool CSettingsStore::WriteProfileInt(const char* section, const char* entry, int value) {
    m_mayBeDirty = true;
    return m_config->Write(KeyOf(section, entry), static_cast<long>(value));
}

bool CSettingsStore::GetProfileBinary(const char* section, const char* entry,
                                      std::vector<unsigned char>& out) const {
    out.clear();
    const wxString key = KeyOf(section, entry);
    if (!m_config->HasEntry(key)) return false;
    wxMemoryBuffer buffer;
    if (!m_config->Read(key, &buffer)) return false;
    const unsigned char* data = static_cast<const unsigned char*>(buffer.GetData());
    out.assign(data, data + buffer.GetDataLen());
    return true;
}

bool CSettingsStore::WriteProfileBinary(const char* section, const char* entry, const void* data,
                                        std::size_t size) {
    wxMemoryBuffer buffer;
    buffer.AppendData(data, size);
    m_mayBeDirty = true;
    return m_config->Write(KeyOf(section, entry), buffer);
}

bool CSettingsStore::GetProfileInt64(const char* section, const char* entry,
                                     std::int64_t& value) const {
    std::vector<unsigned char> bytes;
    if (!GetProfileBinary(section, entry, bytes)) return false;
    return Int64FromSettingBytes(bytes.data(), bytes.size(), &value);
}

bool CSettingsStore::WriteProfileInt64(const char* section, const char* entry,
                                       std::int64_t value) {
    const auto bytes = Int64ToSettingBytes(value);
    return WriteProfileBinary(section, entry, bytes.data(), bytes.size());
}

bool CSettingsStore::HasEntry(const char* section, const char* entry) const {
    return m_config->HasEntry(KeyOf(section, entry));
}

bool CSettingsStore::Flush() {
    // wxFileConfig writes nothing when nothing changed, but it does not make the folder.
    if (m_mayBeDirty && !m_filePath.empty()) {
        wxFileName file(Utf8ToWx(m_filePath));
        if (!file.DirExists()) file.Mkdir(0700, wxPATH_MKDIR_FULL);
    }
    const bool ok = m_config->Flush();
    if (ok) m_mayBeDirty = false;
    return ok;
}
