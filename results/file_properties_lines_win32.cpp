// The lines of the program's own properties dialog, as Windows tells them.
#include "results/file_properties_dlg.h"

#include "platform/win32/win32.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>

#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "engine/text/text_helpers.h"
#include "gui/wx_text.h"
#include "platform/error_text.h"
#include "platform/file_time.h"

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
    if (!GetFileAttributesExW(platform::FilePath(path).c_str(), GetFileExInfoStandard, &data)) {
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
