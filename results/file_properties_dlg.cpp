#include "results/file_properties_dlg.h"

#ifdef _WIN32
#include "platform/win32/win32.h"
#else
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#endif

#include <cerrno>
#include <cinttypes>
#include <cstdio>

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/wx_text.h"
#include "engine/text_helpers.h"
#include "platform/error_text.h"
#include "platform/file_time.h"

#ifdef _WIN32
namespace {

std::string TimeText(const FILETIME& when) {
    platform::FileTime local = 0;
    platform::FileTimeToLocalFileTime(platform::FromWinFileTime(when), &local);
    std::string text;
    FileTimeToText(&local, text);
    return text;
}

// The attribute letters as the shell names them.
std::string AttributesText(DWORD attributes) {
    static const struct {
        DWORD bit;
        TextId name;
    } kNames[] = {{FILE_ATTRIBUTE_READONLY, IDS_ATTRIBUTE_READ_ONLY},
                  {FILE_ATTRIBUTE_HIDDEN, IDS_ATTRIBUTE_HIDDEN},
                  {FILE_ATTRIBUTE_SYSTEM, IDS_ATTRIBUTE_SYSTEM},
                  {FILE_ATTRIBUTE_ARCHIVE, IDS_ATTRIBUTE_ARCHIVE},
                  {FILE_ATTRIBUTE_COMPRESSED, IDS_ATTRIBUTE_COMPRESSED},
                  {FILE_ATTRIBUTE_ENCRYPTED, IDS_ATTRIBUTE_ENCRYPTED}};
    std::vector<std::string> names;
    for (const auto& entry : kNames) {
        if (attributes & entry.bit) names.emplace_back(LoadStringText(entry.name));
    }
    return names.empty() ? std::string("-") : JoinString(names, ", ");
}

}  // namespace

std::vector<std::pair<std::string, std::string>> FilePropertyLines(const std::string& path) {
    std::vector<std::pair<std::string, std::string>> lines;
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_PATH), path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Utf8ToWx(path).wc_str(), GetFileExInfoStandard, &data)) {
        lines.emplace_back(LoadStringText(IDS_PROPERTIES_ERROR), platform::ErrorText(static_cast<int>(GetLastError())));
        return lines;
    }
    const std::uint64_t bytes = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) |
                                data.nFileSizeLow;
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_SIZE), FormatPropertiesSize(bytes));
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_MODIFIED), TimeText(data.ftLastWriteTime));
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_ACCESSED), TimeText(data.ftLastAccessTime));
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_CREATED), TimeText(data.ftCreationTime));
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_ATTRIBUTES), AttributesText(data.dwFileAttributes));
    return lines;
}
#else
namespace {

std::string TimeText(const struct timespec& when) {
    platform::FileTime local = 0;
    platform::FileTimeToLocalFileTime(platform::FileTimeFromUnix(when.tv_sec, when.tv_nsec), &local);
    std::string text;
    FileTimeToText(&local, text);
    return text;
}

// "-rw-r--r-- (0644)".
std::string ModeText(mode_t mode) {
    std::string text;
    text += S_ISDIR(mode) ? 'd' : S_ISLNK(mode) ? 'l' : S_ISREG(mode) ? '-' : '?';
    const char letters[] = "rwxrwxrwx";
    for (int i = 0; i < 9; ++i) text += (mode & (0400 >> i)) ? letters[i] : '-';
    char octal[16];
    std::snprintf(octal, sizeof octal, " (%04o)", static_cast<unsigned>(mode & 07777));
    return text + octal;
}

std::string OwnerText(uid_t uid, gid_t gid) {
    std::string text;
    if (const struct passwd* pw = getpwuid(uid)) text = pw->pw_name;
    else text = std::to_string(uid);
    text += " / ";
    if (const struct group* gr = getgrgid(gid)) text += gr->gr_name;
    else text += std::to_string(gid);
    return text;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> FilePropertyLines(const std::string& path) {
    std::vector<std::pair<std::string, std::string>> lines;
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_PATH), path);
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) {
        lines.emplace_back(LoadStringText(IDS_PROPERTIES_ERROR), platform::ErrorText(errno));
        return lines;
    }
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_SIZE),
                       FormatPropertiesSize(static_cast<std::uint64_t>(st.st_size)));
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_MODIFIED), TimeText(st.st_mtim));
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_ACCESSED), TimeText(st.st_atim));
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_STATUS_CHANGED), TimeText(st.st_ctim));
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_OWNER), OwnerText(st.st_uid, st.st_gid));
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_PERMISSIONS), ModeText(st.st_mode));
    return lines;
}
#endif

CFilePropertiesDlg::CFilePropertiesDlg(wxWindow* parent, const std::string& path)
    : wxDialog(parent, wxID_ANY, LoadWxString(IDS_PROPERTIES_TITLE), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* grid = new wxFlexGridSizer(2, wxSize(12, 6));
    grid->AddGrowableCol(1);
    for (const auto& line : FilePropertyLines(path)) {
        grid->Add(new wxStaticText(this, wxID_ANY, Utf8ToWx(line.first + ":")), 0,
                  wxALIGN_CENTER_VERTICAL);
        // Read-only text: the path can be selected and copied, and a long one scrolls.
        auto* value = new wxTextCtrl(this, wxID_ANY, Utf8ToWx(line.second), wxDefaultPosition,
                                     wxDefaultSize, wxTE_READONLY | wxBORDER_NONE);
        value->SetMinSize(wxSize(360, -1));
        grid->Add(value, 1, wxEXPAND);
    }
    top->Add(grid, 1, wxEXPAND | wxALL, 12);
    auto* ok = new wxButton(this, wxID_OK, LoadWxString(IDS_BUTTON_OK));
    ok->SetDefault();
    top->Add(ok, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    SetEscapeId(wxID_OK);
    SetSizerAndFit(top);
    ok->SetFocus();
}
