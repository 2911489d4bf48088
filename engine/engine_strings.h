// Ids of the texts the engine itself shows (status lines, progress, summary, messages).
// The texts are in the program's string table (LoadStringText).
#pragma once

enum EngineStringId {
    IDS_FOUND_FILES_IN_FOLDERS = 2114,  // "发现 %d 个文件在 %d 个目录中"
    IDS_DUPLICATES_SUMMARY = 2168,      // "发现 %d 个重复文件 (%s)"
    IDS_SIZE_BYTES = 2175,
    IDS_SIZE_KB = 2176,
    IDS_SIZE_MB = 2177,
    IDS_SIZE_GB = 2178,
    IDS_SORTING = 2208,
    IDS_DUPLICATES_RUNNING = 2209,      // "发现 %d 个重复的文件, 总共 %" PRId64 " 字节"
    IDS_SEARCHING_DUPLICATES = 2210,
    IDS_FILE_CHANGED = 2230,            // "文件在搜索期间已改变"
    IDS_MASK_ONLY_EXCLUDES = 2236,      // the mask has only exclude parts: nothing can match
    IDS_FILE_REPLACED = 2240,           // "文件在搜索期间已被替换"
    IDS_CONTENTS_DIFFER = 2241,         // "内容与保留的副本不同"
    IDS_VIRTUAL_FILE_SYSTEM = 2242,     // "虚拟文件系统, 不搜索"
    IDS_NO_COPY_STAYS = 2243,           // "没有保留的副本"
    IDS_FILE_LOCKED = 2244,             // "另一个删除操作正在使用此文件"
    IDS_SEARCHED_ELSEWHERE = 2245,      // "相同的文件通过另一个目录搜索"
    IDS_DELETE_CHECKING = 2250,         // "正在检查和删除文件..."
    IDS_DELETE_KEPT_HEADING = 2251,     // "以下文件没有被删除:"
    IDS_DELETE_LAST_COPY = 2253,        // "该组的所有文件都被选择, 保留这最后一份"
    IDS_DELETE_FAILED = 2254,           // "系统无法删除此文件"
    IDS_DELETE_KEPT_MORE = 2255,        // "还有 %d 个文件没有被删除"
    IDS_DELETE_COPY_CHANGED_BACK = 2256,   // the copy changed; the file was put back: %s
    IDS_DELETE_COPY_CHANGED_TRASH = 2257,  // the copy changed; the file is in the trash: %s
    IDS_DELETE_COPY_CHANGED_GONE = 2258,   // removed, but the copy changed meanwhile: %s
    IDS_LOCAL_HARD_DISKS = 3032,        // "本地硬盘"
    IDS_IDLE_MESSAGE = 57345,           // "准备"
};

#include "engine/string_table.h"
