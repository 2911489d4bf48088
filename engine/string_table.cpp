#include <cinttypes>
#include <map>

#include "engine/engine_strings.h"
#include "engine/validation_message.h"

namespace {

const std::map<int, const char*>& Table() {
    static const std::map<int, const char*> table = {
        {IDS_FOUND_FILES_IN_FOLDERS, "发现 %d 个文件在 %d 个目录中"},
        {kIdsInvalidMonth, "不正确月份"},
        {kIdsInvalidDay, "不正确星期"},
        {kIdsInvalidYear, "不正确年份"},
        {kIdsInvalidDate, "不正确日期"},
        {IDS_DUPLICATES_SUMMARY, "发现 %d 个重复文件 (%s)"},
        {kIdsInvalidFileSize, "不正确文件大小!"},
        {IDS_SIZE_BYTES, "%ld 字节"},
        {IDS_SIZE_KB, "%.0lf KB"},
        {IDS_SIZE_MB, "%.2lf MB"},
        {IDS_SIZE_GB, "%.2lf GB"},
        {IDS_SORTING, "正在分类..."},
        // The 64-bit count in the portable form; the text shown is the same.
        {IDS_DUPLICATES_RUNNING, "发现 %d 个重复的文件, 总共 %" PRId64 " 字节"},
        {IDS_SEARCHING_DUPLICATES, "正在查找重复文件..."},
        {IDS_LOCAL_HARD_DISKS, "本地硬盘"},
        {IDS_IDLE_MESSAGE, "准备"},
    };
    return table;
}

}  // namespace

const char* LoadStringText(int id) {
    const auto it = Table().find(id);
    return it == Table().end() ? "" : it->second;
}
