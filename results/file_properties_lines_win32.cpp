// The lines of the program's own properties dialog, as Windows tells them.
#include "results/file_properties_dlg.h"

#include "platform/win32/win32.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>

#include "gui/wx_text.h"
#include "engine/text_helpers.h"
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
        const char* name;
    } kNames[] = {{FILE_ATTRIBUTE_READONLY, "只读"},   {FILE_ATTRIBUTE_HIDDEN, "隐藏"},
                  {FILE_ATTRIBUTE_SYSTEM, "系统"},     {FILE_ATTRIBUTE_ARCHIVE, "存档"},
                  {FILE_ATTRIBUTE_COMPRESSED, "压缩"}, {FILE_ATTRIBUTE_ENCRYPTED, "加密"}};
    std::vector<std::string> names;
    for (const auto& entry : kNames) {
        if (attributes & entry.bit) names.emplace_back(entry.name);
    }
    return names.empty() ? std::string("-") : JoinString(names, ", ");
}

}  // namespace

std::vector<std::pair<std::string, std::string>> FilePropertyLines(const std::string& path) {
    std::vector<std::pair<std::string, std::string>> lines;
    lines.emplace_back("路径", path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Utf8ToWx(path).wc_str(), GetFileExInfoStandard, &data)) {
        lines.emplace_back("错误", platform::ErrorText(static_cast<int>(GetLastError())));
        return lines;
    }
    const std::uint64_t bytes = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) |
                                data.nFileSizeLow;
    char size[64];
    std::snprintf(size, sizeof size, "%" PRIu64 " 字节", bytes);
    lines.emplace_back("大小", size);
    lines.emplace_back("修改时间", TimeText(data.ftLastWriteTime));
    lines.emplace_back("访问时间", TimeText(data.ftLastAccessTime));
    lines.emplace_back("创建时间", TimeText(data.ftCreationTime));
    lines.emplace_back("属性", AttributesText(data.dwFileAttributes));
    return lines;
}
